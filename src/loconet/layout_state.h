// The layout as the bus has told it: the command station (track power, the
// model clock, the programming track), every slot the bus has told about,
// the locomotives by address, the switches, the sensors, which loco a
// transponder detector saw where, and the sections of power managers. Built
// from the message stream, each message in O(1), without widgets; only
// messages whose checksum is right change it. A copy is the state as it was
// after a message (the history keeps such copies to show any moment again).
#pragma once

#include "loconet/message.h"
#include "loconet/numbered.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bl::loconet {

enum class Power : std::uint8_t { Unknown, On, Off, EmergencyStop };
// A slot's activity, by STAT1's two activity bits.
enum class Activity : std::uint8_t { Free, Common, Idle, InUse };
enum class Position : std::uint8_t { Unknown, Closed, Thrown }; // gerade, abzweigend
// Where a switch's reported position came from.
enum class ReportSource : std::uint8_t { None, OutputReport, InputReport, StateQuery };

// F0..F28: which are known, and which of those are on.
struct Functions {
    std::uint32_t known = 0;
    std::uint32_t on = 0;
    void set(int number, bool value) {
        if (number < 0 || number > 28)
            return;
        known |= 1u << number;
        if (value)
            on |= 1u << number;
        else
            on &= ~(1u << number);
    }
    // count functions from first on, from the low bits of value up
    void set_range(int first, int count, unsigned value) {
        if (first < 0 || count <= 0 || first + count > 29)
            return;
        const std::uint32_t mask = ((1u << count) - 1u) << first;
        known |= mask;
        on = (on & ~mask) | ((value << first) & mask);
    }
    bool operator==(const Functions &) const = default;
};

struct ClockState {
    bool known = false;
    int hour = 0, minute = 0, day = 0, rate = 0;
    bool valid = false;
    std::int64_t at_us = 0;
};

// A throttle's message reads and writes the first 32 bytes only, which
// mostly share one cache line where those fields had spread over two.
struct SlotState {
    std::int64_t seen_us = 0; // the last message about it
    // For the loco it holds, which learns from it only when the locos are
    // read: the count of messages applied at the last message about the
    // slot (and below, at the last change of what the loco takes from it:
    // speed, direction, functions, with that change's time and number).
    std::uint64_t seen_at = 0;
    Functions functions;
    std::int16_t speed = -1;    // the raw slot value 0..127
    std::int8_t direction = -1; // 0 vorwärts, 1 rückwärts
    // the loco it holds changed by a message about itself: the slot's next
    // message sets it to what the slot says
    bool tell_loco_next = false;
    // another slot holds its loco too: the loco follows the last one heard,
    // told with each message while they share it
    bool loco_shared = false;
    Activity activity = Activity::Free;
    bool kept = false; // the bus told of it (its place in the table holds it)
    int slot = 0;
    int loco = -1;
    int stat1 = -1;       // the whole status byte, where told
    int consist_top = -1; // the slot a consist member's speed follows
    int throttle = -1;
    std::int64_t changed_us = 0; // the last change
    std::uint64_t changed_nr = 0;
    std::uint64_t loco_changed_at = 0;
    std::int64_t loco_changed_us = 0;
    std::uint64_t loco_changed_nr = 0;
};
static_assert(offsetof(SlotState, kept) < 32 && sizeof(SlotState) == 96);

struct LocoState {
    int address = 0;
    int slot = -1;
    int speed = -1;     // as its slot or its DCC packets gave it
    int direction = -1; // 0 vorwärts, 1 rückwärts
    Functions functions;
    int section = -1; // where a transponder detector saw it last
    char zone = 0;
    bool present = false; // in that section now
    std::int64_t seen_us = 0;
    std::int64_t changed_us = 0;
    std::uint64_t changed_nr = 0;
    // what its slot said is in it up to here (a count of messages applied)
    std::uint64_t told_at = 0;
};

struct SwitchState {
    int number = 0;
    Position commanded = Position::Unknown;
    std::int64_t commanded_us = 0;
    int commands = 0;
    Position reported = Position::Unknown;
    ReportSource source = ReportSource::None;
    std::int64_t reported_us = 0;
    std::int64_t changed_us = 0;
    std::uint64_t changed_nr = 0;
};

// Kept to one cache line: a layout has thousands of sensors, and a busy bus
// reports them in no order, so each report is likely a cache miss.
struct alignas(64) SensorState {
    std::int64_t changed_us = 0;
    std::uint64_t changed_nr = 0;
    std::uint64_t changes = 0;
    std::uint16_t number = 0; // below the highest number kept
    bool occupied = false;
    // The changes before the last one: how many milliseconds each came
    // after the one before it (by the millisecond of each), up to kLongAgo,
    // which stands for anything longer or without a time. A ring, newest at
    // newest_gap: a busy sensor changes on most of its reports, and a
    // change writes one gap instead of moving them all.
    static constexpr std::uint16_t kLongAgo = 0xFFFF;
    std::uint8_t newest_gap = 0;
    std::array<std::uint16_t, 15> gaps_ms{};
    // Changes within window_us before now, of the latest 16 (the window at
    // most a minute).
    int changes_within(std::int64_t now_us, std::int64_t window_us) const;
    // A change at now_us (0: a change without a time).
    void add_change(std::int64_t now_us);
};
static_assert(sizeof(SensorState) == 64);

// A section of a power manager, a booster or an auto-reverse unit.
struct SectionState {
    int board = 0;
    int section = 0;
    enum class Kind : std::uint8_t { Breaker, Reverser, Booster } kind = Kind::Breaker;
    bool tripped = false; // short circuit, or reversed
    std::int64_t changed_us = 0;
    std::uint64_t changed_nr = 0;
};

class LayoutState {
public:
    // Whether the locomotives are kept beside the slots (a reader of the
    // slots alone spares that work).
    enum class Locos : bool { Kept, Skipped };
    explicit LayoutState(Locos locos = Locos::Kept) : locos_kept_(locos == Locos::Kept) {}

    // Learns from one message; one with a wrong checksum changes nothing.
    void apply(const Message &m);

    // The number and time of the last message applied.
    std::uint64_t nr() const { return nr_; }
    std::int64_t now_us() const { return now_us_; }

    Power power() const { return power_; }
    std::int64_t power_changed_us() const { return power_changed_us_; }
    const ClockState &clock() const { return clock_; }
    int programming_busy() const { return programming_busy_; } // -1 not told

    // Slot numbers run to 1023 (an expanded slot's number has ten bits).
    static constexpr std::size_t kSlotNumbers = 1024;
    using Slots = InPlace<SlotState, kSlotNumbers, &SlotState::kept>;

    // each in the order the bus first told of it
    const Slots &slots() const { return slots_; }
    // (the locos learn what their slots said since they were last read here)
    const Numbered<LocoState> &locos() const;
    const Numbered<SwitchState> &switches() const { return switches_; }
    const Numbered<SensorState> &sensors() const { return sensors_; }
    // by board * 16 + section, a unit of its own by kUnitSections + unit
    const Numbered<SectionState> &sections() const { return sections_; }
    static constexpr int kUnitSections = 8192;

    // The slots that hold a loco and are not free, for a loco address.
    std::vector<int> slots_holding(int loco) const;

private:
    [[gnu::noinline]] void apply_other(const Message &m);
    [[gnu::always_inline]] inline SlotState &slot(int n);
    [[gnu::noinline]] SlotState &new_slot(int n);
    [[gnu::always_inline]] inline LocoState &loco(int address);
    [[gnu::noinline]] LocoState &new_loco(int address);
    void changed(SlotState &s);
    template <typename Change> void change_slot(int n, Change change);
    void changed(LocoState &l);
    void own_change(LocoState &l);
    LocoState &told_loco(int address);
    void tell(LocoState &l) const;
    void before_taking(int n, int address);
    void take(const SlotState &s);
    void taken(SlotState &s);
    void unshare(int address);
    [[gnu::always_inline]] inline void settle(SlotState &s, bool change, bool loco_change);
    void slot_data(const Message &m, int slot, int loco, int stat1, int speed, int dirf,
                   int throttle);
    void expanded_functions(SlotState &s, const Message &m);
    void slot_speed(int n, int speed);
    void slot_dirf(int n, int dirf, bool with_direction);
    void slot_functions(int n, int first, int count, int value, int bit = 0);
    void set_activity(int n, int stat1);
    void move(int from, int to);
    void track(int trk);
    void set_power(Power p);
    void clock_data(const Message &m);
    void command_switch(int number, Position p, bool on);
    void report_switch(int number, Position p, ReportSource source);
    void sensor(int number, bool occupied);
    void transponder(int loco_address, int section, char zone, bool present);
    void section(int key, int board, int number, SectionState::Kind kind, bool tripped);
    void multi_sense(const Message &m);
    void dcc_packet(const Message &m);

    bool locos_kept_ = true;
    // Not side by side, so that the compiler does not join their writes into
    // one wide store: the rules read each back at once, and a narrow read of
    // a wide store just made waits until that store reaches the cache.
    std::uint64_t nr_ = 0;
    std::int64_t power_changed_us_ = 0;
    std::uint64_t applied_ = 0; // messages applied
    Power power_ = Power::Unknown;
    std::int64_t now_us_ = 0;
    ClockState clock_;
    int programming_busy_ = -1;
    int pending_switch_state_ = -1; // a switch-state query waiting for its answer
    // brought up to date from their slots when read (a running layout's
    // throttles change slots with most messages; their locos are read
    // seldom)
    mutable Numbered<LocoState> locos_;
    Numbered<SwitchState> switches_;
    Numbered<SensorState> sensors_;
    Numbered<SectionState> sections_;
    // where a number falls outside what is kept (none of the bus's does)
    SlotState spare_slot_;
    LocoState spare_loco_;
    SwitchState spare_switch_;
    SensorState spare_sensor_;
    SectionState spare_section_;
    // last: the table of slots is most of the state's size
    Slots slots_;
};

} // namespace bl::loconet
