// Peer transfers (0xE5) and their known formats: system variables (1 and
// 2), configuration variables by article number, firmware download, radio
// groups and device identity, throttle text, symbols and status, the
// transponder search; and a command station's own messages.
#include "loconet/addresses.h"
#include "loconet/detail_out.h"
#include "loconet/opcodes.h"
#include "loconet/peer_formats.h"

#include <algorithm>

namespace bl::loconet {

namespace t = texts::detail;
using F = FieldId;

namespace {

void hex_bytes(Out &out, const Message &m, std::size_t first, std::size_t last) {
    if (first <= last && first < m.length)
        append_hex_list(
            out, m.view().subspan(first, std::min<std::size_t>(last + 1, m.length) - first), false);
}

// D1..D8 of a peer transfer, as hex
void data_bytes(Out &out, const PeerData &p) { append_hex_list(out, p.d, false); }

void replies(Walk &w) { name_request(w); }

void article_cv(Walk &w) {
    const ArticleAccess a = article_access(w.m);
    const auto article = [&w, &a] {
        if (a.article == 0xFFFF) {
            w.out.word(F::Article, t::kAllArticles);
        } else {
            w.out << t::kArticle;
            w.out.num(F::Article, a.article);
        }
    };
    const auto module = [&w, &a] {
        if (a.mod == 0xFFFF) {
            w.out << t::kAllModules;
        } else {
            w.out << t::kModuleWord;
            w.out.num(F::Module, a.mod);
        }
    };
    if (a.cmd == kArticleReply) {
        if (a.flags == 0xFF) { // a direct reply: the module's inputs
            w.out << t::kArticleCv << t::kSvModule;
            w.out.num(F::Module, a.cv) << t::kDirectInputs;
            w.out.hex(a.mod >> 8) << ' ';
            w.out.hex(a.mod & 0xFF);
            return;
        }
        article();
        w.out << t::kArticleRead;
        w.out.num(F::Cv, a.cv) << " = ";
        w.out.num(F::Value, a.mod) << t::kModuleAnswer;
        replies(w);
        return;
    }
    w.out << t::kArticleCv;
    if (a.flags == 0xFF || a.flags == 0xFE) {
        w.out << t::kSvModule;
        w.out.num(F::Module, a.cv) << t::kDirectOutputs;
        w.out.hex(a.mod >> 8) << ' ';
        w.out.hex(a.mod & 0xFF);
        return;
    }
    if (a.cmd == kArticleRead && (a.flags & (kArticleStart | kArticleEnd))) {
        w.out << ((a.flags & kArticleStart) ? t::kStartFor : t::kEndFor);
        article();
        module();
        return;
    }
    article();
    if (a.cmd != kArticleWrite) // a write carries the value where the module stands
        module();
    w.out << t::kArticleRead;
    w.out.num(F::Cv, a.cv);
    if (a.cmd == kArticleWrite) {
        w.out << " = ";
        w.out.num(F::Value, a.mod) << t::kWrite;
    } else {
        w.out << t::kRead;
    }
}

void system_variable_2(Walk &w) {
    const SystemVariable2 sv = system_variable2(w.m);
    const int command = sv.cmd & 0x3F;
    w.out << t::kSv2;
    if (sv.cmd & 0x40) { // the answer of a device
        w.out << t::kSvAnswer;
        w.out.num(F::Destination, sv.destination);
        if (command == 0x02 || command == 0x01 || command == 0x03) {
            w.out << ": SV ";
            w.out.num(F::Sv, sv.sv) << " = ";
            w.out.num(F::Value, sv.d[0]);
        } else if (command == 0x05 || command == 0x06) {
            w.out << ": SV ";
            w.out.num(F::Sv, sv.sv) << "-";
            w.out.num(sv.sv + 3) << " = ";
            for (int i = 0; i < 4; ++i) {
                if (i)
                    w.out << ", ";
                w.out.num(sv.d[i]);
            }
        } else if (!t::find(t::kSv2Identity, command).empty()) {
            w.out << t::kSvIdentity;
            w.out.num(sv.sv & 0xFF) << t::kSvDeveloper;
            w.out.num(sv.sv >> 8) << t::kSvProduct;
            w.out.num(sv.d[0] + 256 * sv.d[1]) << t::kSvSerial;
            w.out.num(sv.d[2] + 256 * sv.d[3]);
        } else { // a command the format does not define
            w.out << t::kSvUnknownCommand;
            w.out.hex(command) << ": SV ";
            w.out.num(F::Sv, sv.sv) << t::kPeerData;
            append_hex_list(w.out, sv.d, false);
        }
        replies(w);
        return;
    }
    const std::string_view identity = t::find(t::kSv2Identity, command);
    if (!identity.empty()) {
        w.out.word(F::Kind, identity);
        if (command != 0x07) {
            w.out << t::kSvAt;
            w.out.num(F::Destination, sv.destination);
        }
        return;
    }
    w.out << t::kSvSource;
    w.out.num(F::Source, sv.src);
    const std::string_view what = t::find(t::kSv2Commands, command);
    if (what.empty()) {
        w.out << " Befehl ";
        w.out.hex(sv.cmd);
    } else {
        w.out << what;
        w.out.num(F::Sv, sv.sv);
        if (command == 0x01 || command == 0x03) {
            w.out << " = ";
            w.out.num(F::Value, sv.d[0]);
            if (command == 0x03) {
                w.out << t::kSvMask;
                w.out.hex(sv.d[1]);
            }
        } else if (command == 0x05) {
            w.out << " = ";
            for (int i = 0; i < 4; ++i) {
                if (i)
                    w.out << ", ";
                w.out.num(sv.d[i]);
            }
        }
    }
    w.out << (command == 0x01 || command == 0x03 || command == 0x05 ? t::kSvInto : t::kSvFrom)
          << t::kSvDevice;
    w.out.num(F::Destination, sv.destination);
}

void system_variable_1(Walk &w) {
    const PeerData p = peer_data(w.m);
    const int command = p.d[0], sv = p.d[1];
    w.out << t::kSv1;
    if (p.src == 0x50) {
        w.out << t::kSvComputer << (command == 0x01 ? t::kSvWrites : t::kSvReads);
        w.out.num(F::Sv, sv);
        if (command == 0x01) {
            w.out << " = ";
            w.out.num(F::Value, p.d[3]);
        }
        w.out << (command == 0x01 ? t::kSvInto : t::kSvFrom) << t::kSvModule;
        w.out.hex(p.dstl);
        w.out.field(F::Module, p.dstl);
        return;
    }
    w.out << t::kSvAnswer;
    w.out.hex(p.src);
    w.out.field(F::Module, p.src);
    w.out << ": SV ";
    w.out.num(F::Sv, sv) << " = ";
    if (command == 0x01) {
        w.out.num(F::Value, p.d[7]);
    } else {
        w.out.num(F::Value, p.d[5]) << ", ";
        w.out.num(p.d[6]) << ", ";
        w.out.num(p.d[7]);
    }
    replies(w);
}

void firmware(Walk &w) {
    const PeerData p = peer_data(w.m);
    w.out << t::kFirmware;
    switch (w[10] & 0x70) {
    case 0x00:
        w.out << t::kFirmwareSetup;
        w.out.num(p.d[0]) << t::kFirmwareProduct;
        w.out.num(p.d[1] | (p.d[7] << 8)) << t::kFirmwareHardware;
        w.out.num(p.d[2]) << t::kFirmwareSoftware;
        w.out.num(p.d[3]) << t::kFirmwareOptions;
        w.out.hex(p.d[4]);
        break;
    case 0x10: {
        w.out << t::kFirmwareAddress << "0x";
        const int address = (p.d[0] << 16) | (p.d[1] << 8) | p.d[2];
        for (int shift = 20; shift >= 0; shift -= 4)
            w.out << "0123456789ABCDEF"[(address >> shift) & 0xF];
        w.out.field(F::Value, address);
        break;
    }
    case 0x20:
    case 0x30: {
        w.out << ((w[10] & 0x70) == 0x20 ? t::kFirmwareData : t::kFirmwareVerify);
        data_bytes(w.out, p);
        break;
    }
    case 0x40: w.out << t::kFirmwareEnd; break;
    default:
        w.out << t::kFirmwareUnknownStep;
        w.out.hex(w[10] & 0x70);
        break;
    }
}

void throttle_text(Walk &w) {
    const PeerData p = peer_data(w.m);
    w.out << t::kTextMessage;
    if (p.dstl == 0 && p.dsth == 0) {
        w.out << t::kAllThrottles;
    } else {
        w.out << t::kThrottleNo;
        w.out.num(F::Throttle, p.dsth * 128 + p.dstl);
    }
    std::string text;
    for (const int c : p.d)
        text.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
    w.out << ": \"";
    w.out.word(F::Data, text) << '"';
}

void throttle_symbol(Walk &w) {
    const PeerData p = peer_data(w.m);
    w.out << t::kSymbol;
    w.out.num(F::Loco, p.d[0] * 128 + p.d[1]) << ": ";
    bool first = true;
    for (const auto &part : t::kSymbolParts) {
        w.out << (first ? "" : ", ") << part.text << ' '
              << ((p.d[2] & part.code) ? t::kOn : t::kOff);
        first = false;
    }
    if (p.d[2] & 0x01)
        w.out << t::kBlinking;
}

// A device's identity: manufacturer, device type (by name where the
// manufacturer is the protocol's originator, whose codes are known),
// software versions and serial numbers of the device and its add-on.
void identity_report(Walk &w) {
    const int manufacturer = w[4], type = w[5], add_on = w[6];
    w.out << t::kIdentityReport;
    w.out.num(F::Kind, manufacturer).at(4) << t::kIdentityType;
    const std::string_view host = manufacturer == 0 ? t::find(t::kHostTypes, type) : "";
    if (host.empty())
        w.out.num(type);
    else
        w.out << host;
    w.out << t::kIdentitySoftware;
    w.out.num((w[8] & 0x78) >> 3) << '.';
    w.out.num(w[8] & 0x07) << t::kIdentitySerial;
    w.out
        .num(F::Value,
             restored(w.m, 11, 9, 1) | restored(w.m, 12, 9, 2) << 8 | restored(w.m, 13, 9, 3) << 16)
        .at(11, 3);
    if (add_on) {
        w.out << t::kIdentityAddOn;
        w.out.num(add_on) << t::kIdentityAddOnMaker;
        w.out.num(w[7]) << t::kIdentitySoftware;
        w.out.num(((w[10] & 0x78) >> 3) | ((w[9] & 1) << 4)) << '.';
        w.out.num(w[10] & 0x07) << t::kIdentitySerial;
        w.out.num(static_cast<long>(restored(w.m, 15, 14, 0)) |
                  static_cast<long>(restored(w.m, 16, 14, 1)) << 8 |
                  static_cast<long>(restored(w.m, 17, 14, 2)) << 16 |
                  static_cast<long>(restored(w.m, 18, 14, 3)) << 24)
            << ')';
    }
    replies(w);
}

// The name of a radio group: eight characters, bit 7 of each in the
// carrier before its four.
std::string radio_group_name(const Message &m) {
    std::string name;
    for (const std::size_t i : {5u, 6u, 7u, 8u})
        name.push_back(static_cast<char>(restored(m, i, 4, static_cast<int>(i) - 5)));
    for (const std::size_t i : {10u, 11u, 12u, 13u})
        name.push_back(static_cast<char>(restored(m, i, 9, static_cast<int>(i) - 10)));
    for (char &c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            c = ' ';
    }
    return name;
}

void radio(Walk &w) {
    const int what = w[2], operation = w[3];
    if (what == 0x0F) { // device identity
        if (operation == 0x10)
            return identity_report(w);
        if (w[4] == 0 && w[5] == 0 && w[6] == 0) {
            w.out << t::kIdentityQuery;
        } else {
            w.out << t::kIdentityQueryType;
            w.out.num(w[5]);
        }
        return;
    }
    if (what == 0x08) { // ping by serial number
        const long serial = restored(w.m, 5, 4, 0) | restored(w.m, 6, 4, 1) << 8 |
                            restored(w.m, 7, 4, 2) << 16 |
                            static_cast<long>(restored(w.m, 8, 4, 3)) << 24;
        w.out << t::kPing;
        w.out.num(F::Value, serial).at(5, 4);
        if (operation == 0x10) {
            w.out << t::kPingAnswer;
            w.out.num(w[12] | (w[9] & 0x04) << 5) << t::kPingRemote;
            w.out.num(w[13] | (w[9] & 0x08) << 4);
            replies(w);
        }
        return;
    }
    if (what == 0x10) { // the noise on a channel
        w.out << t::kNoise;
        w.out.num(F::Value, w[5]).at(5);
        if (operation == 0x10) {
            w.out << t::kNoiseLevel;
            w.out.num(w[6] | (w[4] & 0x02) << 6);
            replies(w);
        } else {
            w.out << t::kQueryEnd;
        }
        return;
    }
    const std::string_view subject = t::find(t::kRadioSubjects, what);
    const std::string_view action = t::find(t::kRadioOperations, operation);
    w.out << t::kRadio;
    if (subject.empty()) {
        w.out << t::kRadioSubject;
        w.out.hex(what);
    } else {
        w.out.word(F::Kind, subject);
    }
    if (action.empty()) {
        w.out << t::kRadioOperationUnknown;
        w.out.hex(operation) << ')';
    } else {
        w.out << ' ' << action;
    }
    if ((operation == 0x08 && what != 0x10) || what == 0x01) {
        replies(w);
        return;
    }
    w.out << ':';
    switch (what) {
    case 0x02:
    case 0x04:
        w.out << ' ';
        w.out.num(F::Value, w[5] | (w[4] & 0x01) << 7).at(5);
        break;
    case 0x03: {
        w.out << " \"";
        w.out.word(F::Data, radio_group_name(w.m)) << '"';
        // the report also carries the password, the channel and the group ID
        if (operation == 0x10) {
            const int b14 = w[14], b15 = w[15], b16 = w[16];
            const int digits[4] = {((b14 & 1) << 3) | ((b15 & 0x70) >> 4), b15 & 0x0F,
                                   ((b14 & 2) << 2) | ((b16 & 0x70) >> 4), b16 & 0x0F};
            std::string password;
            for (const int d : digits)
                password.push_back("0123456789ABCDEF"[d]);
            w.out << t::kRadioPassword << password << t::kRadioChannel;
            w.out.num(w[17] | (b14 & 0x04) << 5) << t::kRadioGroupId;
            w.out.num(w[18] | (b14 & 0x08) << 4);
        }
        break;
    }
    case 0x07: {
        std::string password;
        for (const std::size_t i : {5u, 6u, 7u, 8u}) {
            const int c = w[i];
            password.push_back(c >= 0x3A && c <= 0x3C
                                   ? static_cast<char>('A' + c - 0x3A)
                                   : static_cast<char>(c >= 0x30 && c < 0x3A ? c : '?'));
        }
        w.out << ' ';
        w.out.word(F::Data, password);
        break;
    }
    default:
        w.out << ' ';
        hex_bytes(w.out, w.m, 4, w.length() - 2);
        break;
    }
    replies(w);
}

void transponder_find(Walk &w) {
    const int loco_number = transponder_loco(w[3], w[4]);
    w.out << t::kFind;
    if (w[2] == 0x40) {
        w.out << t::kWhereIs;
        w.out.num(F::Loco, loco_number) << '?';
        return;
    }
    loco(w.out, loco_number);
    const int st = w[5], zs = w[6];
    if (!(st & 0x20)) {
        w.out << t::kIsNowhere;
    } else {
        w.out << t::kIsIn;
        w.out.num(F::Section, (st & 0x1F) * 128 + zs + 1) << t::kDetector;
        w.out.num(F::Board, ((st & 0x1F) << 3 | (zs & 0x70) >> 4) + 1) << t::kZone;
        const char zone = "ABCDEFGH"[(zs & 0x0E) >> 1];
        w.out.word(F::Zone, std::string_view(&zone, 1)) << ')';
    }
    replies(w);
}

void throttle_status(Walk &w) {
    w.out << t::kThrottleStatus;
    const std::string_view state = t::find(t::kThrottleStates, w[2]);
    if (state.empty())
        w.out.hex(w[2]);
    else
        w.out.word(F::State, state);
    w.out << ", " << t::kThrottleId;
    w.out.num(F::Throttle, w[4] * 128 + w[3]);
}

void generic(Walk &w) {
    const PeerData p = peer_data(w.m);
    w.out << t::kPeer;
    w.out.hex(p.src);
    w.out.field(F::Source, p.src);
    w.out << t::kPeerTo;
    w.out.hex(p.dstl) << '/';
    w.out.hex(p.dsth);
    w.out.field(F::Destination, p.dsth * 128 + p.dstl);
    w.out << t::kPeerData;
    data_bytes(w.out, p);
}

void station_specific(Walk &w) {
    w.out << t::kStationOwn << t::kBytes;
    hex_bytes(w.out, w.m, 0, w.length() - 2);
}

} // namespace

bool walk_peer(Walk &w) {
    switch (peer_format(w.m)) {
    case PeerFormat::None: return false;
    case PeerFormat::StationSpecific: station_specific(w); return true;
    case PeerFormat::TransponderFind: transponder_find(w); return true;
    case PeerFormat::ThrottleStatus: throttle_status(w); return true;
    case PeerFormat::ArticleCv: article_cv(w); return true;
    case PeerFormat::Firmware: firmware(w); return true;
    case PeerFormat::ThrottleSymbol: throttle_symbol(w); return true;
    case PeerFormat::ThrottleText: throttle_text(w); return true;
    case PeerFormat::SystemVariable2: system_variable_2(w); return true;
    case PeerFormat::SystemVariable1: system_variable_1(w); return true;
    case PeerFormat::Generic: generic(w); return true;
    case PeerFormat::Radio: radio(w); return true;
    }
    return false;
}

} // namespace bl::loconet
