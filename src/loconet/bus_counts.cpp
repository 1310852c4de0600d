#include "loconet/bus_counts.h"

#include "loconet/message.h"

namespace bl::loconet {

bool BusCounts::message(std::span<const std::int32_t> msg) {
    ++messages;
    ++per_opcode[static_cast<std::size_t>(msg[0] & 0x7F)];
    const bool ok = checksum_ok(msg.begin(), msg.end());
    if (!ok)
        ++checksum_errors;
    return ok;
}

} // namespace bl::loconet
