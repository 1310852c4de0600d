// What every LocoNet message obeys: its length follows from the opcode, and
// its last byte makes the exclusive or of all bytes 0xFF.
#pragma once

#include <cstdint>

namespace bl::loconet {

// Marks a message whose length comes from its second byte.
inline constexpr std::int32_t kLengthFromSecondByte = 255;
// The longest length a length byte can give (it has bit 7 clear).
inline constexpr int kLongestMessage = 127;

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

} // namespace bl::loconet
