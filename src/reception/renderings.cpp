#include "reception/renderings.h"

#include "reception/texts.h"

#include <charconv>
#include <cstring>

namespace bl {

namespace {

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
        static constexpr char kDigits[] = "0123456789ABCDEF";
        t.buf[t.n++] = kDigits[(x >> 4) & 0xF];
        t.buf[t.n++] = kDigits[x & 0xF];
        return *this;
    }
    Line &Dir(int x) { return *this << pick(x & 0x20, texts::kBackward, texts::kForward); }
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

constexpr int kSwitchStateQuery = 0xBC;

// Address of the locomotive last seen in slot s, as a 16-bit value.
long loco(const ModVariablen &v, int s) {
    if (s < 0 || s >= kSlotRows)
        return 0;
    const auto &row = v.slot_tab[static_cast<std::size_t>(s)];
    return static_cast<std::int16_t>(128 * row[9] + row[4]);
}

int switch_address(int b1, int b2) { return (b2 & 0x0F) * 128 + b1 + 1; }

int sensor_number(int b1, int b2) { return 2 * b1 + 256 * (b2 & 0x0F) + (b2 & 0x20) / 32 + 1; }

void render_kennbox(const ModVariablen &v, Line &line) {
    const auto &b = v.ln_buf;
    const int sender = (b[3] & 0x1F) * 128 + b[4];
    if ((b[3] & 0xE0) == 0x20) {
        if (b[2] == 0) {
            line << texts::kKennbox;
            line.S(sender) << texts::kKennboxSpeed;
            line.S(128 * b[5] + b[6]) << texts::kKmh;
        } else if (b[5] == 0 && b[2] == 1 && b[6] >= 0 && b[6] <= 3) {
            if (b[6] == 1)
                return;
            line << texts::kKennbox;
            line.S(sender);
            if (b[6] == 0)
                line << texts::kKennboxPoll;
            else if (b[6] == 2)
                line << texts::kBlockFree;
            else
                line << texts::kBlockOccupied;
        }
        return;
    }
    line << texts::kKennbox;
    line.S(sender) << texts::kKennboxAddress;
    line.S(128 * b[5] + b[6]) << texts::kKennboxCategory;
    line.S((b[2] & 0x03) + 1) << " ";
    if (b[3] & 0x40)
        line << pick(b[3] & 0x20, texts::kS2ToS1, texts::kS1ToS2);
}

void render_slot_data(ModVariablen &v, Line &line) {
    const auto &b = v.ln_buf;
    const int slot = b[2];
    if (slot >= 0 && slot < kSlotRows)
        for (std::size_t i = 0; i <= 12; ++i)
            v.slot_tab[static_cast<std::size_t>(slot)][i] = b[i];
    line << texts::kSlot;
    line.S(slot) << texts::kLocoAddress;
    line.S(loco(v, slot)) << texts::kSlotSpeed;
    line.S(b[5]) << texts::kCategory;
    line.S(train_category_of(b[8])) << texts::kCategoryEnd;
    line.Dir(b[6]).F04(b[6]).F58(b[10]);
}

void render_hex_list(const ModVariablen &v, Line &line) {
    line << texts::kHexPrefix;
    for (int i = 0; i < v.ln_len; ++i)
        line.H(v.ln_buf[static_cast<std::size_t>(i)]) << " ";
}

void render_into(ModVariablen &v, Line &line);

} // namespace

int train_category_of(int status2) {
    // b8 / 8 rounded to the nearest integer, a half going to the even one
    int q = status2 >> 3;
    const int r = status2 & 7;
    if (r > 4 || (r == 4 && (q & 1)))
        ++q;
    return (q & 14) + ((status2 & 0x02) == 0x02 ? 1 : 0);
}

void render_message(ModVariablen &v, LineText &text) {
    text.n = 0;
    Line line{text};
    render_into(v, line);
}

namespace {

void render_into(ModVariablen &v, Line &line) {
    const auto &b = v.ln_buf;
    switch (b[0]) {
    case 0x81: // busy: not shown
        break;
    case 0x82: line << texts::kPowerOff; break;
    case 0x83: line << texts::kPowerOn; break;
    case 0xA0:
        line << texts::kLoco;
        line.S(loco(v, b[1])) << texts::kSpeedIs;
        line.S(b[2]);
        break;
    case 0xA1:
        line << texts::kLoco;
        line.S(loco(v, b[1])) << texts::kIs;
        line.Dir(b[2]).F04(b[2]);
        break;
    case 0xA2:
        line << texts::kLoco;
        line.S(loco(v, b[1])) << texts::kIs;
        line.F58(b[2]);
        break;
    case 0xB0:
        line << texts::kSwitch;
        line.S(switch_address(b[1], b[2]));
        line << pick(b[2] & 0x20, texts::kGreenDash, texts::kRedDash);
        line << pick(b[2] & 0x10, texts::kOutputOn, texts::kOutputOff);
        break;
    case 0xB2:
        line << texts::kSensor;
        line.S(sensor_number(b[1], b[2]));
        line << pick(b[2] & 0x10, texts::kOccupied, texts::kFree);
        break;
    case 0xB4:
        if (v.sw_query == 0) {
            line << texts::kLongAck;
            line.H(b[0]) << " ";
            line.H(b[1]) << " ";
            line.H(b[2]);
        } else if (v.sw_query == kSwitchStateQuery && b[1] == 0x3C) {
            line << texts::kAnswer << pick(b[2] & 0x20, texts::kGreen, texts::kRed);
        }
        v.sw_query = 0;
        break;
    case 0xBB:
        line << texts::kSlotQuery;
        line.S(b[1]);
        break;
    case 0xBC:
        line << texts::kSwitchQuery;
        line.S(switch_address(b[1], b[2]));
        v.sw_query = kSwitchStateQuery;
        break;
    case 0xBF:
        line << texts::kLocoAddressQuery;
        line.S(128 * b[1] + b[2]);
        break;
    case 0xE4:
        if (b[1] == 8)
            render_kennbox(v, line);
        break;
    case 0xE7: render_slot_data(v, line); break;
    default:
        if (v.ascii_hex_on)
            render_hex_list(v, line);
        break;
    }
}

} // namespace

} // namespace bl
