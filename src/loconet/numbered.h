// Tables of the things the bus numbers (slots, locos, switches, sensors),
// kept by their number and gone through in the order they came.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace bl::loconet {

// What both tables below answer alike, from the finding of an entry each
// does its own way.
template <typename Table, typename T> class NumberLookups {
public:
    T *find(int number) { return const_cast<T *>(table().find(number)); }
    bool contains(int number) const { return table().find(number) != nullptr; }
    const T &at(int number) const {
        if (const T *entry = table().find(number))
            return *entry;
        throw std::out_of_range("no such number");
    }

private:
    const Table &table() const { return static_cast<const Table &>(*this); }
};

// Things the bus numbers from a wide range (locos, switches, sensors): the
// entries side by side in the order they came, and an index from number to
// entry. A lookup is two array reads, and a copy (the history keeps copies
// of the whole layout) is two block copies, where a hash map would chase a
// pointer per entry and allocate one per entry.
template <typename T> class Numbered : public NumberLookups<Numbered<T>, T> {
public:
    using NumberLookups<Numbered<T>, T>::find;
    // The numbers kept run from 0 to below kLimit; the index grows to the
    // highest number seen.
    static constexpr int kLimit = 1 << 16;

    const T *find(int number) const {
        if (number < 0 || static_cast<std::size_t>(number) >= index_.size())
            return nullptr;
        const std::int32_t at = index_[static_cast<std::size_t>(number)];
        return at < 0 ? nullptr : &entries_[static_cast<std::size_t>(at)];
    }

    // The entry for a number, added (value-initialised) where it is new;
    // nullptr for a number outside 0..kLimit.
    T *get(int number, bool &added) {
        added = false;
        if (number < 0 || number >= kLimit)
            return nullptr;
        const auto n = static_cast<std::size_t>(number);
        if (n >= index_.size())
            index_.resize(n + 1, -1);
        if (index_[n] < 0) {
            index_[n] = static_cast<std::int32_t>(entries_.size());
            entries_.emplace_back();
            added = true;
        }
        return &entries_[static_cast<std::size_t>(index_[n])];
    }

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    // in the order they came
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }

private:
    std::vector<T> entries_;
    std::vector<std::int32_t> index_; // number -> place in entries_, -1 for none
};

// Things numbered within a small range (the slots), each in its place by
// its number: a lookup is an offset from the table itself, without an index
// to read first. Most messages on a running layout are about a slot, so this
// is the lookup a busy bus makes most. Each entry carries its own mark of
// being kept (kKept), so that finding one reads only that entry. Beside the
// places, the order they came in, for going through them as Numbered does.
template <typename T, std::size_t kCount, bool T::*kKept>
class InPlace : public NumberLookups<InPlace<T, kCount, kKept>, T> {
public:
    using NumberLookups<InPlace, T>::find;
    static_assert(kCount <= 1 << 16, "the order keeps numbers of 16 bits");
    static constexpr int kLimit = static_cast<int>(kCount);

    const T *find(int number) const {
        // a negative number turns into one far beyond kCount
        const auto n = static_cast<std::size_t>(number);
        return n < kCount && entries_[n].*kKept ? &entries_[n] : nullptr;
    }

    // The entry for a number, added (value-initialised) where it is new;
    // nullptr for a number outside 0..kCount.
    T *get(int number, bool &added) {
        added = false;
        const auto n = static_cast<std::size_t>(number);
        if (n >= kCount)
            return nullptr;
        if (!(entries_[n].*kKept)) {
            order_.push_back(static_cast<std::uint16_t>(n));
            entries_[n] = T{};
            entries_[n].*kKept = true;
            added = true;
        }
        return &entries_[n];
    }

    std::size_t size() const { return order_.size(); }
    bool empty() const { return order_.empty(); }

    // in the order they came
    template <typename Table, typename Entry> class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = Entry *;
        using reference = Entry &;
        Iterator(Table *table, std::size_t at) : table_(table), at_(at) {}
        Entry &operator*() const { return table_->entries_[table_->order_[at_]]; }
        Entry *operator->() const { return &**this; }
        Iterator &operator++() {
            ++at_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator was = *this;
            ++at_;
            return was;
        }
        bool operator==(const Iterator &other) const { return at_ == other.at_; }

    private:
        Table *table_;
        std::size_t at_;
    };
    auto begin() const { return Iterator<const InPlace, const T>(this, 0); }
    auto end() const { return Iterator<const InPlace, const T>(this, order_.size()); }
    auto begin() { return Iterator<InPlace, T>(this, 0); }
    auto end() { return Iterator<InPlace, T>(this, order_.size()); }

private:
    std::array<T, kCount> entries_{};
    std::vector<std::uint16_t> order_;
};

} // namespace bl::loconet
