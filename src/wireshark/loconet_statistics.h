// LocoNet under Wireshark's "Statistik" menu (and tshark -z loconet,tree):
// messages counted by opcode, locos, slots, switches, sensors and the kinds
// of findings.
#pragma once

namespace bl::wireshark {

void register_statistics();

} // namespace bl::wireshark
