// What the receive path counts of the bus: messages framed, messages whose
// checksum is wrong, bytes given up without becoming a message, messages per
// opcode, and bytes. Pure counting, no clock: the once-a-second figures are
// drawn from these by who keeps the time.
#pragma once

#include "loconet/message.h"

#include <array>
#include <cstdint>

namespace bl::loconet {

// A saturated LocoNet: 16457 bit/s, 10 bits a byte.
inline constexpr double kSaturatedBytesPerSecond = 16457.0 / 10.0;

struct BusCounts {
    std::uint64_t bytes = 0;
    std::uint64_t messages = 0;
    std::uint64_t checksum_errors = 0;
    std::uint64_t discarded = 0;
    std::array<std::uint64_t, 128> per_opcode{}; // index: opcode - 0x80

    // Counts a message framed from the bus.
    void message(const Message &m) {
        ++messages;
        ++per_opcode[static_cast<std::size_t>(m.opcode() & 0x7F)];
        checksum_errors += m.checksum_ok ? 0 : 1;
    }
};

} // namespace bl::loconet
