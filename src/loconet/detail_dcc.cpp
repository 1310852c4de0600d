// Immediate packets (0xED 0x0B): the DCC packet is recovered from the
// message (seven bits a byte, the eighth from the DHI byte) and decoded:
// multifunction decoders (speed, functions, consist, CV access on the main)
// and accessory decoders (basic, extended, CV access on the main).
#include "loconet/detail_out.h"
#include "loconet/opcodes.h"

#include <algorithm>
#include <array>

namespace bl::loconet {

namespace t = texts::detail;
using F = FieldId;

namespace {

struct Packet {
    std::array<int, 5> b{};
    int n = 0;
    // the furthest byte the decoding looked at: a packet that ends before
    // its instruction does is said to be short, not shown with made-up zeros
    mutable int furthest = 0;
    int operator[](int i) const {
        furthest = std::max(furthest, i);
        return i < n ? b[static_cast<std::size_t>(i)] : 0;
    }
};

Packet packet_of(const Message &m) {
    Packet p;
    p.n = std::min((m[3] >> 4) & 0x07, 5);
    for (int i = 0; i < p.n; ++i)
        p.b[static_cast<std::size_t>(i)] =
            m[5 + static_cast<std::size_t>(i)] | (((m[4] >> i) & 1) << 7);
    return p;
}

void on_off(Out &out, int value) { out << (value ? t::kOn : t::kOff); }

// 0xE0..0xEF: CV access on the main, long form; 0xF0..: short form.
// Returns the bytes the instruction takes.
int cv_access(Out &out, const Packet &p, int at) {
    const int i = p[at];
    if ((i & 0xF0) == 0xF0) {
        const std::string_view known = t::find(t::kDccShortForms, i & 0x0F);
        if (known.empty()) {
            out << t::kDccShortForm;
            out.num(i & 0x0F) << " = ";
        } else {
            out << known;
        }
        out.num(F::Value, p[at + 1]);
        return 2;
    }
    const int cv = (((i & 0x03) << 8) | p[at + 1]) + 1;
    const int data = p[at + 2];
    switch (i & 0x0C) {
    case 0x04:
        out << t::kDccWriteCv;
        out.num(F::Cv, cv) << " = ";
        out.num(F::Value, data) << t::kDccVerifyEnd;
        break;
    case 0x0C:
        out << t::kDccWriteCv;
        out.num(F::Cv, cv) << " = ";
        out.num(F::Value, data) << t::kDccWriteEnd;
        break;
    case 0x08:
        out << t::kDccBitCv;
        out.num(data & 0x07) << t::kDccOfCv;
        out.num(F::Cv, cv) << " = ";
        out.num(F::Value, (data >> 3) & 1) << ((data & 0x10) ? t::kDccWriteEnd : t::kDccVerifyEnd);
        break;
    default: out << t::kDccUndecoded; break;
    }
    return 3;
}

// The instruction of a multifunction decoder at byte at; returns the bytes
// it takes.
int instruction(Out &out, const Packet &p, int at) {
    const int i = p[at];
    int length = 1;
    switch (i & 0xE0) {
    case 0x00: {
        const std::string_view control = t::find(t::kDccControl, i);
        if (!control.empty()) {
            out << ", " << control;
        } else if (i == 0x12 || i == 0x13) {
            out << ", " << t::kDccConsist;
            out.num(p[at + 1] & 0x7F) << (i == 0x12 ? t::kDccNormal : t::kDccReversed);
            length = 2;
        } else {
            out << ", " << t::kDccUndecoded;
            out.hex(i);
        }
        break;
    }
    case 0x20:
        if (i == 0x3F) {
            const int s = p[at + 1] & 0x7F;
            out << ", ";
            out.word(F::Direction, (p[at + 1] & 0x80) ? t::kForward : t::kBackward) << ", ";
            if (s == 0)
                out.word(F::Speed, t::kStop);
            else if (s == 1)
                out.word(F::Speed, t::kEmergencyStop);
            else {
                out << t::kSpeedStep;
                out.num(F::Speed, s - 1) << t::kOf << "126";
            }
            length = 2;
        } else if (i == 0x3E) {
            out << ", " << t::kDccRestricted;
            out.num(p[at + 1]);
            length = 2;
        } else if (i == 0x3D) {
            out << ", " << t::kDccAnalogue;
            out.num(p[at + 1]) << " = ";
            out.num(F::Value, p[at + 2]);
            length = 3;
        } else {
            out << ", " << t::kDccUndecoded;
            out.hex(i);
        }
        break;
    case 0x40:
    case 0x60: {
        const int v = ((i & 0x0F) << 1) | ((i >> 4) & 1);
        out << ", ";
        out.word(F::Direction, (i & 0x20) ? t::kForward : t::kBackward) << ", ";
        if (v < 2)
            out.word(F::Speed, t::kStop);
        else if (v < 4)
            out.word(F::Speed, t::kEmergencyStop);
        else {
            out << t::kSpeedStep;
            out.num(F::Speed, v - 3) << t::kOf << "28";
        }
        out << t::k28Steps;
        if (i & 0x10) { // as a decoder of 14 steps reads it: the light in bit 4
            const int s = i & 0x0F;
            out << t::k14StepsToo;
            if (s == 0)
                out << t::kStop;
            else if (s == 1)
                out << t::kEmergencyStop;
            else {
                out << t::kSpeedStep;
                out.num(s - 1);
            }
            out << t::kLight << t::kOn;
        }
        break;
    }
    case 0x80:
        out << ", ";
        f0_to_f4(out, i);
        break;
    case 0xA0:
        out << ", ";
        functions(out, (i & 0x10) ? 5 : 9, 4, i);
        break;
    case 0xC0:
        switch (i) {
        case 0xDE:
        case 0xDF:
        case 0xD8:
        case 0xD9:
        case 0xDA:
        case 0xDB:
        case 0xDC: {
            const int first = i == 0xDE ? 13 : i == 0xDF ? 21 : 29 + 8 * (i - 0xD8);
            out << ", ";
            functions(out, first, 8, p[at + 1]);
            length = 2;
            break;
        }
        case 0xDD:
        case 0xC0: {
            const int state = i == 0xDD ? (p[at + 1] & 0x7F) : (p[at + 1] & 0x7F) + 128 * p[at + 2];
            out << ", ";
            if (state == 0) {
                out << t::kDccAllBinary;
            } else {
                out << t::kDccBinary;
                out.num(F::Value, state);
            }
            out << t::kDccIs;
            on_off(out, p[at + 1] & 0x80);
            length = i == 0xDD ? 2 : 3;
            break;
        }
        default:
            out << ", " << t::kDccUndecoded;
            out.hex(i);
            break;
        }
        break;
    default: length = cv_access(out, p, at); break;
    }
    return length;
}

// Every instruction of a multifunction packet, from byte at on; a last byte
// that is the packet's check byte (some senders include it) is said to be.
void multifunction(Out &out, const Packet &p, int at) {
    while (true) {
        at += instruction(out, p, at);
        if (at >= p.n)
            return;
        int check = 0;
        for (int i = 0; i < at; ++i)
            check ^= p.b[static_cast<std::size_t>(i)];
        if (at == p.n - 1 && p.b[static_cast<std::size_t>(at)] == check) {
            out << t::kDccCheckByte;
            return;
        }
    }
}

void accessory(Out &out, const Packet &p) {
    const int b0 = p[0], b1 = p[1];
    const int decoder = (b0 & 0x3F) | ((~b1 & 0x70) << 2);
    const int pair = (b1 >> 1) & 0x03;
    if (b1 & 0x80) { // basic accessory
        if (decoder == 511) {
            out << t::kDccAccessoryBroadcast;
            return;
        }
        if (p.n >= 5 && (p[2] & 0xF0) == 0xE0) {
            out << t::kDccAccessoryCv;
            out.num(F::Board, decoder);
            // C and DDD: the output whose CVs change; all four 0: the decoder
            if ((b1 & 0x0F) == 0) {
                out << t::kDccWholeDecoder;
            } else {
                out << t::kDccOutput;
                out.num(b1 & 0x07);
            }
            cv_access(out, p, 2);
            return;
        }
        out << t::kDccAccessory;
        out.num(F::Switch, (((decoder - 1) << 2) | pair) + 1) << t::kDccDecoder;
        out.num(decoder) << t::kDccPair;
        out.num(pair) << ") ";
        out.word(F::Position, (b1 & 0x01) ? t::kClosed : t::kThrown) << ", ";
        out.word(F::Output, (b1 & 0x08) ? t::kOutputOn : t::kOutputOff);
        return;
    }
    if ((b1 & 0x0C) == 0x0C) { // the legacy CV access form
        out << t::kDccAccessoryCv;
        out.num(F::Board, decoder) << ": " << t::kCv;
        out.num(F::Cv, (((b1 & 0x03) << 8) | p[2]) + 1) << " = ";
        out.num(F::Value, p[3]) << t::kDccWriteEnd;
        return;
    }
    const int first = (((decoder - 1) << 2) | pair) + 1;
    if (p.n >= 5 && (p[2] & 0xF0) == 0xE0) {
        out << t::kDccAccessoryCv;
        out.num(F::Board, decoder) << t::kDccPair;
        out.num(pair) << t::kDccSignalAddress;
        out.num(first) << ')';
        cv_access(out, p, 2);
        return;
    }
    out << t::kDccSignal;
    out.num(F::Switch, first) << t::kDccOtherReading;
    out.num(((decoder << 2) | pair) + 1) << t::kDccAspect;
    out.num(F::Value, p[2] & 0x1F);
}

// "Lok ", or what a CV access on the main is called, before the address.
void loco(Out &out, const Packet &p, int at) {
    out << ((p[at] & 0xE0) == 0xE0 ? t::kOpsMode : t::kLoco);
}

void decode_packet(Out &out, const Packet &p) {
    const int b0 = p[0];
    if (b0 == 0xFF) {
        out << t::kDccIdle;
    } else if (b0 == 0x00) {
        out << t::kDccBroadcast;
        multifunction(out, p, 1);
    } else if (b0 < 0x80) {
        loco(out, p, 1);
        out.num(F::Loco, b0);
        multifunction(out, p, 1);
    } else if (b0 < 0xC0) {
        accessory(out, p);
    } else if (b0 < 0xE8) {
        loco(out, p, 2);
        out.num(F::Loco, ((b0 & 0x3F) << 8) | p[1]);
        multifunction(out, p, 2);
    } else {
        out << t::kDccReserved << ' ';
        out.hex(b0);
    }
}

} // namespace

bool walk_immediate(Walk &w) {
    const int op = w.m.opcode();
    if ((op != kOpcImmPacket && op != kOpcExpWrData) || w[1] != 0x0B || w.length() != 11 ||
        w[2] != 0x7F)
        return false;
    const Packet p = packet_of(w.m);
    if (p.n < 2)
        return false;
    w.out << t::kDccPacket << t::kRepeat;
    w.out.num(F::Repeats, w[3] & 0x07) << t::kRepeatEnd;
    std::string bytes;
    for (int i = 0; i < p.n; ++i) {
        char digits[3] = {' '};
        put_hex(digits + 1, p[i]);
        bytes.append(digits + (i ? 0 : 1), i ? 3u : 2u);
    }
    w.out.field(F::Packet, bytes);
    decode_packet(w.out, p);
    if (p.furthest >= p.n)
        w.out << t::kDccTooShort;
    return true;
}

} // namespace bl::loconet
