#pragma once

#include <cstdint>

namespace bl {

// Marks a message whose length comes from its second byte.
inline constexpr std::int32_t kLengthFromSecondByte = 255;

// LocoNet frames its messages by the opcode's upper bits: 0x80-0x9F two
// bytes, 0xA0-0xBF four, 0xC0-0xDF six, 0xE0-0xFF as the length byte says.
constexpr std::int32_t ln_length_for_opcode(int opcode) {
    switch (opcode & 0xE0) {
    case 0x80: return 2;
    case 0xA0: return 4;
    case 0xC0: return 6;
    default: return kLengthFromSecondByte;
    }
}

} // namespace bl
