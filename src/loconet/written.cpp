#include "loconet/written.h"

#include "loconet/addresses.h"
#include "loconet/hex.h"
#include "loconet/opcodes.h"
#include "loconet/written_texts.h"

#include <array>
#include <charconv>
#include <cstring>

namespace bl::loconet {

namespace {

namespace tx = texts::written;

// What the written rendering reads: the receive buffer's bytes 0..12 (and
// on to the message's end), the locomotive the slot table gave the slot it
// names, and whether a switch-state query waits for its answer.
// The receive buffer as the rendering reads it: the message's bytes, what
// it still held behind a cut-short message, zero beyond.
struct Held {
    const std::uint8_t *bytes;
    std::size_t count;
    int operator[](std::size_t i) const { return i < count ? bytes[i] : 0; }
};

struct WrittenInput {
    Held b;
    std::int32_t length;
    long slot_loco;
    bool switch_query;
};

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
        put_hex(t.buf + t.n, x);
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

void render_kennbox(const Held &b, Line &line) {
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

void render_slot_data(const WrittenInput &in, Line &line) {
    const Held &b = in.b;
    line << tx::kSlot;
    line.S(b[2]) << tx::kLocoAddress;
    line.S(in.slot_loco) << tx::kSlotSpeed;
    line.S(b[5]) << tx::kCategory;
    line.S(train_category_of(b[8])) << tx::kCategoryEnd;
    line.Dir(b[6]).F04(b[6]).F58(b[10]);
}

void render_hex_list(const WrittenInput &in, Line &line) {
    line << tx::kHexPrefix;
    line.t.n = static_cast<std::size_t>(
        put_hex_list(line.t.buf + line.t.n,
                     std::span(in.b.bytes, static_cast<std::size_t>(in.length)), true) -
        line.t.buf);
}

void render_into(const WrittenInput &in, bool ascii_hex, Line &line) {
    const Held &b = in.b;
    switch (b[0]) {
    case kOpcBusy: // not shown
        break;
    case kOpcGpOff: line << tx::kPowerOff; break;
    case kOpcGpOn: line << tx::kPowerOn; break;
    case kOpcLocoSpd:
        line << tx::kLoco;
        line.S(in.slot_loco) << tx::kSpeedIs;
        line.S(b[2]);
        break;
    case kOpcLocoDirf:
        line << tx::kLoco;
        line.S(in.slot_loco) << tx::kIs;
        line.Dir(b[2]).F04(b[2]);
        break;
    case kOpcLocoSnd:
        line << tx::kLoco;
        line.S(in.slot_loco) << tx::kIs;
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
        if (!in.switch_query) {
            line << tx::kLongAck;
            line.H(b[0]) << " ";
            line.H(b[1]) << " ";
            line.H(b[2]);
        } else if (acknowledged_opcode(b[1]) == kOpcSwState) {
            line << tx::kAnswer << pick(b[2] & 0x20, tx::kGreen, tx::kRed);
        }
        break;
    case kOpcRqSlData:
        line << tx::kSlotQuery;
        line.S(b[1]);
        break;
    case kOpcSwState:
        line << tx::kSwitchQuery;
        line.S(switch_address(b[1], b[2]));
        break;
    case kOpcLocoAdr:
        line << tx::kLocoAddressQuery;
        line.S(loco_address(b[1], b[2]));
        break;
    case kOpcTrainIdReport:
        if (b[1] == 8)
            render_kennbox(b, line);
        break;
    case kOpcSlRdData: render_slot_data(in, line); break;
    default:
        if (ascii_hex)
            render_hex_list(in, line);
        break;
    }
}

} // namespace

void render_written(const Message &m, bool ascii_hex, LineText &text) {
    const Held held{m.bytes.data(), std::size_t{m.length} + m.leftover};
    const WrittenInput in{held, m.length, m.known.written_loco, m.known.after_switch_query};
    text.n = 0;
    Line line{text};
    render_into(in, ascii_hex, line);
}

} // namespace bl::loconet
