#include "loconet/bus_context.h"

#include "loconet/addresses.h"
#include "loconet/opcodes.h"
#include "loconet/peer_formats.h"

namespace bl::loconet {

namespace {

constexpr int kSlotDataLength = 14;

bool loco_slot(int slot) { return slot >= 0 && slot < kFirstSystemSlot; }

// The slot a locomotive message is about, or -1.
int slot_of(const Message &m) {
    switch (m.opcode()) {
    case kOpcLocoSpd:
    case kOpcLocoDirf:
    case kOpcLocoSnd:
    case kOpcLocoF9F12:
    case kOpcSlotStat1:
    case kOpcConsistFunc:
    case kOpcUnlinkSlots:
    case kOpcLinkSlots:
    case kOpcMoveSlots:
    case kOpcRqSlData: return m[1];
    case kOpcExpCmd: return m[1] == 0x20 ? m[2] : -1;
    case kOpcSlRdData:
    case kOpcWrSlData: return m.length == kSlotDataLength ? m[2] : -1;
    default: return -1;
    }
}

// The request kind a message is, or kKinds where it is none.
BusContext::Kind request_kind(const Message &m) {
    using K = BusContext::Kind;
    switch (m.opcode()) {
    case kOpcLocoAdr: return K::kLocoRequest;
    case kOpcExpLocoAdr: return K::kExpandedLocoRequest;
    case kOpcSwAck: return K::kSwitchAck;
    case kOpcSwState: return K::kSwitchState;
    case kOpcRqSlData: return K::kSlotRequest;
    case kOpcMoveSlots: return K::kMove;
    case kOpcLinkSlots: return K::kLink;
    case kOpcUnlinkSlots: return K::kUnlink;
    case kOpcSwReq: return K::kSwitch;
    case kOpcMultiSense:
        return (m[1] & 0x60) == 0x60 && (m[3] & 0xF0) == 0x70 ? K::kOptionSwitch : K::kKinds;
    case kOpcExpRdData:
    case kOpcExpWrData: return K::kTable;
    case kOpcReceiverQuery: return K::kReceiverQuery;
    case kOpcPeerXfer:
    case kOpcImmPacket:
    case kOpcWrSlData: break;
    default: return K::kKinds;
    }
    switch (peer_format(m)) {
    case PeerFormat::ArticleCv:
        return m.opcode() == kOpcImmPacket && article_access(m).cmd == kArticleRead
                   ? K::kArticleRead
                   : K::kKinds;
    case PeerFormat::SystemVariable2: return (m[3] & 0x40) == 0 ? K::kSystemVariable2 : K::kKinds;
    case PeerFormat::SystemVariable1: return m[2] == 0x50 ? K::kSystemVariable1 : K::kKinds;
    case PeerFormat::TransponderFind: return m[2] == 0x40 ? K::kTransponderFind : K::kKinds;
    case PeerFormat::Radio: return m[3] == 0x08 ? K::kRadio : K::kKinds;
    default: break;
    }
    if (m.opcode() == kOpcWrSlData && m.length == kSlotDataLength)
        return m[2] == kSlotProgrammer ? K::kProgrammer : K::kSlotWrite;
    return K::kKinds;
}

} // namespace

const Message *BusContext::request(std::uint64_t seq) const {
    if (seq == 0)
        return nullptr;
    for (const Message &m : requests_)
        if (m.seq == seq)
            return &m;
    return nullptr;
}

// The request a long acknowledgement answers: the last one with the opcode
// it names (without its top bit), also in the spelling of the old document
// (0x7F, 0x7D, 0x7E for slot writes, immediate packets, table writes).
std::uint64_t BusContext::lack_answers(const Message &m) const {
    switch (m[1]) {
    case 0x3F: return last(kLocoRequest).seq;
    case 0x3E: return last(kExpandedLocoRequest).seq;
    case 0x3D: return last(kSwitchAck).seq;
    case 0x3C: return last(kSwitchState).seq;
    case 0x3B: return last(kSlotRequest).seq;
    case 0x3A: return last(kMove).seq;
    case 0x39: return last(kLink).seq;
    case 0x30: return last(kSwitch).seq;
    case 0x50:
    case 0x00: return last(kOptionSwitch).seq;
    case 0x66:
    case 0x6E:
    case 0x7E: return last(kTable).seq;
    case 0x6D:
    case 0x7D: return last(kImmediate).seq;
    case 0x6F:
    case 0x7F: {
        // a programmer task is acknowledged before its final reply
        const Message &write = last(kSlotWrite), &task = last(kProgrammer);
        return write.seq > task.seq ? write.seq : task.seq;
    }
    default: return 0;
    }
}

std::uint64_t BusContext::answered(const Message &m) const {
    switch (m.opcode()) {
    case kOpcLongAck: return lack_answers(m);
    case kOpcSlRdData: {
        if (m.length != kSlotDataLength)
            return 0;
        const int slot = m[2];
        if (slot == kSlotProgrammer)
            return last(kProgrammer).seq;
        const Message &by_slot = last(kSlotRequest);
        if (by_slot.seq && by_slot[1] == slot)
            return by_slot.seq;
        const Message &by_address = last(kLocoRequest);
        if (by_address.seq &&
            loco_address(by_address[1], by_address[2]) == loco_address(m[9], m[4]))
            return by_address.seq;
        for (const Kind k : {kMove, kLink, kUnlink})
            if (last(k).seq && (last(k)[1] == slot || last(k)[2] == slot))
                return last(k).seq;
        return 0;
    }
    case kOpcExpRdData: return m[1] == 0x15 ? last(kExpandedLocoRequest).seq : 0;
    case kOpcReceiverReport: return last(kReceiverQuery).seq;
    case kOpcPeerXfer:
    case kOpcImmPacket: break;
    default: return 0;
    }
    switch (peer_format(m)) {
    case PeerFormat::ArticleCv:
        return article_access(m).cmd == kArticleReply ? last(kArticleRead).seq : 0;
    case PeerFormat::SystemVariable2:
        if ((m[3] & 0x40) && (last(kSystemVariable2)[3] | 0x40) == m[3])
            return last(kSystemVariable2).seq;
        return 0;
    case PeerFormat::SystemVariable1: return m[3] == 0x50 ? last(kSystemVariable1).seq : 0;
    case PeerFormat::TransponderFind: return m[2] == 0x00 ? last(kTransponderFind).seq : 0;
    case PeerFormat::Radio: return m[3] == 0x10 && last(kRadio)[2] == m[2] ? last(kRadio).seq : 0;
    default: return 0;
    }
}

void BusContext::learn(const Message &m) {
    const int slot = m[2];
    switch (m.opcode()) {
    case kOpcSlRdData:
    case kOpcWrSlData:
        if (m.length == kSlotDataLength && loco_slot(slot))
            slots_[static_cast<std::size_t>(slot)] = {loco_address(m[9], m[4]),
                                                      static_cast<std::uint8_t>(m[3])};
        break;
    case kOpcSlotStat1:
        if (loco_slot(m[1]))
            slots_[static_cast<std::size_t>(m[1])].status = static_cast<std::uint8_t>(m[2]);
        break;
    default: break;
    }
}

void BusContext::observe(Message &m) {
    const int slot = slot_of(m);
    if (slot >= 0 && slot < kSlots) {
        m.known.loco = slots_[static_cast<std::size_t>(slot)].loco;
        m.known.slot_status = slots_[static_cast<std::size_t>(slot)].status;
    }
    m.known.answers = answered(m);
    if (m.direction == Direction::Sent)
        return; // its echo teaches the same a moment later
    // as the written renderer: a long acknowledgement right after a switch
    // state query is its answer
    if (m.opcode() == kOpcLongAck) {
        m.known.after_switch_query = switch_query_pending_;
        switch_query_pending_ = false;
    } else if (m.opcode() == kOpcSwState) {
        switch_query_pending_ = true;
    }
    learn(m);
    if (const Kind kind = request_kind(m); kind != kKinds)
        remember(kind, m);
    // an immediate packet of any form is what 0x6D acknowledges
    if (m.opcode() == kOpcImmPacket)
        remember(kImmediate, m);
}

} // namespace bl::loconet
