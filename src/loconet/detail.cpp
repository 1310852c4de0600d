#include "loconet/detail.h"

#include "loconet/detail_out.h"
#include "loconet/opcode_names.h"

#include <array>

namespace bl::loconet {

namespace t = texts::detail;
using F = FieldId;

namespace {

// A message in no form known: what its opcode's messages are where that is
// known ("Slotdaten in unbekannter Form (Länge 12)"), else its opcode; then
// its bytes.
void unknown(Walk &w, bool reserved) {
    const int op = w.m.opcode();
    if (const std::string_view family = t::find(t::kFamilies, op); !family.empty() && !reserved) {
        w.out << family << t::kUnknownForm;
        w.out.num(static_cast<long>(w.m.length)) << ')';
    } else {
        w.out << (reserved ? t::kReserved : t::kUnknown);
        w.out.hex(op) << ')';
    }
    w.out << t::kBytes;
    append_hex_list(w.out, w.m.view(), false);
}

// The fields every message has, for the field view.
void frame_fields(Walk &w) {
    if (!w.out.listing())
        return;
    char digits[2];
    put_hex(digits, w.m.opcode());
    std::string opcode(digits, 2);
    if (const std::string_view name = opcode_name(w.m.opcode()); !name.empty())
        opcode.append(" (").append(name).append(")");
    w.out.field(F::Opcode, w.m.opcode(), opcode);
    w.out.at(0);
    w.out.field(F::Length, static_cast<long>(w.m.length));
}

void checksum_field(Walk &w) {
    if (w.m.length == 0 || !w.out.listing())
        return;
    char digits[2];
    put_hex(digits, w.m[w.m.length - 1u]);
    w.out.field(F::Checksum, w.m[w.m.length - 1u],
                std::string(digits, 2) + (w.m.checksum_ok ? " (richtig)" : " (falsch)"));
    w.out.at(w.m.length - 1u);
}

} // namespace

bool walk_power(Walk &w) {
    const std::string_view text = t::find(t::kTwoByte, w.m.opcode());
    if (text.empty())
        return false;
    w.out << text;
    return true;
}

namespace {
// A request names no request of its own.
struct NoRequests : RequestSource {
    const Message *request(std::uint64_t) const override { return nullptr; }
};

bool reserved_opcode(int op) { return op >= 0xA8 && op < 0xB0; }

// Every family, until one knows the message.
bool walk_any(Walk &w) {
    const int op = w.m.opcode();
    if (reserved_opcode(op))
        return false;
    if (op < 0xA0)
        return walk_power(w);
    return walk_loco(w) || walk_slot_commands(w) || walk_switches(w) || walk_acknowledgement(w) ||
           walk_multi_sense(w) || walk_identification(w) || walk_slot_data(w) || walk_expanded(w) ||
           walk_peer(w) || walk_immediate(w);
}
} // namespace

void name_request(Walk &w) {
    const Message *request = w.request();
    if (!request)
        return;
    w.out << t::kAnswerTo;
    Out nested = w.out.nested();
    const NoRequests none;
    Walk asked{*request, nested, none};
    walk_any(asked);
}

bool render_detailed(const Message &m, const RequestSource &requests, LineText &line,
                     DetailFields *fields, FieldMask wanted) {
    line.clear();
    Out out(line, fields, wanted);
    Walk w{m, out, requests};
    frame_fields(w);
    const std::size_t framed = fields ? fields->size() : 0;
    const bool done = walk_any(w);
    if (!done) {
        line.clear();
        if (fields)
            fields->resize(framed); // what a walker began is no field of an unknown message
        unknown(w, reserved_opcode(m.opcode()));
    }
    checksum_field(w);
    return done;
}

// ---- pieces shared by the families ----

void slot_label(Walk &w, int slot) {
    w.out << t::kSlot;
    w.out.num(F::Slot, slot);
    if (w.m.known.loco >= 0) {
        w.out << " (" << t::kLoco;
        w.out.num(F::Loco, w.m.known.loco) << ')';
    }
}

void loco(Out &out, int address) {
    out << t::kLoco;
    out.num(F::Loco, address);
}

// The speed: 0 halts, 1 is the emergency stop. In 128-step mode the value
// is the DCC step + 1; how a command station maps it to 28 or 14 steps the
// protocol leaves open, so there the raw value is shown with the mode (and
// where no slot data told the mode, the raw value alone).
void speed(Out &out, int spd, int slot_status) {
    if (spd == 0 || spd == 1) {
        out << (spd ? t::kEmergencyStop : t::kStop);
        out.field(F::Speed, spd, spd ? t::kEmergencyStop : t::kStop);
        return;
    }
    const int mode = slot_status == 0xFF ? -1 : slot_status & 0x07;
    if (mode == 3 || mode == 7) {
        out << t::kSpeedStep;
        out.num(spd - 1) << t::kOf << "126" << t::kValueOpen;
        out.num(F::Speed, spd) << ')';
        return;
    }
    out << t::kSpeedValue;
    out.num(F::Speed, spd) << t::kOf << "127";
    if (const std::string_view steps = t::find(t::kStepModes, mode); !steps.empty())
        out << " (" << steps << ')';
}

void direction(Out &out, int dirf) {
    out.word(F::Direction, (dirf & 0x20) ? t::kBackward : t::kForward);
}

namespace {

// ", F12=an" and ", F12=aus" for every function, made once: a line of
// slot data lists a dozen of them.
constexpr int kMostFunctions = 69;
struct FunctionItem {
    char text[12];
    std::size_t n;
};
constexpr std::array<std::array<FunctionItem, 2>, kMostFunctions> kFunctionItems = [] {
    std::array<std::array<FunctionItem, 2>, kMostFunctions> items{};
    for (int number = 0; number < kMostFunctions; ++number)
        for (int on = 0; on < 2; ++on) {
            FunctionItem &item =
                items[static_cast<std::size_t>(number)][static_cast<std::size_t>(on)];
            std::size_t n = 0;
            for (const char c : {',', ' ', 'F'})
                item.text[n++] = c;
            if (number >= 10)
                item.text[n++] = static_cast<char>('0' + number / 10);
            item.text[n++] = static_cast<char>('0' + number % 10);
            item.text[n++] = '=';
            for (const char c : on ? t::kOn : t::kOff)
                item.text[n++] = c;
            item.n = n;
        }
    return items;
}();

} // namespace

// "F12=an" (after ", " unless it is the first of a list)
void function(Out &out, int number, bool on, bool first) {
    if (number < 0 || number >= kMostFunctions)
        return;
    const FunctionItem &item =
        kFunctionItems[static_cast<std::size_t>(number)][static_cast<std::size_t>(on)];
    const std::size_t skip = first ? 2 : 0;
    out << std::string_view(item.text + skip, item.n - skip);
    out.field(on ? FieldId::FunctionOn : FieldId::FunctionOff, number);
}

void functions(Out &out, int first, int count, int value, int bit) {
    for (int i = 0; i < count; ++i)
        function(out, first + i, (value >> (bit + i)) & 1, i == 0);
}

// F0 (the light) is bit 4, F1..F4 bits 0..3.
void f0_to_f4(Out &out, int dirf) {
    function(out, 0, dirf & 0x10, true);
    out << ", ";
    functions(out, 1, 4, dirf);
}

void slot_status(Out &out, int stat1) {
    out.word(F::Status, t::find(t::kActivity, stat1 & 0x30)) << ", ";
    out.word(F::Consist, t::find(t::kConsist, stat1 & 0x48)) << ", ";
    const std::string_view mode = t::find(t::kStepModes, stat1 & 0x07);
    if (mode.empty()) {
        out << t::kStepModeUnknown << '(';
        out.num(F::Steps, stat1 & 0x07) << ')';
    } else {
        out.word(F::Steps, mode);
    }
}

void track_status(Out &out, int trk, int reserved) {
    out << ((trk & 0x01) ? t::kPowerOn : t::kPowerOff) << ", "
        << ((trk & 0x02) ? t::kRunning : t::kPaused) << ", "
        << ((trk & 0x04) ? t::kProtocol11 : t::kLimitedProtocol) << ", "
        << ((trk & 0x08) ? t::kProgBusy : t::kProgFree);
    out.field(F::Track, trk);
    reserved_bits(out, trk, reserved);
}

// Bits a message leaves reserved are said where they are set, the same way
// everywhere.
void reserved_bits(Out &out, int byte, int mask) {
    if ((byte & mask) == 0)
        return;
    out << t::kReservedBits;
    out.hex(byte & mask) << ')';
}

void switch_position(Out &out, int dir, int on) {
    out.word(F::Position, dir ? t::kClosed : t::kThrown) << ", ";
    out.word(F::Output, on ? t::kOutputOn : t::kOutputOff);
}

} // namespace bl::loconet
