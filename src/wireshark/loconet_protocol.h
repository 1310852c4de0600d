// LocoNet in Wireshark: the protocol, its fields and expert entries, and the
// dissector of link type 147, decoding with the monitor's own decoder.
#pragma once

#include "loconet/findings.h"

#include <cstdint>

namespace bl::wireshark {

void register_protocol();
void register_handoff();

// What one packet tells the statistics: each message's opcode and
// subjects, and the kinds of findings it raised.
struct TapMessage {
    std::uint8_t opcode;
    std::int32_t loco, slot, switch_number, sensor; // -1: none
};
struct TapPacket {
    unsigned message_count;
    const TapMessage *messages;
    unsigned finding_count;
    const loconet::FindingKind *findings;
};
inline constexpr const char *kTapName = "loconet";

} // namespace bl::wireshark
