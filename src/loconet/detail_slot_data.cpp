// Slot data (0xE7) and slot writes (0xEF): locomotive slots, and the slots
// with a meaning of their own: the model clock, the programmer task and its
// final reply, the command station's option switches. Expanded slots and
// tables (0xE6, 0xEE).
#include "loconet/addresses.h"
#include "loconet/detail_out.h"
#include "loconet/opcodes.h"

namespace bl::loconet {

namespace t = texts::detail;
using F = FieldId;

namespace {

constexpr std::size_t kSlotDataLength = 14;

// The locomotive's address. A high part of 0x7F marks a short address given
// as an alias; where status 2 says so, the long address it stands for is in
// the ID bytes.
void slot_loco(Walk &w, int adr, int adr2, int ss2, int id) {
    if (adr2 == 0x7F) {
        loco(w.out, adr);
        w.out.at(4);
        if ((ss2 & 0x0C) == 0x04) {
            w.out << t::kAliasOf;
            w.out.num(F::Loco, id).at(11, 2) << ')';
        } else {
            w.out << t::kShortAlias;
        }
        return;
    }
    const int address = loco_address(adr2, adr);
    loco(w.out, address);
    w.out.at(4, 6);
    if (address == 0)
        w.out << t::kAnalogue;
}

// What the bits of status 2 say: those the protocol names, then the train
// category this program keeps in the others.
void status2(Out &out, int ss2) {
    out << t::kTrainCategory;
    out.num(F::Category, train_category_of(ss2)).at(8);
    for (const auto &bit : t::kStatus2Bits)
        if (ss2 & bit.code)
            out << ", " << bit.text;
}

void loco_slot(Walk &w, bool write) {
    const int slot = w[2], stat1 = w[3], spd = w[5], dirf = w[6], trk = w[7], ss2 = w[8];
    const int id = loco_address(w[12], w[11]);
    w.out << t::kSlot;
    w.out.num(F::Slot, slot).at(2);
    if (write)
        w.out << t::kWriteSlot;
    w.out << ": ";
    slot_loco(w, w[4], w[9], ss2, id);
    w.out << ", ";
    slot_status(w.out, stat1);
    w.out << "; ";
    if (stat1 & 0x40) { // a consist member's speed byte points to its top
        w.out << t::kFollowsTop;
        w.out.num(F::Slot, spd).at(5);
    } else {
        speed(w.out, spd, stat1);
        w.out.at(5);
    }
    w.out << ", ";
    direction(w.out, dirf);
    w.out << "; ";
    f0_to_f4(w.out, dirf);
    w.out << ", ";
    functions(w.out, 5, 4, w[10]);
    w.out << "; ";
    track_status(w.out, trk);
    w.out << "; ";
    status2(w.out, ss2);
    w.out << "; " << t::kThrottleId;
    w.out.num(F::Throttle, id).at(11, 2);
    if (!write)
        name_request(w);
}

// Hours and minutes are sent offset so that they count up to a carry: the
// minute as 67 + m, the hour as 104 + h; values outside are read modulo.
void clock(Walk &w, bool write) {
    const int rate = w[3], minutes_byte = w[6], hours_byte = w[8], days = w[9];
    const int minute = (60 - ((255 - minutes_byte) & 0x7F) % 60) % 60;
    const int hour = (24 - ((256 - hours_byte) & 0x7F) % 24) % 24;
    char time[5] = {static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10), ':',
                    static_cast<char>('0' + minute / 10), static_cast<char>('0' + minute % 10)};
    w.out << (write ? t::kClockWrite : t::kClockReport);
    w.out.word(F::Time, std::string_view(time, 5)).at(6, 3) << t::kClockTime;
    w.out.num(F::Day, days).at(9);
    if (rate == 0) {
        w.out << t::kClockStopped;
        w.out.field(F::Rate, 0);
    } else {
        w.out << t::kClockRate;
        w.out.num(F::Rate, rate).at(3) << ":1";
        if (rate == 1)
            w.out << t::kClockRealTime;
    }
    w.out << ((w[10] & 0x40) ? t::kClockValid : t::kClockInvalid);
    const int id1 = w[11], id2 = w[12];
    if (id1 == 0 && id2 == 0) {
        w.out << t::kClockNeverSet;
    } else if (id1 == 0x7F && id2 >= 0x70) {
        w.out << t::kClockByComputer;
    } else {
        w.out << t::kClockSetBy;
        w.out.num(F::Throttle, loco_address(id2, id1)).at(11, 2);
    }
    w.out << "; ";
    track_status(w.out, w[7]);
    if (!write)
        name_request(w);
}

struct ProgrammerTask {
    int pcmd, cv, value, loco;
    bool write() const { return pcmd & 0x40; }
    bool ops() const { return pcmd & 0x04; }
};

ProgrammerTask programmer_task(const Message &m) {
    const int cvh = m[8];
    return {m[3], (((cvh & 0x30) << 4) | ((cvh & 0x01) << 7) | m[9]) + 1,
            ((cvh & 0x02) << 6) | m[10], loco_address(m[5], m[6])};
}

// "Programmiergleis: CV 29" or "Hauptgleisprogrammierung Lok 4060: CV 300"
void programmer_target(Walk &w, const ProgrammerTask &task) {
    if (task.ops()) {
        w.out << t::kOpsMode;
        w.out.num(F::Loco, task.loco).at(5, 2);
    } else {
        w.out << t::kServiceTrack;
    }
    w.out << ": " << t::kCv;
    w.out.num(F::Cv, task.cv).at(8, 2);
}

// " lesen (Direktmodus Byte)" or " = 200 schreiben (Byte, ohne Rückmeldung)"
void programmer_operation(Out &out, const ProgrammerTask &task) {
    if (task.write()) {
        out << " = ";
        out.num(F::Value, task.value).at(8, 3) << t::kWrite;
    } else {
        out << t::kRead;
    }
    out << " (";
    const std::string_view mode = t::find(t::kProgModes, task.pcmd & 0x3C);
    if (mode.empty()) {
        out << t::kProgModeUnknown;
        out.hex(task.pcmd);
        out.field(F::Mode, task.pcmd);
    } else {
        out.word(F::Mode, mode);
    }
    out.at(3) << ')';
}

void value_with_bits(Out &out, int value) {
    out.num(F::Value, value).at(8, 3) << " (";
    out.hex(value) << ", ";
    for (int bit = 7; bit >= 0; --bit)
        out << static_cast<char>('0' + ((value >> bit) & 1));
    out << ')';
}

void programmer(Walk &w, bool write) {
    const ProgrammerTask task = programmer_task(w.m);
    programmer_target(w, task);
    if (write) {
        programmer_operation(w.out, task);
        return;
    }
    // the final reply: the result, or the first failure (aborted first)
    const int pstat = w[4];
    std::string_view failure;
    for (const auto &status : t::kProgStatus)
        if (failure.empty() && (pstat & status.code))
            failure = status.text;
    if (!failure.empty()) {
        if (task.write()) { // the value that was to be written
            w.out << " = ";
            w.out.num(F::Value, task.value).at(8, 3) << t::kWrite;
        } else {
            w.out << t::kRead;
        }
        w.out << t::kProgFailed;
        w.out.word(F::State, failure).at(4);
    } else {
        w.out << " = ";
        value_with_bits(w.out, task.value);
        if (task.write())
            w.out << t::kWritten;
        w.out << " - ";
        w.out.word(F::State, (pstat & 0xF0) == 0x10 ? t::kProgSuccessByDetector : t::kProgSuccess)
            .at(4);
    }
    name_request(w);
}

// Seven switches a byte, closed where the bit is set; the TRK byte carries
// none, nor can any eighth switch be sent. The closed ones are listed as
// runs, so that the line stays short whatever they are.
void option_switches(Walk &w, bool write) {
    const int base = w[2] == kSlotOptionsHigh ? 64 : 0;
    w.out << (base ? t::kOpswOfStationHigh : t::kOpswOfStation);
    if (write)
        w.out << t::kOpswWrite;
    bool closed[64] = {};
    int byte_number = 0;
    for (std::size_t i = 3; i <= 11; ++i) {
        if (i == 7)
            continue;
        for (int bit = 0; bit < 7; ++bit)
            closed[8 * byte_number + bit] = (w[i] >> bit) & 1;
        ++byte_number;
    }
    bool any = false;
    for (int n = 0; n < 64; ++n) {
        if (!closed[n])
            continue;
        int last = n;
        while (last + 1 < 64 && closed[last + 1])
            ++last;
        w.out << (any ? ", " : t::kOpswClosedList);
        w.out.num(F::Opsw, base + n + 1);
        if (last > n) {
            w.out << (last > n + 1 ? "-" : ", ");
            w.out.num(F::Opsw, base + last + 1);
        }
        any = true;
        n = last;
    }
    w.out << (any ? t::kOpswOthersOpen : t::kOpswAllOpen);
}

// A system slot whose contents no public description gives.
void undescribed_system_slot(Walk &w) {
    w.out << t::kSystemSlotData;
    w.out.num(F::Slot, w[2]).at(2) << t::kUndescribed;
    append_hex_list(w.out, w.m.view(), false);
}

} // namespace

bool walk_slot_data(Walk &w) {
    const int op = w.m.opcode();
    if ((op != kOpcSlRdData && op != kOpcWrSlData) || w.length() != kSlotDataLength)
        return false;
    const bool write = op == kOpcWrSlData;
    switch (w[2]) {
    case kSlotClock: clock(w, write); break;
    case kSlotProgrammer: programmer(w, write); break;
    case kSlotOptions:
    case kSlotOptionsHigh: option_switches(w, write); break;
    case 0x78:
    case 0x79:
    case 0x7A:
    case 0x7D: undescribed_system_slot(w); break;
    default: loco_slot(w, write); break;
    }
    return true;
}

// ---- 0xE6 / 0xEE ----

namespace {

void route_entries(Walk &w) {
    int unused = 0;
    bool first = true;
    for (std::size_t i = 7; i <= 13; i += 2) {
        const int low = w[i], high = w[i + 1];
        if (low == 0x7F && high == 0x7F) {
            ++unused;
            continue;
        }
        w.out << (first ? "" : ", ") << t::kSwitch;
        w.out.num(F::Switch, 1 + low + ((high & 0x0F) << 7))
            << ' ' << ((high & 0x20) ? t::kClosed : t::kThrown);
        first = false;
    }
    if (unused > 0) {
        w.out << (first ? "" : ", ");
        w.out.num(unused) << ' ' << t::kRouteUnused;
    }
}

void table(Walk &w, bool write) {
    const int tab = w[2], task = w[3], block = w[4] + 128 * w[5];
    if ((tab == 1 || tab == 2) && (task == 2 || task == 3)) {
        w.out << t::kRoute;
        w.out.num(F::Kind, 1 + ((block / 2) & 0x7F)) << t::kRouteEntries;
        const int first = 1 + 4 * (w[4] & 1);
        w.out.num(first) << "-";
        w.out.num(first + 3) << (write ? t::kRouteWrite : t::kRouteRead);
        route_entries(w);
        return;
    }
    if (tab == 0 && w[6] == 0x0F) {
        w.out << t::kAlias;
        w.out.num(block) << ": ";
        for (std::size_t pair = 0; pair < 2; ++pair) {
            const std::size_t at = 7 + 4 * pair;
            if (pair > 0)
                w.out << ", ";
            loco(w.out, w[at] + 128 * w[at + 1]);
            w.out << " = " << t::kLoco;
            w.out.num(w[at + 2]);
        }
        return;
    }
    w.out << t::kTable;
    w.out.num(tab) << t::kBlock;
    w.out.num(block) << t::kTask;
    w.out.hex(task);
}

void status_slot(Walk &w, int slot) {
    w.out << t::kStatusSlot;
    w.out.num(F::Slot, slot) << ": ";
    switch (slot) {
    case 248:
        w.out << t::kIdentityType.substr(2);
        w.out.num(w[14]) << t::kIdentitySerial;
        w.out.num((w[19] & 0x3F) * 128 + w[18]) << t::kIdentitySoftware;
        w.out.num((w[16] & 0x78) >> 3) << '.';
        w.out.num(w[16] & 0x07);
        break;
    case 249: {
        const auto tenths = [&w](int raw, int scale) {
            w.out.num(raw * scale / 10) << ',';
            w.out.num(raw * scale % 10);
        };
        w.out << "Gleis ";
        tenths(w[4], 2);
        w.out << " V, Eingang ";
        tenths(w[5], 2);
        w.out << " V, ";
        tenths(w[6], 1);
        w.out << " A (Grenze ";
        tenths(w[7], 1);
        w.out << " A)";
        break;
    }
    case 250:
        w.out << "in Benutzung ";
        w.out.num(w[4] + (w[5] & 3) * 128) << ", ruhend ";
        w.out.num(w[6] + (w[7] & 3) * 128) << ", frei ";
        w.out.num(w[8] + (w[9] & 3) * 128);
        break;
    default:
        w.out << "Meldungen ";
        w.out.num(w[4] + w[5] * 128) << ", Fehler ";
        w.out.num(w[6] + w[7] * 128);
        break;
    }
}

void expanded_slot(Walk &w, bool write) {
    const int slot = (w[2] & 0x07) * 128 + w[3];
    if (slot >= 248 && slot <= 251)
        return status_slot(w, slot);
    w.out << t::kSlot;
    w.out.num(F::Slot, slot) << t::kExpanded;
    if (write)
        w.out << t::kWriteSlot;
    w.out << ": ";
    loco(w.out, loco_address(w[6], w[5]));
    w.out << ", ";
    slot_status(w.out, w[4]);
    w.out << "; ";
    speed(w.out, w[8], w[4]);
    w.out << ", ";
    direction(w.out, w[10]);
    w.out << "; ";
    f0_to_f4(w.out, w[10]);
    w.out << ", ";
    functions(w.out, 5, 7, w[11]);
    function(w.out, 12, w[9] & 0x10);
    w.out << ", ";
    functions(w.out, 13, 7, w[12]);
    function(w.out, 20, w[9] & 0x20);
    w.out << ", ";
    functions(w.out, 21, 7, w[13]);
    function(w.out, 28, w[9] & 0x40);
    w.out << "; ";
    track_status(w.out, w[7], 0x30);
    w.out << "; " << t::kThrottleId;
    w.out.num(F::Throttle, loco_address(w[19], w[18])).at(18, 2);
    if (!write)
        name_request(w);
}

} // namespace

bool walk_expanded(Walk &w) {
    const int op = w.m.opcode();
    if (op != kOpcExpRdData && op != kOpcExpWrData)
        return false;
    const bool write = op == kOpcExpWrData;
    if (w[1] == 0x10 && w.length() == 0x10)
        table(w, write);
    else if (w[1] == 0x15 && w.length() == 0x15)
        expanded_slot(w, write);
    else
        return false;
    return true;
}

} // namespace bl::loconet
