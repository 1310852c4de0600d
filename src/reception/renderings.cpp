#include "reception/renderings.h"

#include "loconet/addresses.h"
#include "loconet/hex.h"
#include "loconet/opcodes.h"
#include "shared/texts.h"

#include <charconv>
#include <cstring>

namespace bl {

namespace {

namespace tx = texts::reception;
using namespace loconet;

std::string_view pick(bool first, std::string_view a, std::string_view b) { return first ? a : b; }

// The pieces every rendering is built from.
struct Line {
    LineText &t;

    template <std::size_t N> Line &operator<<(const Latin1Lit<N> &lit) {
        static_assert(N < 64);
        std::memcpy(t.buf + t.n, lit.buf, N); // constant size: copied inline
        t.n += lit.len;
        return *this;
    }
    template <std::size_t N> Line &operator<<(const char (&ascii)[N]) {
        std::memcpy(t.buf + t.n, ascii, N - 1);
        t.n += N - 1;
        return *this;
    }
    Line &operator<<(std::string_view s) {
        std::memcpy(t.buf + t.n, s.data(), s.size());
        t.n += s.size();
        return *this;
    }
    // S(x): a number with one leading blank
    Line &S(long x) {
        t.buf[t.n++] = ' ';
        t.n = static_cast<std::size_t>(
            std::to_chars(t.buf + t.n, t.buf + LineText::kCapacity, x).ptr - t.buf);
        return *this;
    }
    // H(x): two hexadecimal digits (x is a byte)
    Line &H(int x) {
        loconet::put_hex(t.buf + t.n, x);
        t.n += 2;
        return *this;
    }
    Line &Dir(int x) { return *this << pick(x & 0x20, tx::kBackward, tx::kForward); }
    Line &F04(int x) {
        if (x & 0x10)
            *this << "F0 ";
        if (x & 0x01)
            *this << "F1 ";
        if (x & 0x02)
            *this << "F2 ";
        if (x & 0x04)
            *this << "F3 ";
        if (x & 0x08)
            *this << "F4 ";
        return *this;
    }
    Line &F58(int x) {
        if (x & 0x01)
            *this << "F5 ";
        if (x & 0x02)
            *this << "F6 ";
        if (x & 0x04)
            *this << "F7 ";
        if (x & 0x08)
            *this << "F8 ";
        return *this;
    }
};

// Address of the locomotive last seen in slot s, as a 16-bit value.
long loco(const ReceptionVars &v, int s) {
    if (s < 0 || s >= kSlotRows)
        return 0;
    const auto &row = v.slot_tab[static_cast<std::size_t>(s)];
    return static_cast<std::int16_t>(loconet::loco_address(row[9], row[4]));
}

void render_kennbox(const ReceptionVars &v, Line &line) {
    const auto &b = v.ln_buf;
    const int sender = (b[3] & 0x1F) * 128 + b[4];
    if ((b[3] & 0xE0) == 0x20) {
        if (b[2] == 0) {
            line << tx::kKennbox;
            line.S(sender) << tx::kKennboxSpeed;
            line.S(loco_address(b[5], b[6])) << tx::kKmh;
        } else if (b[5] == 0 && b[2] == 1 && b[6] >= 0 && b[6] <= 3) {
            if (b[6] == 1)
                return;
            line << tx::kKennbox;
            line.S(sender);
            if (b[6] == 0)
                line << tx::kKennboxPoll;
            else if (b[6] == 2)
                line << tx::kBlockFree;
            else
                line << tx::kBlockOccupied;
        }
        return;
    }
    line << tx::kKennbox;
    line.S(sender) << tx::kKennboxAddress;
    line.S(loco_address(b[5], b[6])) << tx::kKennboxCategory;
    line.S((b[2] & 0x03) + 1) << " ";
    if (b[3] & 0x40)
        line << pick(b[3] & 0x20, tx::kS2ToS1, tx::kS1ToS2);
}

void render_slot_data(ReceptionVars &v, Line &line) {
    const auto &b = v.ln_buf;
    const int slot = b[2];
    if (slot >= 0 && slot < kSlotRows)
        for (std::size_t i = 0; i <= 12; ++i)
            v.slot_tab[static_cast<std::size_t>(slot)][i] = b[i];
    line << tx::kSlot;
    line.S(slot) << tx::kLocoAddress;
    line.S(loco(v, slot)) << tx::kSlotSpeed;
    line.S(b[5]) << tx::kCategory;
    line.S(train_category_of(b[8])) << tx::kCategoryEnd;
    line.Dir(b[6]).F04(b[6]).F58(b[10]);
}

void render_hex_list(const ReceptionVars &v, Line &line) {
    line << tx::kHexPrefix;
    line.t.n = static_cast<std::size_t>(
        loconet::put_hex_list(line.t.buf + line.t.n,
                              std::span(v.ln_buf.data(), static_cast<std::size_t>(v.ln_len)),
                              true) -
        line.t.buf);
}

void render_into(ReceptionVars &v, bool ascii_hex, Line &line);

} // namespace

int train_category_of(int status2) {
    // b8 / 8 rounded to the nearest integer, a half going to the even one
    int q = status2 >> 3;
    const int r = status2 & 7;
    if (r > 4 || (r == 4 && (q & 1)))
        ++q;
    return (q & 14) + ((status2 & 0x02) == 0x02 ? 1 : 0);
}

void render_message(ReceptionVars &v, bool ascii_hex, LineText &text) {
    text.n = 0;
    Line line{text};
    render_into(v, ascii_hex, line);
}

namespace {

void render_into(ReceptionVars &v, bool ascii_hex, Line &line) {
    const auto &b = v.ln_buf;
    switch (b[0]) {
    case kOpcBusy: // not shown
        break;
    case kOpcGpOff: line << tx::kPowerOff; break;
    case kOpcGpOn: line << tx::kPowerOn; break;
    case kOpcLocoSpd:
        line << tx::kLoco;
        line.S(loco(v, b[1])) << tx::kSpeedIs;
        line.S(b[2]);
        break;
    case kOpcLocoDirf:
        line << tx::kLoco;
        line.S(loco(v, b[1])) << tx::kIs;
        line.Dir(b[2]).F04(b[2]);
        break;
    case kOpcLocoSnd:
        line << tx::kLoco;
        line.S(loco(v, b[1])) << tx::kIs;
        line.F58(b[2]);
        break;
    case kOpcSwReq:
        line << tx::kSwitch;
        line.S(switch_address(b[1], b[2]));
        line << pick(b[2] & 0x20, tx::kGreenDash, tx::kRedDash);
        line << pick(b[2] & 0x10, tx::kOutputOn, tx::kOutputOff);
        break;
    case kOpcInputRep:
        line << tx::kSensor;
        line.S(sensor_number(b[1], b[2]));
        line << pick(b[2] & 0x10, tx::kOccupied, tx::kFree);
        break;
    case kOpcLongAck:
        if (v.sw_query == 0) {
            line << tx::kLongAck;
            line.H(b[0]) << " ";
            line.H(b[1]) << " ";
            line.H(b[2]);
        } else if (v.sw_query == kOpcSwState && acknowledged_opcode(b[1]) == kOpcSwState) {
            line << tx::kAnswer << pick(b[2] & 0x20, tx::kGreen, tx::kRed);
        }
        v.sw_query = 0;
        break;
    case kOpcRqSlData:
        line << tx::kSlotQuery;
        line.S(b[1]);
        break;
    case kOpcSwState:
        line << tx::kSwitchQuery;
        line.S(switch_address(b[1], b[2]));
        v.sw_query = kOpcSwState;
        break;
    case kOpcLocoAdr:
        line << tx::kLocoAddressQuery;
        line.S(loco_address(b[1], b[2]));
        break;
    case kOpcLissyUpdate:
        if (b[1] == 8)
            render_kennbox(v, line);
        break;
    case kOpcSlRdData: render_slot_data(v, line); break;
    default:
        if (ascii_hex)
            render_hex_list(v, line);
        break;
    }
}

} // namespace

} // namespace bl
