#include "history/history_store.h"

#include <algorithm>

namespace bl {

namespace {
constexpr std::size_t kChunkRecords = 4096;
constexpr std::uint8_t kChecksumOk = 1;
constexpr std::uint8_t kAfterSwitchQuery = 2;
constexpr int kLeftoverShift = 4; // the leftover bytes' count in the upper bits
} // namespace

// 48 bytes a message, its bytes apart
struct HistoryStore::Record {
    std::int64_t wall_us;
    std::int64_t steady_ns;
    std::uint64_t seq;
    std::uint64_t answers;
    std::int32_t loco;
    std::uint32_t offset; // into the chunk's bytes
    std::int16_t written_loco;
    std::uint16_t connection;
    std::uint8_t length;
    std::uint8_t direction;
    std::uint8_t flags;
    std::uint8_t slot_status;
};

struct HistoryStore::Chunk {
    std::vector<Record> records;
    std::vector<std::uint8_t> bytes;
    Chunk() {
        records.reserve(kChunkRecords);
        bytes.reserve(kChunkRecords * 6);
    }
};

HistoryStore::HistoryStore(std::size_t limit) : limit_(std::max<std::size_t>(limit, 1)) {}
HistoryStore::~HistoryStore() = default;

void HistoryStore::add(const loconet::Message &m) {
    if (chunks_.empty() || chunks_.back()->records.size() == kChunkRecords)
        chunks_.push_back(std::make_unique<Chunk>());
    Chunk &c = *chunks_.back();
    const Record r{m.wall_us,
                   m.steady_ns,
                   m.seq,
                   m.known.answers,
                   m.known.loco,
                   static_cast<std::uint32_t>(c.bytes.size()),
                   m.known.written_loco,
                   m.connection,
                   m.length,
                   static_cast<std::uint8_t>(m.direction),
                   static_cast<std::uint8_t>((m.checksum_ok ? kChecksumOk : 0) |
                                             (m.known.after_switch_query ? kAfterSwitchQuery : 0) |
                                             (m.leftover << kLeftoverShift)),
                   m.known.slot_status};
    c.records.push_back(r);
    c.bytes.insert(c.bytes.end(), m.bytes.begin(), m.bytes.begin() + m.length + m.leftover);
    ++end_;
    if (size() > limit_)
        drop_oldest();
}

void HistoryStore::drop_oldest() {
    ++first_;
    if (++front_skip_ == kChunkRecords) {
        chunks_.pop_front();
        front_skip_ = 0;
    }
}

void HistoryStore::clear() {
    chunks_.clear();
    front_skip_ = 0;
    first_ = end_;
}

const HistoryStore::Record &HistoryStore::record(std::uint64_t position) const {
    const std::size_t i = static_cast<std::size_t>(position - first_) + front_skip_;
    return chunks_[i / kChunkRecords]->records[i % kChunkRecords];
}

const std::uint8_t *HistoryStore::bytes_of(std::uint64_t position) const {
    const std::size_t i = static_cast<std::size_t>(position - first_) + front_skip_;
    const Chunk &c = *chunks_[i / kChunkRecords];
    return c.bytes.data() + c.records[i % kChunkRecords].offset;
}

loconet::Message HistoryStore::at(std::uint64_t position) const {
    loconet::Message m;
    if (!holds(position))
        return m; // a message no longer (or not yet) kept: none at all
    const Record &r = record(position);
    m.leftover = static_cast<std::uint8_t>(r.flags >> kLeftoverShift);
    std::copy_n(bytes_of(position), r.length + m.leftover, m.bytes.begin());
    m.length = r.length;
    m.direction = static_cast<loconet::Direction>(r.direction);
    m.checksum_ok = (r.flags & kChecksumOk) != 0;
    m.connection = r.connection;
    m.seq = r.seq;
    m.wall_us = r.wall_us;
    m.steady_ns = r.steady_ns;
    m.known.loco = r.loco;
    m.known.slot_status = r.slot_status;
    m.known.after_switch_query = (r.flags & kAfterSwitchQuery) != 0;
    m.known.answers = r.answers;
    m.known.written_loco = r.written_loco;
    return m;
}

std::uint8_t HistoryStore::opcode_at(std::uint64_t position) const {
    return holds(position) && record(position).length ? bytes_of(position)[0] : 0;
}

std::optional<std::uint64_t> HistoryStore::position_of(std::uint64_t seq) const {
    // sequence numbers grow with the position
    std::uint64_t lo = first_, hi = end_;
    while (lo < hi) {
        const std::uint64_t mid = lo + (hi - lo) / 2;
        if (record(mid).seq < seq)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < end_ && record(lo).seq == seq)
        return lo;
    return std::nullopt;
}

} // namespace bl
