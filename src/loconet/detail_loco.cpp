// Locomotives: speed, direction and functions F0-F28 in every message that
// carries them, and the commands that request, move and link slots.
#include "loconet/addresses.h"
#include "loconet/detail_out.h"
#include "loconet/opcodes.h"

namespace bl::loconet {

namespace t = texts::detail;
using F = FieldId;

namespace {

// A move: from slot 0 a dispatch get, to slot 0 a dispatch put, to itself
// a null move (taking the slot into use), otherwise the data moves.
void move_slots(Walk &w, int from, int to) {
    if (from == 0) {
        w.out << t::kDispatchGet;
    } else if (to == 0 || to == from) {
        w.out << t::kSlot;
        w.out.num(F::Slot, from) << (to == 0 ? t::kDispatchPut : t::kNullMove);
    } else {
        w.out << t::kMoveData;
        w.out.num(F::Slot, from) << t::kMoveTo;
        w.out.num(F::Slot, to) << t::kMoveEnd;
    }
}

// 0xD4 0x20: function groups of some command stations, by token.
void function_group(Walk &w) {
    const int token = w[3], value = w[4];
    switch (token) {
    case 0x05: // F12, F20, F28 in bits 4, 5, 6
        function(w.out, 12, value & 0x10, true);
        function(w.out, 20, value & 0x20);
        function(w.out, 28, value & 0x40);
        break;
    case 0x06: // F0-F4 of older firmware; the F0 bit is read both ways
        w.out << t::kFunctionsOfF0 << ((value & 0x10) ? t::kOn : t::kOff) << ", ";
        functions(w.out, 1, 4, value);
        break;
    case 0x07:
    case 0x08:
    case 0x09: functions(w.out, 5 + 8 * (token - 7), 7, value); break;
    default:
        w.out << t::kFunctions << ' ';
        w.out.hex(token) << ' ';
        w.out.hex(value);
        break;
    }
}

// 0xD5: speed and functions of an expanded slot, sent by a throttle.
void expanded_speed(Walk &w) {
    const int ctrl = w[1];
    const int slot = (ctrl & 0x07) * 128 + w[2];
    slot_label(w, slot);
    w.out << " (" << t::kThrottleId;
    w.out.num(F::Throttle, w[3]) << "): ";
    const int value = w[4];
    if ((ctrl & 0xF0) == 0x00) {
        speed(w.out, value, w.m.known.slot_status);
        w.out << ", ";
        w.out.word(F::Direction, (ctrl & 0x08) ? t::kBackward : t::kForward);
        return;
    }
    switch (ctrl & 0xF8) {
    case 0x10:
        f0_to_f4(w.out, value);
        function(w.out, 5, value & 0x20);
        function(w.out, 6, value & 0x40);
        break;
    case 0x18: functions(w.out, 7, 7, value); break;
    case 0x20: functions(w.out, 14, 7, value); break;
    case 0x28:
    case 0x30:
        functions(w.out, 21, 7, value);
        function(w.out, 28, (ctrl & 0xF8) == 0x30);
        break;
    default:
        w.out << t::kFunctions << ' ';
        w.out.hex(ctrl) << ' ';
        w.out.hex(value);
        break;
    }
}

} // namespace

bool walk_loco(Walk &w) {
    const int op = w.m.opcode();
    switch (op) {
    case kOpcLocoSpd:
    case kOpcLocoDirf:
    case kOpcLocoSnd:
    case kOpcLocoF9F12:
        slot_label(w, w[1]);
        w.out << ": ";
        break;
    case kOpcConsistFunc:
        w.out << t::kConsistFunctions;
        slot_label(w, w[1]);
        w.out << ": ";
        f0_to_f4(w.out, w[2]);
        return true;
    case kOpcExpCmd:
        if (w[1] != 0x20)
            return false;
        slot_label(w, w[2]);
        w.out << ": ";
        function_group(w);
        return true;
    case kOpcExpSpeedFunc: expanded_speed(w); return true;
    default: return false;
    }
    switch (op) {
    case kOpcLocoSpd: speed(w.out, w[2], w.m.known.slot_status); break;
    case kOpcLocoDirf:
        direction(w.out, w[2]);
        w.out << ", ";
        f0_to_f4(w.out, w[2]);
        break;
    case kOpcLocoSnd: functions(w.out, 5, 4, w[2]); break;
    default: functions(w.out, 9, 4, w[2]); break;
    }
    return true;
}

bool walk_slot_commands(Walk &w) {
    switch (w.m.opcode()) {
    case kOpcSlotStat1:
        slot_label(w, w[1]);
        w.out << t::kSetStatus;
        slot_status(w.out, w[2]);
        return true;
    case kOpcUnlinkSlots:
        w.out << t::kUnlink;
        w.out.num(F::Slot, w[1]).at(1) << t::kUnlinkFrom;
        w.out.num(F::Slot, w[2]).at(2) << t::kUnlinkEnd;
        return true;
    case kOpcLinkSlots:
        w.out << t::kUnlink;
        w.out.num(F::Slot, w[1]).at(1) << t::kLinkTo;
        w.out.num(F::Slot, w[2]).at(2) << t::kLinkEnd;
        return true;
    case kOpcMoveSlots: {
        move_slots(w, w[1], w[2]);
        return true;
    }
    case kOpcRqSlData: {
        const int slot = w[1] + 128 * (w[2] & 0x07);
        const std::string_view special = t::find(t::kSystemSlotRequests, slot);
        if (!special.empty()) {
            w.out.word(F::Slot, special);
        } else if (slot >= kFirstSystemSlot && slot < 0x80) {
            w.out << t::kSystemSlot;
            w.out.num(F::Slot, slot) << t::kQueryEnd << t::kUndescribedShort;
        } else {
            w.out << t::kRequestSlot;
            w.out.num(F::Slot, slot) << t::kRequestEnd;
            if (w[2] & 0x40)
                w.out << t::kExpandedFormat;
        }
        return true;
    }
    case kOpcLocoAdr:
    case kOpcExpLocoAdr: {
        const int address = loco_address(w[1], w[2]);
        loco(w.out, address);
        if (w.m.opcode() == kOpcExpLocoAdr)
            w.out << t::kExpandedRequest;
        else
            w.out << (address == 0 ? t::kAnalogue
                      : w[1] == 0  ? t::kShortAddress
                                   : t::kLongAddress)
                  << t::kRequestLoco;
        return true;
    }
    case kOpcExpCmd: {
        if ((w[1] & 0xF8) != 0x38)
            return false;
        const int from = (w[1] & 0x07) * 128 + w[2];
        const int to = (w[3] & 0x07) * 128 + w[4];
        switch (w[3] & 0x70) {
        case 0x60:
            w.out << t::kSlot;
            w.out.num(F::Slot, from) << t::kSetStatus;
            slot_status(w.out, w[4]);
            break;
        case 0x50:
            w.out << t::kUnlink;
            w.out.num(F::Slot, from) << t::kUnlinkAlone;
            break;
        case 0x40:
            w.out << t::kUnlink;
            w.out.num(F::Slot, from) << t::kLinkToTop;
            w.out.num(F::Slot, to) << t::kLinkEnd;
            break;
        case 0x00: move_slots(w, from, to); break;
        default: return false;
        }
        w.out << t::kExpandedFormat;
        return true;
    }
    default: return false;
    }
}

} // namespace bl::loconet
