#include "loconet/detail.h"

#include "loconet/detail_out.h"
#include "loconet/opcode_names.h"

#include <array>

namespace bl::loconet {

namespace t = texts::detail;
namespace f = texts::detail::field;

namespace {

// The opcode's name, or its number.
void opcode_named(Out &out, int opcode) {
    const std::string_view name = opcode_name(opcode);
    if (name.empty())
        out.hex(opcode);
    else
        out << name;
}

void unknown(Walk &w, std::string_view lead) {
    w.out << lead;
    opcode_named(w.out, w.m.opcode());
    char bytes[3 * kLongestMessage];
    w.out << t::kBytes
          << std::string_view(
                 bytes, static_cast<std::size_t>(put_hex_list(bytes, w.m.view(), false) - bytes));
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
    w.out.field(f::kOpcode, opcode);
    w.out.field(f::kLength, static_cast<long>(w.m.length));
}

void checksum_field(Walk &w) {
    if (w.m.length == 0 || !w.out.listing())
        return;
    char digits[2];
    put_hex(digits, w.m[w.m.length - 1u]);
    w.out.field(f::kChecksum,
                std::string(digits, 2) + (w.m.checksum_ok ? " (richtig)" : " (falsch)"));
}

} // namespace

bool walk_power(Walk &w) {
    const std::string_view text = t::find(t::kTwoByte, w.m.opcode());
    if (text.empty())
        return false;
    w.out << text;
    return true;
}

bool render_detailed(const Message &m, const RequestSource &requests, LineText &line,
                     DetailFields *fields) {
    line.clear();
    Out out(line, fields);
    Walk w{m, out, requests};
    frame_fields(w);
    const int op = m.opcode();
    const bool reserved = op >= 0xA8 && op < 0xB0;
    const bool done =
        !reserved && (op < 0xA0 ? walk_power(w)
                                : walk_loco(w) || walk_slot_commands(w) || walk_switches(w) ||
                                      walk_acknowledgement(w) || walk_multi_sense(w) ||
                                      walk_identification(w) || walk_slot_data(w) ||
                                      walk_expanded(w) || walk_peer(w) || walk_immediate(w));
    if (!done) {
        line.clear();
        if (fields)
            fields->resize(2); // what a walker began is no field of an unknown message
        unknown(w, reserved ? t::kReserved : t::kUnknown);
    }
    checksum_field(w);
    return done;
}

// ---- pieces shared by the families ----

void slot_label(Walk &w, int slot) {
    w.out << t::kSlot;
    w.out.num(f::kSlot, slot);
    if (w.m.known.loco >= 0) {
        w.out << " (" << t::kLoco;
        w.out.num(f::kLoco, w.m.known.loco) << ')';
    }
}

void loco(Out &out, int address) {
    out << t::kLoco;
    out.num(f::kLoco, address);
}

// The speed as a step of the slot's mode: 128 steps (or a mode not known)
// count 1..126 above stop and emergency stop; 28 and 14 steps are scaled by
// the command station from the same 0..127, so the value is told as well.
void speed(Out &out, int spd, int slot_status) {
    if (spd == 0) {
        out.word(f::kSpeed, t::kStop);
        return;
    }
    if (spd == 1) {
        out.word(f::kSpeed, t::kEmergencyStop);
        return;
    }
    const int mode = slot_status == 0xFF ? 3 : slot_status & 0x07;
    const int steps = mode == 2 ? 14 : (mode == 0 || mode == 1 || mode == 4) ? 28 : 126;
    const int step = steps == 126 ? spd - 1 : ((spd - 1) * steps + 125) / 126;
    out << t::kSpeedStep;
    out.num(f::kSpeed, step) << t::kOf;
    out.num(steps);
    // the raw slot value too: it is what other monitors and the slot data show
    out << t::kValueOpen;
    out.num(spd) << ')';
}

void direction(Out &out, int dirf) {
    out.word(f::kDirection, (dirf & 0x20) ? t::kBackward : t::kForward);
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

void functions(Out &out, int first, int count, int value, int bit) {
    for (int i = 0; i < count && first + i < kMostFunctions; ++i) {
        const FunctionItem &item =
            kFunctionItems[static_cast<std::size_t>(first + i)]
                          [static_cast<std::size_t>((value >> (bit + i)) & 1)];
        const std::size_t skip = i == 0 ? 2 : 0; // no separator before the first
        out << std::string_view(item.text + skip, item.n - skip);
    }
    out.field(f::kFunctions, value);
}

// F0 (the light) is bit 4, F1..F4 bits 0..3.
void f0_to_f4(Out &out, int dirf) {
    out << "F0=" << ((dirf & 0x10) ? t::kOn : t::kOff) << ", ";
    functions(out, 1, 4, dirf);
}

void slot_status(Out &out, int stat1) {
    out.word(f::kStatus, t::find(t::kActivity, stat1 & 0x30)) << ", ";
    out.word(f::kConsist, t::find(t::kConsist, stat1 & 0x48)) << ", ";
    const std::string_view mode = t::find(t::kStepModes, stat1 & 0x07);
    if (mode.empty()) {
        out << t::kStepModeUnknown << '(';
        out.num(f::kSteps, stat1 & 0x07) << ')';
    } else {
        out.word(f::kSteps, mode);
    }
}

void track_status(Out &out, int trk) {
    out << ((trk & 0x01) ? t::kPowerOn : t::kPowerOff) << ", "
        << ((trk & 0x02) ? t::kRunning : t::kPaused) << ", "
        << ((trk & 0x08) ? t::kProgBusy : t::kProgFree);
    out.field(f::kTrack, trk);
}

void switch_position(Out &out, int dir, int on) {
    out.word(f::kPosition, dir ? t::kClosed : t::kThrown) << ", ";
    out.word(f::kOutput, on ? t::kOutputOn : t::kOutputOff);
}

} // namespace bl::loconet
