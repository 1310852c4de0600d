// What every LocoNet message obeys: its length follows from the opcode, and
// its last byte makes the exclusive or of all bytes 0xFF.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace bl::loconet {

// Marks a message whose length comes from its second byte.
inline constexpr std::int32_t kLengthFromSecondByte = 255;
// The longest length a length byte can give (it has bit 7 clear).
inline constexpr int kLongestMessage = 127;
// The written rendering reads bytes 0..12 of the receive buffer, also past
// the end of a shorter message.
inline constexpr std::size_t kWrittenReach = 13;

constexpr bool is_opcode(int b) { return (b & 0x80) != 0; }

// LocoNet frames its messages by the opcode's upper bits: 0x80-0x9F two
// bytes, 0xA0-0xBF four, 0xC0-0xDF six, 0xE0-0xFF as the length byte says.
constexpr std::int32_t message_length(int opcode) {
    switch (opcode & 0xE0) {
    case 0x80: return 2;
    case 0xA0: return 4;
    case 0xC0: return 6;
    default: return kLengthFromSecondByte;
    }
}

// The check byte for the bytes in [first, last): 0xFF exclusive-or each.
// Entries are byte values; wider types and plain char work alike.
template <typename It> constexpr int checksum(It first, It last) {
    int chk = 0xFF;
    for (; first != last; ++first)
        chk ^= static_cast<int>(*first) & 0xFF;
    return chk;
}

// A complete message, check byte included, is intact when the exclusive or
// of all its bytes is 0xFF.
template <typename It> constexpr bool checksum_ok(It first, It last) {
    return checksum(first, last) == 0;
}

enum class Direction : std::uint8_t {
    Received, // from the bus
    Sent,     // put on the line by this program (or a client of its server)
    Echo,     // the bus handing back one of our own
};

// What the context of the bus knew when a message came: filled in as the
// message passes, so that it can be shown later as it was meant then.
struct Known {
    std::int32_t loco = -1;          // locomotive address of its slot, where known
    std::uint8_t slot_status = 0xFF; // the slot's status byte, where known
    bool after_switch_query = false; // a switch-state query came before it
    std::uint64_t answers = 0;       // the sequence number of the request it answers
    std::int16_t written_loco = 0;   // the locomotive the written slot table gave its slot
};

// The latest time a message can carry, in microseconds since 1970: its
// nanoseconds fit into 64 bits with a day to spare, so a reply deadline or a
// rule's window added to it never overflows (a capture file may claim any
// time; such a one is held here).
inline constexpr std::int64_t kLatestTimeUs = INT64_MAX / 1000 - 86'400'000'000;

// One message as it travels from the port to every consumer: its bytes,
// when it was framed, which way it went, whether its checksum is right,
// which connection it came by and its place in the sequence.
struct Message {
    std::array<std::uint8_t, kLongestMessage> bytes{};
    std::uint8_t length = 0;
    // bytes[length .. length + leftover): what the receive buffer still
    // held behind a cut-short slot-data message, which its written line
    // shows; no part of the message
    std::uint8_t leftover = 0;
    Direction direction = Direction::Received;
    bool checksum_ok = true;
    std::uint16_t connection = 0; // 0: this program's port; n: network client n
    std::uint64_t seq = 0;        // 1, 2, ... in the order framed or sent
    std::int64_t wall_us = 0;     // microseconds since 1970 (UTC)
    std::int64_t steady_ns = 0;   // a clock that never goes back
    Known known;

    std::span<const std::uint8_t> view() const { return {bytes.data(), length}; }
    int operator[](std::size_t i) const { return i < length ? bytes[i] : 0; }
    int opcode() const { return length ? bytes[0] : 0; }
};

// A message of the given bytes (at most kLongestMessage are kept).
template <typename It> Message message_of(It first, It last) {
    Message m;
    for (; first != last && m.length < kLongestMessage; ++first)
        m.bytes[m.length++] = static_cast<std::uint8_t>(*first);
    m.checksum_ok = checksum_ok(m.bytes.begin(), m.bytes.begin() + m.length);
    return m;
}

} // namespace bl::loconet
