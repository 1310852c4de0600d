#include "loconet/subjects.h"

#include "loconet/addresses.h"
#include "loconet/opcodes.h"

namespace bl::loconet {

namespace {

constexpr int kSlotDataLength = 14;
constexpr int kExpandedSlotLength = 0x15;

// The locomotive a DCC packet in an immediate-packet message addresses.
int immediate_packet_loco(const Message &m) {
    if (m[1] != 0x0B || m[2] != 0x7F || ((m[3] >> 4) & 0x07) < 2)
        return -1;
    const int first = m[5] | ((m[4] & 0x01) << 7);
    const int second = m[6] | ((m[4] & 0x02) << 6);
    if (first >= 0x01 && first <= 0x7F)
        return first;
    if (first >= 0xC0 && first <= 0xE7)
        return ((first & 0x3F) << 8) | second;
    return -1;
}

void slot_message(const Message &m, int slot, Subjects &s) {
    s.slot = slot;
    s.loco = m.known.loco;
}

} // namespace

Subjects subjects_of(const Message &m) {
    Subjects s;
    switch (m.opcode()) {
    case kOpcLocoSpd:
    case kOpcLocoDirf:
    case kOpcLocoSnd:
    case kOpcLocoF9F12:
    case kOpcConsistFunc:
    case kOpcSlotStat1:
    case kOpcRqSlData:
    case kOpcMoveSlots:
    case kOpcLinkSlots:
    case kOpcUnlinkSlots: slot_message(m, m[1], s); break;
    case kOpcExpCmd:
        if (m[1] == 0x20)
            slot_message(m, m[2], s);
        break;
    case kOpcLocoAdr:
    case kOpcExpLocoAdr: s.loco = loco_address(m[1], m[2]); break;
    case kOpcSlRdData:
    case kOpcWrSlData:
        if (m.length == kSlotDataLength) {
            s.slot = m[2];
            if (m[2] < kFirstSystemSlot)
                s.loco = loco_address(m[9], m[4]);
        }
        break;
    case kOpcExpRdData:
    case kOpcExpWrData:
        if (m[1] == kExpandedSlotLength && m.length == kExpandedSlotLength) {
            s.slot = (m[2] & 0x07) * 128 + m[3];
            s.loco = loco_address(m[6], m[5]);
        }
        break;
    case kOpcImmPacket: s.loco = immediate_packet_loco(m); break;
    case kOpcSwReq:
    case kOpcSwAck:
    case kOpcSwState:
    case kOpcSwRep: s.turnout = switch_address(m[1], m[2]); break;
    case kOpcInputRep: s.sensor = sensor_number(m[1], m[2]); break;
    case kOpcMultiSense:
        if ((m[1] & 0x40) == 0) // transponder present or absent
            s.loco = transponder_loco(m[3], m[4]);
        break;
    case kOpcLongTransponder:
        if (m[1] == 0x09)
            s.loco = transponder_loco(m[4], m[5]);
        break;
    case kOpcTrainIdReport:
        if (m[1] == 0x08 && (m[3] & 0xE0) != 0x20)
            s.loco = loco_address(m[5], m[6]);
        break;
    default: break;
    }
    return s;
}

} // namespace bl::loconet
