// Things the bus numbers (slots, locos, switches, sensors), kept by their
// number: the entries side by side in the order they came, and an index from
// number to entry. A lookup is two array reads, and a copy (the history keeps
// copies of the whole layout) is two block copies, where a hash map would
// chase a pointer per entry and allocate one per entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

namespace bl::loconet {

template <typename T> class Numbered {
public:
    // The numbers kept run from 0 to below kLimit; the index grows to the
    // highest number seen.
    static constexpr int kLimit = 1 << 16;

    const T *find(int number) const {
        if (number < 0 || static_cast<std::size_t>(number) >= index_.size())
            return nullptr;
        const std::int32_t at = index_[static_cast<std::size_t>(number)];
        return at < 0 ? nullptr : &entries_[static_cast<std::size_t>(at)];
    }
    T *find(int number) { return const_cast<T *>(std::as_const(*this).find(number)); }
    bool contains(int number) const { return find(number) != nullptr; }
    const T &at(int number) const {
        if (const T *entry = find(number))
            return *entry;
        throw std::out_of_range("no such number");
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

} // namespace bl::loconet
