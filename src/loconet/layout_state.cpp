#include "loconet/layout_state.h"

#include "loconet/addresses.h"
#include "loconet/opcodes.h"
#include "loconet/peer_formats.h"

#include <algorithm>

namespace bl::loconet {

namespace {

constexpr std::size_t kSlotDataLength = 14;
constexpr std::size_t kExpandedSlotLength = 0x15;
constexpr int kFirstStatusSlot = 248; // expanded status slots, no locos

Activity activity_of(int stat1) {
    switch (stat1 & 0x30) {
    case 0x30: return Activity::InUse;
    case 0x20: return Activity::Idle;
    case 0x10: return Activity::Common;
    default: return Activity::Free;
    }
}

// The loco a slot's data gives: a high part of 0x7F is a short alias, whose
// long address the ID bytes hold where status 2 says so.
int slot_data_loco(const Message &m) {
    if (m[9] == 0x7F)
        return (m[8] & 0x0C) == 0x04 ? loco_address(m[12], m[11]) : m[4];
    return loco_address(m[9], m[4]);
}

bool same_slot(const SlotState &a, const SlotState &b) {
    return a.loco == b.loco && a.activity == b.activity && a.stat1 == b.stat1 &&
           a.speed == b.speed && a.direction == b.direction && a.functions == b.functions &&
           a.consist_top == b.consist_top && a.throttle == b.throttle;
}

// what a loco takes from its slot
bool same_for_loco(const SlotState &a, const SlotState &b) {
    return a.loco == b.loco && a.speed == b.speed && a.direction == b.direction &&
           a.functions == b.functions;
}

bool same_loco(const LocoState &a, const LocoState &b) {
    return a.slot == b.slot && a.speed == b.speed && a.direction == b.direction &&
           a.functions == b.functions && a.section == b.section && a.zone == b.zone &&
           a.present == b.present;
}

} // namespace

int SensorState::changes_within(std::int64_t now_us, std::int64_t window_us) const {
    // 0: changes without a time, which lie in no window
    if (changes == 0 || changed_us == 0 || now_us == 0)
        return 0;
    const std::int64_t window_ms = window_us / 1000;
    std::int64_t age_ms = now_us / 1000 - changed_us / 1000;
    if (age_ms > window_ms)
        return 0;
    // back from the newest: each gap makes the one before older still
    const std::size_t earlier = std::min<std::uint64_t>(changes - 1, gaps_ms.size());
    std::size_t at = newest_gap;
    int n = 1;
    for (std::size_t k = 0; k < earlier; ++k) {
        if (gaps_ms[at] == kLongAgo)
            break;
        age_ms += gaps_ms[at];
        if (age_ms > window_ms)
            break;
        ++n;
        at = at == 0 ? gaps_ms.size() - 1 : at - 1;
    }
    return n;
}

void SensorState::add_change(std::int64_t now_us) {
    // the time since the last change, in whole milliseconds of each (a
    // change without a time puts those before it out of every window)
    const std::int64_t gap =
        changes == 0 || changed_us == 0 || now_us == 0
            ? kLongAgo
            : std::clamp<std::int64_t>(now_us / 1000 - changed_us / 1000, 0, kLongAgo);
    newest_gap = static_cast<std::uint8_t>((newest_gap + 1) % gaps_ms.size());
    gaps_ms[newest_gap] = static_cast<std::uint16_t>(gap);
    changed_us = now_us;
    ++changes;
}

std::vector<int> LayoutState::slots_holding(int address) const {
    std::vector<int> held;
    for (const SlotState &s : slots_)
        if (s.loco == address && s.activity != Activity::Free)
            held.push_back(s.slot);
    std::sort(held.begin(), held.end());
    return held;
}

// The slot or loco of a message, mostly one the state has: that path is
// inlined into every rule, the first message about one is not.
SlotState &LayoutState::slot(int n) {
    SlotState *s = slots_.find(n);
    if (!s) [[unlikely]]
        s = &new_slot(n);
    s->seen_us = now_us_;
    s->seen_at = applied_;
    return *s;
}

SlotState &LayoutState::new_slot(int n) {
    bool added = false;
    SlotState *s = slots_.get(n, added);
    if (!s)
        s = &(spare_slot_ = SlotState{});
    s->slot = n;
    return *s;
}

LocoState &LayoutState::loco(int address) {
    LocoState *l = locos_.find(address);
    if (!l) [[unlikely]]
        l = &new_loco(address);
    l->seen_us = now_us_;
    return *l;
}

LocoState &LayoutState::new_loco(int address) {
    bool added = false;
    LocoState *l = locos_.get(address, added);
    if (!l)
        l = &(spare_loco_ = LocoState{});
    l->address = address;
    return *l;
}

void LayoutState::changed(SlotState &s) {
    s.changed_us = now_us_;
    s.changed_nr = nr_;
}

void LayoutState::changed(LocoState &l) {
    l.changed_us = now_us_;
    l.changed_nr = nr_;
}

void LayoutState::own_change(LocoState &l) {
    changed(l);
    if (SlotState *s = slots_.find(l.slot); s && s->loco == l.address)
        s->tell_loco_next = true;
}

const Numbered<LocoState> &LayoutState::locos() const {
    for (LocoState &l : locos_)
        tell(l);
    return locos_;
}

// What the slot a loco was last taken into said since the loco last heard
// of it, where the slot still holds it: as if each message about the slot
// had been told to the loco as it came.
void LayoutState::tell(LocoState &l) const {
    const SlotState *s = slots_.find(l.slot);
    if (!s || s->loco != l.address || s->seen_at <= l.told_at)
        return;
    // a change of the slot is a change of the loco, also where a later one
    // set it back; the slot's next message after a change of the loco by
    // itself has set the loco to what the slot says already
    const bool slot_changed = s->loco_changed_at > l.told_at;
    l.told_at = s->seen_at;
    l.seen_us = std::max(l.seen_us, s->seen_us);
    if (!slot_changed)
        return;
    l.speed = s->speed >= 0 ? s->speed : l.speed;
    l.direction = s->direction;
    l.functions = s->functions;
    l.changed_us = s->loco_changed_us;
    l.changed_nr = s->loco_changed_nr;
}

// A loco about to change by a message about itself: up to date first.
LocoState &LayoutState::told_loco(int address) {
    LocoState &l = loco(address);
    tell(l);
    return l;
}

// Slot n is about to take a loco's address (its own again, or another's):
// the loco it held and the one it takes hear first what was said before.
void LayoutState::before_taking(int n, int address) {
    const SlotState *s = slots_.find(n);
    const int held = s ? s->loco : -1;
    if (held >= 0)
        if (LocoState *l = locos_.find(held))
            tell(*l);
    if (address >= 0 && address != held)
        if (LocoState *l = locos_.find(address))
            tell(*l);
}

// A slot took a loco: the loco is in this slot now and holds what it says.
void LayoutState::take(const SlotState &s) {
    if (!locos_kept_)
        return;
    LocoState &l = loco(s.loco);
    l.told_at = applied_;
    const int speed = s.speed >= 0 ? s.speed : l.speed;
    if (l.slot == s.slot && l.speed == speed && l.direction == s.direction &&
        l.functions == s.functions)
        return;
    l.slot = s.slot;
    l.speed = speed;
    l.direction = s.direction;
    l.functions = s.functions;
    changed(l);
}

// A slot took a loco: where another slot holds it too, both tell it with
// each message while they share it.
void LayoutState::taken(SlotState &s) {
    if (!locos_kept_)
        return;
    if (const LocoState *l = locos_.find(s.loco); l && l->slot != s.slot)
        if (SlotState *other = slots_.find(l->slot); other && other->loco == s.loco)
            other->loco_shared = s.loco_shared = true;
    take(s);
}

// A slot that shared its loco holds it no more: the slots still holding it
// tell it with their next message, and share it still where more than one.
void LayoutState::unshare(int address) {
    int holders = 0;
    for (const SlotState &s : slots_)
        holders += s.loco == address;
    for (SlotState &s : slots_)
        if (s.loco == address) {
            s.loco_shared = holders > 1;
            s.tell_loco_next = true;
        }
}

// Applies what a slot now holds to the loco it holds too.
void LayoutState::slot_data(const Message &m, int n, int address, int stat1, int speed, int dirf,
                            int throttle) {
    before_taking(n, address);
    SlotState &s = slot(n);
    const SlotState before = s;
    s.loco = address;
    s.stat1 = stat1;
    s.activity = activity_of(stat1);
    // a consist member's speed byte points to its top
    s.consist_top = (stat1 & 0x40) ? speed : -1;
    if (!(stat1 & 0x40))
        s.speed = static_cast<std::int16_t>(speed);
    s.direction = (dirf & 0x20) ? 1 : 0;
    s.functions.set(0, dirf & 0x10);
    s.functions.set_range(1, 4, static_cast<unsigned>(dirf));
    if (m.opcode() == kOpcSlRdData || m.opcode() == kOpcWrSlData)
        s.functions.set_range(5, 4, static_cast<unsigned>(m[10]));
    else
        expanded_functions(s, m);
    s.throttle = throttle;
    if (before.loco != address && before.loco_shared) {
        s.loco_shared = false;
        unshare(before.loco);
    }
    settle(s, !same_slot(before, s), !same_for_loco(before, s));
    if (address >= 0)
        taken(s);
}

// The functions an expanded slot (0xE6/0xEE) carries beyond F0..F4.
void LayoutState::expanded_functions(SlotState &s, const Message &m) {
    s.functions.set_range(5, 7, static_cast<unsigned>(m[11]));
    s.functions.set_range(13, 7, static_cast<unsigned>(m[12]));
    s.functions.set_range(21, 7, static_cast<unsigned>(m[13]));
    s.functions.set(12, m[9] & 0x10);
    s.functions.set(20, m[9] & 0x20);
    s.functions.set(28, m[9] & 0x40);
}

// A change to a slot; the time of a change is kept only where something
// changed.
template <typename Change> void LayoutState::change_slot(int n, Change change) {
    SlotState &s = slot(n);
    const SlotState before = s;
    change(s);
    settle(s, !same_slot(before, s), !same_for_loco(before, s));
}

// Speed, direction and functions come in most messages of a busy bus: they
// are compared by themselves instead of the whole slot.
void LayoutState::slot_speed(int n, int speed) {
    SlotState &s = slot(n);
    const auto value = static_cast<std::int16_t>(speed);
    const bool change = s.speed != value;
    s.speed = value;
    settle(s, change, change);
}

void LayoutState::slot_dirf(int n, int dirf, bool with_direction) {
    SlotState &s = slot(n);
    const auto direction =
        static_cast<std::int8_t>(with_direction ? ((dirf & 0x20) ? 1 : 0) : s.direction);
    Functions f = s.functions;
    f.set(0, dirf & 0x10);
    f.set_range(1, 4, static_cast<unsigned>(dirf));
    const bool change = direction != s.direction || !(f == s.functions);
    s.direction = direction;
    s.functions = f;
    settle(s, change, change);
}

void LayoutState::slot_functions(int n, int first, int count, int value, int bit) {
    SlotState &s = slot(n);
    const Functions was = s.functions;
    s.functions.set_range(first, count, static_cast<unsigned>(value) >> bit);
    const bool change = !(was == s.functions);
    settle(s, change, change);
}

// The loco a slot holds is told of a change when the locos are read.
void LayoutState::settle(SlotState &s, bool change, bool loco_change) {
    if (change)
        changed(s);
    if (loco_change) {
        s.loco_changed_at = applied_;
        s.loco_changed_us = now_us_;
        s.loco_changed_nr = nr_;
    }
    if (s.tell_loco_next || s.loco_shared) [[unlikely]] {
        s.tell_loco_next = false;
        if (s.loco >= 0)
            take(s);
    }
}

void LayoutState::set_activity(int n, int stat1) {
    change_slot(n, [stat1](SlotState &s) {
        s.stat1 = stat1;
        s.activity = activity_of(stat1);
    });
}

// 0xBA: a null move takes the slot into use; a move takes the data along
// and frees the source; a dispatch puts or gets.
void LayoutState::move(int from, int to) {
    if (from == 0)
        return; // a dispatch get: the answer's slot data tells what it got
    if (to == 0 || to == from) {
        change_slot(from, [](SlotState &s) {
            s.stat1 = (s.stat1 < 0 ? 0 : s.stat1) | 0x30;
            s.activity = Activity::InUse;
        });
        return;
    }
    if (const SlotState *source = slots_.find(from))
        before_taking(to, source->loco);
    const SlotState *target = slots_.find(to);
    const int replaced = target && target->loco_shared ? target->loco : -1;
    const SlotState moved = slot(from);
    change_slot(to, [&moved](SlotState &s) {
        const int number = s.slot;
        s = moved;
        s.slot = number;
    });
    change_slot(from, [](SlotState &s) {
        s.activity = Activity::Free;
        s.stat1 = s.stat1 < 0 ? 0 : s.stat1 & ~0x30;
        s.loco = -1;
        s.loco_shared = false;
    });
    if (replaced >= 0 && replaced != moved.loco)
        unshare(replaced);
    if (moved.loco >= 0) {
        if (moved.loco_shared)
            unshare(moved.loco);
        taken(slot(to));
    }
}

void LayoutState::set_power(Power p) {
    if (power_ != p)
        power_changed_us_ = now_us_;
    power_ = p;
}

// The track status byte of slot data: power, emergency stop, programming.
void LayoutState::track(int trk) {
    set_power(!(trk & 0x01) ? Power::Off : !(trk & 0x02) ? Power::EmergencyStop : Power::On);
    programming_busy_ = (trk & 0x08) ? 1 : 0;
}

void LayoutState::clock_data(const Message &m) {
    clock_.known = true;
    clock_.rate = m[3];
    clock_.minute = (60 - ((255 - m[6]) & 0x7F) % 60) % 60;
    clock_.hour = (24 - ((256 - m[8]) & 0x7F) % 24) % 24;
    clock_.day = m[9];
    clock_.valid = (m[10] & 0x40) != 0;
    clock_.at_us = now_us_;
}

void LayoutState::command_switch(int number, Position p, bool on) {
    bool added = false;
    SwitchState *found = switches_.get(number, added);
    SwitchState &s = found ? *found : (spare_switch_ = SwitchState{});
    s.number = number;
    // a command is its pulse switched on; one sent only as "off" counts too
    const bool command = on || s.commanded != p;
    if (s.commanded != p || added) {
        s.changed_us = now_us_;
        s.changed_nr = nr_;
    }
    s.commanded = p;
    s.commanded_us = now_us_;
    if (command)
        ++s.commands;
}

void LayoutState::report_switch(int number, Position p, ReportSource source) {
    bool added = false;
    SwitchState *found = switches_.get(number, added);
    SwitchState &s = found ? *found : (spare_switch_ = SwitchState{});
    s.number = number;
    if (s.reported != p || added) {
        s.changed_us = now_us_;
        s.changed_nr = nr_;
    }
    s.reported = p;
    s.source = source;
    s.reported_us = now_us_;
}

void LayoutState::sensor(int number, bool occupied) {
    bool added = false;
    SensorState *found = sensors_.get(number, added);
    SensorState &s = found ? *found : (spare_sensor_ = SensorState{});
    s.number = static_cast<std::uint16_t>(number);
    if (!added && s.occupied == occupied)
        return;
    s.occupied = occupied;
    s.changed_nr = nr_;
    s.add_change(now_us_);
}

void LayoutState::transponder(int address, int section_number, char zone, bool present) {
    LocoState &l = told_loco(address);
    const LocoState was = l;
    l.section = section_number;
    l.zone = zone;
    l.present = present;
    if (!same_loco(was, l))
        own_change(l);
}

void LayoutState::section(int key, int board, int number, SectionState::Kind kind, bool tripped) {
    bool added = false;
    SectionState *found = sections_.get(key, added);
    SectionState &s = found ? *found : (spare_section_ = SectionState{});
    if (added || s.tripped != tripped || s.kind != kind) {
        s.changed_us = now_us_;
        s.changed_nr = nr_;
    }
    s.board = board;
    s.section = number;
    s.kind = kind;
    s.tripped = tripped;
}

void LayoutState::multi_sense(const Message &m) {
    const int b1 = m[1], b2 = m[2], b3 = m[3], b4 = m[4];
    switch (b1 & 0x60) {
    case 0x00:
    case 0x20: {
        const int report = ((b1 & 0x1F) << 7 | b2) + 1;
        const char zone = (b2 & 0x01) ? 0 : "ABCDEFGH"[(b2 & 0x0E) >> 1];
        transponder(transponder_loco(b3, b4), report, zone, (b1 & 0x60) == 0x20);
        return;
    }
    case 0x40: return; // a decoder's own report
    default: break;
    }
    using K = SectionState::Kind;
    switch (b3 & 0xF0) {
    case 0x10:
    case 0x30: {
        const int board = b2 + 1 + ((b1 & 0x01) << 7);
        for (int n = 0; n < 4; ++n)
            section(board * 16 + n, board, n + 1, (b3 & (1 << n)) ? K::Reverser : K::Breaker,
                    b4 & (1 << n));
        return;
    }
    case 0x20: {
        const int board = b2 + 1 + ((b1 & 0x01) << 7);
        const int shorted = (b4 & 0x0F) | ((b3 & 0x0F) << 4);
        for (int n = 0; n < 8; ++n)
            section(board * 16 + n, board, n + 1, K::Booster, shorted & (1 << n));
        return;
    }
    case 0x40:
    case 0x50: {
        const int unit = (b2 << 3) + (b3 & 0x07) + 1;
        section(kUnitSections + unit, unit, 1, (b3 & 0x10) ? K::Reverser : K::Breaker, b3 & 0x08);
        return;
    }
    default: return;
    }
}

// A DCC packet in an immediate-packet message: what it sets of a loco or a
// switch.
void LayoutState::dcc_packet(const Message &m) {
    if (m.length != 11 || m[1] != 0x0B || m[2] != 0x7F)
        return;
    const int n = std::min((m[3] >> 4) & 0x07, 5);
    if (n < 2)
        return;
    std::array<int, 5> p{};
    for (int i = 0; i < n; ++i)
        p[static_cast<std::size_t>(i)] =
            m[5 + static_cast<std::size_t>(i)] | (((m[4] >> i) & 1) << 7);
    const int b0 = p[0];
    if (b0 >= 0x80 && b0 < 0xC0) { // a basic accessory: a switch
        const int b1 = p[1];
        if (!(b1 & 0x80))
            return;
        const int decoder = (b0 & 0x3F) | ((~b1 & 0x70) << 2);
        if (decoder == 511)
            return;
        const int number = (((decoder - 1) << 2) | ((b1 >> 1) & 0x03)) + 1;
        if (number >= 1)
            command_switch(number, (b1 & 0x01) ? Position::Closed : Position::Thrown, b1 & 0x08);
        return;
    }
    int at = 1, address = b0;
    if (b0 >= 0xC0 && b0 < 0xE8) {
        address = ((b0 & 0x3F) << 8) | p[1];
        at = 2;
    } else if (b0 == 0 || b0 >= 0x80) {
        return;
    }
    if (at >= n)
        return;
    const int i = p[static_cast<std::size_t>(at)];
    LocoState &l = told_loco(address);
    const LocoState was = l;
    if (i == 0x3F && at + 1 < n) { // 128 steps: the slot's own value
        l.speed = p[static_cast<std::size_t>(at + 1)] & 0x7F;
        l.direction = (p[static_cast<std::size_t>(at + 1)] & 0x80) ? 0 : 1;
    } else if ((i & 0xC0) == 0x40) {
        l.direction = (i & 0x20) ? 0 : 1;
    } else if ((i & 0xE0) == 0x80) {
        l.functions.set(0, i & 0x10);
        l.functions.set_range(1, 4, static_cast<unsigned>(i));
    } else if ((i & 0xE0) == 0xA0) {
        l.functions.set_range((i & 0x10) ? 5 : 9, 4, static_cast<unsigned>(i));
    } else if ((i == 0xDE || i == 0xDF) && at + 1 < n) {
        l.functions.set_range(i == 0xDE ? 13 : 21, 8,
                              static_cast<unsigned>(p[static_cast<std::size_t>(at + 1)]));
    }
    if (!same_loco(was, l))
        own_change(l);
}

// Most messages of a running layout are throttles' speeds and functions:
// they go their way from here, without the frame the rest of the messages
// need.
void LayoutState::apply(const Message &m) {
    if (!m.checksum_ok || m.length == 0)
        return;
    nr_ = m.seq;
    ++applied_;
    now_us_ = m.wall_us;
    switch (m.opcode()) {
    case kOpcLocoSpd: return slot_speed(m[1], m[2]);
    case kOpcLocoDirf: return slot_dirf(m[1], m[2], true);
    case kOpcLocoSnd: return slot_functions(m[1], 5, 4, m[2]);
    default: return apply_other(m);
    }
}

void LayoutState::apply_other(const Message &m) {
    const int op = m.opcode();
    switch (op) {
    case kOpcGpOn: set_power(Power::On); break;
    case kOpcGpOff: set_power(Power::Off); break;
    case kOpcIdle: set_power(Power::EmergencyStop); break;
    case kOpcConsistFunc: slot_dirf(m[1], m[2], false); break;
    case kOpcLocoF9F12: slot_functions(m[1], 9, 4, m[2]); break;
    case kOpcSlotStat1: set_activity(m[1], m[2]); break;
    case kOpcMoveSlots: move(m[1], m[2]); break;
    case kOpcLinkSlots:
        if (SlotState *s = slots_.find(m[1]))
            s->consist_top = m[2];
        break;
    case kOpcUnlinkSlots:
        if (SlotState *s = slots_.find(m[1]))
            s->consist_top = -1;
        break;
    case kOpcExpCmd:
        if (m[1] == 0x20) {
            const int slot_number = m[2], token = m[3], v = m[4];
            if (token == 0x05) {
                slot_functions(slot_number, 12, 1, v, 4);
                slot_functions(slot_number, 20, 1, v, 5);
                slot_functions(slot_number, 28, 1, v, 6);
            } else if (token == 0x06) {
                slot_dirf(slot_number, v, false);
            } else if (token >= 0x07 && token <= 0x09) {
                slot_functions(slot_number, 5 + 8 * (token - 7), 7, v);
            }
        } else if ((m[1] & 0xF8) == 0x38) {
            const int from = (m[1] & 0x07) * 128 + m[2], to = (m[3] & 0x07) * 128 + m[4];
            if ((m[3] & 0x70) == 0x60)
                set_activity(from, m[4]);
            else if ((m[3] & 0x70) == 0x00)
                move(from, to);
        }
        break;
    case kOpcExpSpeedFunc: {
        const int ctrl = m[1], n = (ctrl & 0x07) * 128 + m[2], v = m[4];
        if ((ctrl & 0xF0) == 0x00) {
            change_slot(n, [v, ctrl](SlotState &s) {
                s.speed = static_cast<std::int16_t>(v);
                s.direction = (ctrl & 0x08) ? 1 : 0;
            });
        } else if ((ctrl & 0xF8) == 0x10) {
            slot_functions(n, 0, 1, v, 4);
            slot_functions(n, 1, 4, v);
            slot_functions(n, 5, 2, v, 5);
        } else if ((ctrl & 0xF8) == 0x18) {
            slot_functions(n, 7, 7, v);
        } else if ((ctrl & 0xF8) == 0x20) {
            slot_functions(n, 14, 7, v);
        } else if ((ctrl & 0xF8) == 0x28 || (ctrl & 0xF8) == 0x30) {
            slot_functions(n, 21, 7, v);
            slot_functions(n, 28, 1, (ctrl & 0xF8) == 0x30 ? 1 : 0);
        }
        break;
    }
    case kOpcSlRdData:
    case kOpcWrSlData: {
        if (m.length != kSlotDataLength)
            break;
        const int n = m[2];
        if (n == kSlotClock)
            clock_data(m);
        if (n == kSlotClock || n == kSlotProgrammer || n == kSlotOptions || n == kSlotOptionsHigh) {
            track(m[7]);
            break;
        }
        if (n >= kFirstSystemSlot)
            break;
        track(m[7]);
        slot_data(m, n, slot_data_loco(m), m[3], m[5], m[6], loco_address(m[12], m[11]));
        break;
    }
    case kOpcExpRdData:
    case kOpcExpWrData: {
        if (m.length != kExpandedSlotLength || m[1] != kExpandedSlotLength)
            break;
        const int n = (m[2] & 0x07) * 128 + m[3];
        if (n >= kFirstStatusSlot)
            break;
        track(m[7]);
        slot_data(m, n, loco_address(m[6], m[5]), m[4], m[8], m[10], loco_address(m[19], m[18]));
        break;
    }
    case kOpcSwReq:
    case kOpcSwAck: {
        const int sw1 = m[1], sw2 = m[2];
        // the broadcast and interrogation forms are about no switch
        if (op == kOpcSwReq && (sw1 & 0x7C) == 0x78 &&
            ((sw2 & 0x0F) == 0x0F || (sw2 & 0x1F) == 0x17))
            break;
        command_switch(switch_address(sw1, sw2), (sw2 & 0x20) ? Position::Closed : Position::Thrown,
                       sw2 & 0x10);
        break;
    }
    case kOpcSwRep: {
        const int sn2 = m[2], number = switch_address(m[1], sn2);
        if (sn2 & 0x40) {
            if (sn2 & 0x20) // the switch input: high is closed, pulled low thrown
                report_switch(number, (sn2 & 0x10) ? Position::Closed : Position::Thrown,
                              ReportSource::InputReport);
        } else if ((sn2 & 0x30) == 0x20 || (sn2 & 0x30) == 0x10) {
            report_switch(number, (sn2 & 0x20) ? Position::Closed : Position::Thrown,
                          ReportSource::OutputReport);
        }
        break;
    }
    case kOpcSwState: pending_switch_state_ = switch_address(m[1], m[2]); break;
    case kOpcLongAck:
        if (m[1] == 0x3C && pending_switch_state_ > 0)
            report_switch(pending_switch_state_,
                          (m[2] & 0x20) ? Position::Closed : Position::Thrown,
                          ReportSource::StateQuery);
        pending_switch_state_ = -1;
        break;
    case kOpcInputRep: sensor(sensor_number(m[1], m[2]), m[2] & 0x10); break;
    case kOpcMultiSense: multi_sense(m); break;
    case kOpcLongTransponder:
        if (m.length == 9 && m[1] == 0x09) {
            const int state = (m[2] & 0x60) >> 5;
            if (state < 3)
                transponder(transponder_loco(m[4], m[5]), ((m[2] & 0x1F) << 7 | m[3]) + 1, 0,
                            state != 0);
        }
        break;
    case kOpcPeerXfer:
        if (m[2] == 0x00 && peer_format(m) == PeerFormat::TransponderFind) {
            const int st = m[5], zs = m[6];
            transponder(transponder_loco(m[3], m[4]), (st & 0x1F) * 128 + zs + 1,
                        "ABCDEFGH"[(zs & 0x0E) >> 1], (st & 0x20) != 0);
        }
        break;
    case kOpcImmPacket: dcc_packet(m); break;
    default: break;
    }
}

} // namespace bl::loconet
