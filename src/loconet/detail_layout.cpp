// The layout: switch requests and reports, sensors, long acknowledgements,
// multi-sense reports (transponders, power managers, option switches of
// devices), receivers, train identification and security elements.
#include "loconet/addresses.h"
#include "loconet/detail_out.h"
#include "loconet/opcodes.h"
#include "loconet/peer_formats.h"

namespace bl::loconet {

namespace t = texts::detail;
using F = FieldId;

namespace {

constexpr std::string_view kZones = "ABCDEFGH";

void switch_number(Walk &w, int b1, int b2) {
    w.out << t::kSwitch;
    w.out.num(F::Switch, switch_address(b1, b2)).at(1, 2);
}

// The two special addresses of a switch request: a broadcast to all
// accessory decoders, and the interrogation of their reports.
bool special_switch_request(Walk &w) {
    const int sw1 = w[1], sw2 = w[2];
    if ((sw1 & 0x7C) != 0x78)
        return false;
    const int c = (sw1 >> 1) & 1, b = sw1 & 1, a = (sw2 >> 5) & 1;
    if ((sw2 & 0x0F) == 0x0F) {
        w.out << t::kBroadcast;
        w.out.num(a * 4 + c * 2 + b) << ((sw2 & 0x10) ? t::kActive : t::kInactive);
        return true;
    }
    if ((sw2 & 0x1F) == 0x17) {
        w.out << t::kInterrogate;
        w.out.num(a) << '/';
        w.out.num(c) << '/';
        w.out.num(b) << ')';
        return true;
    }
    return false;
}

void sensor(Walk &w) {
    const int in1 = w[1], in2 = w[2];
    const int n = sensor_number(in1, in2);
    w.out << t::kSensor;
    w.out.num(F::Sensor, n).at(1, 2) << ": ";
    w.out.word(F::State, (in2 & 0x10) ? t::kOccupied : t::kFree).at(2) << t::kDetector;
    w.out.num(F::Board, (n - 1) / 16 + 1) << t::kInput;
    w.out.num((n - 1) % 16 + 1) << ')';
    if (!(in2 & 0x40))
        w.out << t::kReservedX;
}

void switch_report(Walk &w) {
    const int sn2 = w[2];
    w.out << t::kSwitchReport;
    w.out.num(F::Switch, switch_address(w[1], sn2)).at(1, 2);
    if (sn2 & 0x40) {
        w.out << ((sn2 & 0x20) ? t::kInputSwitch : t::kInputAux);
        w.out.word(F::State, (sn2 & 0x10) ? t::kHigh : t::kLow).at(2);
        // the switch input low is the thrown position (its input pulled low)
        if (sn2 & 0x20)
            w.out << ((sn2 & 0x10) ? t::kReportsClosed : t::kReportsThrown);
    } else {
        w.out << t::kOutputClosed << ((sn2 & 0x20) ? t::kActiveWord : t::kInactiveWord)
              << t::kOutputThrown << ((sn2 & 0x10) ? t::kActiveWord : t::kInactiveWord);
        w.out.field(F::State, sn2 & 0x30);
    }
}

// The meaning of the code, by the request answered (where it was seen).
std::string_view ack_meaning(int lopc, int ack, const Message *request) {
    if (lopc == 0x6D) {
        const PeerFormat asked = request ? peer_format(*request) : PeerFormat::None;
        if (asked == PeerFormat::ArticleCv)
            return t::find(t::kArticleAckMeanings, ack);
        if (asked == PeerFormat::StationSpecific && ack == 1)
            return t::kStationCommandAccepted;
        if (!request && ack == 1) // a CV refused, or a command station's own command taken
            return t::kAmbiguousAck;
        if (!request && (ack == 2 || ack == 3))
            return t::find(t::kArticleAckMeanings, ack);
    }
    if (lopc == 0x3C)
        return (ack & 0x20) ? t::kSwitchStateClosed : t::kSwitchStateThrown;
    if (lopc == 0x50 || (lopc == 0x00 && request && request->opcode() == kOpcMultiSense)) {
        // a write is acknowledged with 0x7F; a read answers with the value
        const bool read = request ? !((*request)[1] & 0x10) : ack != 0x7F;
        if (!read)
            return t::kOpswWritten;
        return (ack & 0x20) ? t::kOpswReadClosed : t::kOpswReadThrown;
    }
    return t::find(t::kAckMeanings, (lopc << 8) | ack);
}

void acknowledgement(Walk &w) {
    int lopc = w[1];
    // the old document's spellings of three of them
    if (lopc == 0x7F || lopc == 0x7D || lopc == 0x7E)
        lopc -= 0x10;
    const Message *request = w.request();
    w.out << t::kAck;
    const std::string_view what = t::find(t::kAckRequests, lopc);
    if (what.empty())
        w.out.hex(acknowledged_opcode(w[1]));
    else
        w.out.word(F::Request, what);
    w.out.at(1);
    if (lopc == 0x6E) {
        w.out << ": " << t::kLimitedMaster;
        w.out.num(F::Answer, w[2]).at(2);
    } else {
        const std::string_view meaning = ack_meaning(lopc, w[2], request);
        w.out << ": ";
        if (meaning.empty()) {
            w.out << t::kAckCode.substr(2);
            w.out.hex(w[2]);
            w.out.field(F::Answer, w[2]);
        } else {
            w.out << meaning;
            w.out.field(F::Answer, w[2], meaning);
            if (lopc == 0x3C || lopc == 0x50) {
                w.out << " (";
                w.out.hex(w[2]) << ')';
            }
        }
        w.out.at(2);
    }
    name_request(w);
}

// ---- 0xD0 ----

void transponder(Walk &w) {
    const int b1 = w[1], b2 = w[2];
    const int report = ((b1 & 0x1F) << 7 | b2) + 1;
    const bool present = (b1 & 0x60) == 0x20;
    w.out << t::kTransponder;
    w.out.num(F::Loco, transponder_loco(w[3], w[4]));
    w.out << (present ? t::kEntered : t::kLeft);
    w.out.num(F::Section, report);
    if (!present)
        w.out << t::kLeftEnd;
    const int board8 = ((report - 1) >> 3) + 1, section8 = ((report - 1) & 7) + 1;
    if (b2 & 0x01) { // not the 16-section type
        w.out << t::kDetector;
        w.out.num(F::Board, board8) << t::kSectionWord;
        w.out.num(section8) << ')';
        return;
    }
    const char zone = kZones[static_cast<std::size_t>((b2 & 0x0E) >> 1)];
    w.out << t::kDetector;
    w.out.num(F::Board, ((report - 1) >> 4) + 1) << t::kZone;
    w.out.word(F::Zone, std::string_view(&zone, 1)) << t::kOrEightSection;
    w.out.num(board8) << t::kSectionWord;
    w.out.num(section8) << ')';
}

void decoder_data(Walk &w) {
    const int index = (w[1] & 0x1E) >> 1, value = w[2] | ((w[1] & 0x01) << 7);
    loco(w.out, transponder_loco(w[3], w[4]));
    w.out << t::kReports;
    const std::string_view name = t::find(t::kDynamicVariables, index);
    if (name.empty()) {
        w.out << t::kDynamicVariable;
        w.out.num(index);
    } else {
        w.out << name;
    }
    w.out << ' ';
    w.out.num(F::Value, value);
}

void power_manager(Walk &w) {
    const int b3 = w[3], b4 = w[4];
    const int board = w[2] + 1 + ((w[1] & 0x01) << 7);
    switch (b3 & 0xF0) {
    case 0x10:
    case 0x30:
        w.out << t::kPowerManager;
        w.out.num(F::Board, board) << ": ";
        for (int n = 0; n < 4; ++n) {
            const int mask = 1 << n;
            const bool reverser = b3 & mask, set = b4 & mask;
            w.out << (n ? "; " : "") << t::kSectionNo;
            w.out.num(n + 1) << (reverser ? t::kAutoReverse : t::kBreaker)
                             << (reverser ? (set ? t::kReversed : t::kNormal)
                                          : (set ? t::kShort : t::kNoShort));
        }
        break;
    case 0x20: {
        w.out << t::kBoosterUnit;
        w.out.num(F::Board, board);
        const int shorted = (b4 & 0x0F) | ((b3 & 0x0F) << 4);
        if (shorted == 0) {
            w.out << t::kNoShortAnywhere;
            break;
        }
        bool first = true;
        for (int n = 0; n < 8; ++n)
            if (shorted & (1 << n)) {
                w.out << (first ? t::kShortIn : ", ");
                w.out.num(n + 1);
                first = false;
            }
        break;
    }
    default: { // 0x40, 0x50: a single auto-reverse or breaker unit
        w.out << t::kReverserUnit;
        w.out.num(F::Board, (w[2] << 3) + (b3 & 0x07) + 1);
        if (b3 & 0x10)
            w.out << ((b3 & 0x08) ? t::kReverserReversed : t::kReverserNormal);
        else
            w.out << ((b3 & 0x08) ? t::kBreakerShort : t::kBreakerOk);
        break;
    }
    }
}

void device_kind(Walk &w, int type) {
    const std::string_view name = t::find(t::kDeviceTypes, type);
    if (name.empty()) {
        w.out << t::kDevice << " (Typ ";
        w.out.num(type) << ')';
    } else {
        w.out.word(F::Kind, name);
    }
}

bool multi_sense(Walk &w) {
    const int b1 = w[1], b3 = w[3];
    switch (b1 & 0x60) {
    case 0x00:
    case 0x20: transponder(w); return true;
    case 0x40: decoder_data(w); return true;
    default: break;
    }
    const int board = ((b1 & 0x01) << 7 | w[2]) + 1;
    switch (b3 & 0xF0) {
    case 0x10:
    case 0x20:
    case 0x30:
    case 0x40:
    case 0x50: power_manager(w); return true;
    case 0x70: {
        device_kind(w, b3 & 0x07);
        w.out << ' ';
        w.out.num(F::Board, board) << t::kOpswSet;
        w.out.num(F::Opsw, ((w[4] & 0x7E) >> 1) + 1);
        if (b1 & 0x10) {
            w.out << t::kOpswSetTo << ((w[4] & 1) ? t::kOpswClosed : t::kOpswThrown) << " (";
            w.out.num(F::Value, w[4] & 1) << ')' << t::kOpswSetEnd;
        } else {
            w.out << t::kQueryEnd;
        }
        return true;
    }
    case 0x00:
        w.out << t::kDeviceReport;
        device_kind(w, b3 & 0x07);
        w.out << t::kDeviceAddress;
        w.out.num(F::Board, board) << t::kDeviceVersion;
        w.out.num(w[4]) << t::kPresent;
        return true;
    default: return false;
    }
}

// ---- train identification, security elements, long transponder ----

void train_identification(Walk &w) {
    const int b2 = w[2], b3 = w[3];
    const int unit = (b3 & 0x1F) * 128 + w[4], value = loco_address(w[5], w[6]);
    w.out << t::kTrainId;
    w.out.num(F::Receiver, unit);
    if ((b3 & 0xE0) == 0x20) { // a speed or status report, as the written line reads it
        if (b2 == 0) {
            w.out << t::kTrainIdSpeed;
            w.out.num(F::Speed, value) << t::kKmh;
        } else if (w[5] == 0 && b2 == 1 && w[6] <= 3) {
            const std::string_view states[] = {t::kTrainIdPoll, t::kTrainIdStatus,
                                               t::kTrainIdBlockFree, t::kTrainIdBlockOccupied};
            w.out << states[w[6]];
            if (w[6] == 1)
                w.out.num(1);
        } else {
            w.out << t::kTrainIdStatus;
            w.out.num(F::Kind, b2) << ", ";
            w.out.num(F::Value, value);
        }
        return;
    }
    w.out << ": ";
    loco(w.out, value);
    w.out << t::kCategoryOpen;
    w.out.num(F::Category, (b2 & 0x03) + 1) << ')';
    if (b3 & 0x40)
        w.out << ((b3 & 0x20) ? t::kS2ToS1 : t::kS1ToS2);
}

void security_element(Walk &w) {
    w.out << t::kSecurityElement;
    w.out.num(F::Kind, w[2] * 128 + w[3] + 1) << ": AX=";
    w.out.num(w[7]) << ", XA=";
    w.out.num(w[8]) << ", ";
    w.out << t::find(t::kReservations, w[5] & 0x30) << "; " << t::kSwitch.substr(0, 6) << ' '
          << ((w[6] & 0x01) ? t::kThrown : t::kClosed) << "; "
          << ((w[5] & 0x01) ? t::kOccupied : t::kFree);
}

void long_transponder(Walk &w) {
    const int b2 = w[2];
    const int section = ((b2 & 0x1F) << 7 | w[3]) + 1;
    const int state = (b2 & 0x60) >> 5;
    w.out << t::kTransponder;
    w.out.num(F::Loco, transponder_loco(w[4], w[5]));
    w.out << (state == 0 ? t::kLeft : t::kEntered);
    w.out.num(F::Section, section);
    if (state == 0)
        w.out << t::kLeftEnd;
    w.out << t::kDirectionFlag;
    w.out.num(F::Direction, (w[6] >> 6) & 1);
    if (state == 2) {
        w.out << ", " << t::kDynamicVariable;
        w.out.num((w[6] & 0x3E) >> 1) << " = ";
        w.out.num(F::Value, w[7] | ((w[6] & 1) << 7));
    }
}

} // namespace

bool walk_switches(Walk &w) {
    switch (w.m.opcode()) {
    case kOpcSwReq:
    case kOpcSwAck:
        if (w.m.opcode() == kOpcSwReq && special_switch_request(w))
            return true;
        switch_number(w, w[1], w[2]);
        w.out << ": ";
        switch_position(w.out, w[2] & 0x20, w[2] & 0x10);
        if (w.m.opcode() == kOpcSwAck)
            w.out << t::kWithAck;
        reserved_bits(w.out, w[2], 0x40);
        return true;
    case kOpcSwState:
        w.out << t::kSwitchQuery;
        w.out.num(F::Switch, switch_address(w[1], w[2])).at(1, 2) << t::kQueryEnd;
        reserved_bits(w.out, w[2], 0x40);
        return true;
    case kOpcSwRep: switch_report(w); return true;
    case kOpcInputRep: sensor(w); return true;
    default: return false;
    }
}

bool walk_acknowledgement(Walk &w) {
    if (w.m.opcode() != kOpcLongAck)
        return false;
    acknowledgement(w);
    return true;
}

bool walk_multi_sense(Walk &w) { return w.m.opcode() == kOpcMultiSense && multi_sense(w); }

bool walk_identification(Walk &w) {
    switch (w.m.opcode()) {
    case kOpcInterfaceMode: {
        if (w[1] != 0x10 || (w[2] & 0x7C) != 0)
            return false;
        w.out << t::kInterfaceMode;
        w.out.word(F::Mode, t::find(t::kInterfaceModes, w[2] & 0x03));
        return true;
    }
    case kOpcReceiverQuery:
        if (w[1] == 0x00) {
            w.out << t::kReceiverQuery;
            return true;
        }
        if (w[1] == 0x40 && w[2] == 0x1F) {
            w.out << t::kReceiverSetId;
            w.out.num(F::Receiver, w[3]) << t::kSetEnd;
            return true;
        }
        return false;
    case kOpcReceiverReport: {
        const std::string_view type = t::find(t::kReceiverTypes, w[1]);
        if (type.empty()) {
            w.out << t::kSomeReceiver;
            w.out.hex(w[1]) << ')';
        } else {
            w.out.word(F::Kind, type);
        }
        w.out << t::kReceiverReport;
        w.out.num(F::Receiver, w[3] & 0x07).at(3);
        name_request(w);
        return true;
    }
    case kOpcLongTransponder:
        if (w[1] != 0x09 || w.length() != 9)
            return false;
        long_transponder(w);
        return true;
    case kOpcTrainIdReport:
        if (w[1] == 0x08 && w.length() == 8) {
            train_identification(w);
            return true;
        }
        if (w[1] == 0x0A && w.length() == 10) {
            security_element(w);
            return true;
        }
        return false;
    default: return false;
    }
}

} // namespace bl::loconet
