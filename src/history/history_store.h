// Every message since the program started, up to a limit, the oldest
// dropped first: compact records (the bytes in a shared arena), kept in
// chunks so that dropping the oldest costs nothing and frees memory a chunk
// at a time. A position names one message for as long as it is kept.
#pragma once

#include "loconet/message.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace bl {

class HistoryStore {
public:
    static constexpr std::size_t kDefaultLimit = 1'000'000;

    explicit HistoryStore(std::size_t limit = kDefaultLimit);
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;
    ~HistoryStore();

    void add(const loconet::Message &m);
    // "Verlauf leeren": positions go on counting.
    void clear();

    std::size_t size() const { return static_cast<std::size_t>(end_ - first_); }
    std::size_t limit() const { return limit_; }
    bool empty() const { return end_ == first_; }
    // positions first() .. end() - 1
    std::uint64_t first() const { return first_; }
    std::uint64_t end() const { return end_; }
    // all messages dropped so far, by the limit or by clear()
    std::uint64_t dropped() const { return first_; }

    bool holds(std::uint64_t position) const { return position >= first_ && position < end_; }
    // The message at a position; an empty message (length 0, sequence
    // number 0) where the position is not kept.
    loconet::Message at(std::uint64_t position) const;
    std::uint8_t opcode_at(std::uint64_t position) const;
    // The position of the message with this sequence number, if kept.
    std::optional<std::uint64_t> position_of(std::uint64_t seq) const;

private:
    struct Record;
    struct Chunk;
    const Record &record(std::uint64_t position) const;
    const std::uint8_t *bytes_of(std::uint64_t position) const;
    void drop_oldest();

    std::size_t limit_;
    std::deque<std::unique_ptr<Chunk>> chunks_;
    std::size_t front_skip_ = 0; // records of the front chunk already dropped
    std::uint64_t first_ = 0;
    std::uint64_t end_ = 0;
};

} // namespace bl
