// The layout's state from the message stream: each table fed the messages
// that change it, written from the message layouts; a message with a wrong
// checksum changes nothing.
#include "loconet/layout_state.h"
#include "support/messages.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace bl::loconet {
namespace {

struct Fed {
    testing::MessageBus bus;
    LayoutState state;
    Fed &operator<<(const char *hex) {
        state.apply(bus.next(hex));
        return *this;
    }
    Fed &corrupt(const char *hex) {
        state.apply(bus.corrupt(hex));
        return *this;
    }
    const SlotState &slot(int n) const { return state.slots().at(n); }
    const LocoState &loco(int a) const { return state.locos().at(a); }
    const SwitchState &sw(int n) const { return state.switches().at(n); }
};

std::vector<int> on(const Functions &f) {
    std::vector<int> numbers;
    for (int n = 0; n <= 28; ++n)
        if ((f.known & f.on) & (1u << n))
            numbers.push_back(n);
    return numbers;
}

TEST(LayoutState, TrackPowerFromTheCommandsAndTheSlotsTrackStatus) {
    const struct {
        const char *bytes;
        Power power;
    } rows[] = {
        {"83", Power::On},
        {"82", Power::Off},
        {"85", Power::EmergencyStop},
        {"E7 0E 05 03 03 00 00 07 00 00 00 00 00", Power::On}, // TRK 0x07
        {"E7 0E 05 03 03 00 00 05 00 00 00 00 00", Power::EmergencyStop},
        {"E7 0E 05 03 03 00 00 04 00 00 00 00 00", Power::Off},
        {"E7 0E 7B 0A 7F 7F 4F 07 76 02 40 11 00", Power::On}, // the clock's slot too
    };
    Fed f;
    for (const auto &row : rows) {
        f << row.bytes;
        EXPECT_EQ(f.state.power(), row.power) << row.bytes;
    }
    f.corrupt("82");
    EXPECT_EQ(f.state.power(), Power::On) << "a wrong checksum changes nothing";
    EXPECT_TRUE(f.state.clock().known);
    EXPECT_EQ(f.state.clock().hour, 14);
    EXPECT_EQ(f.state.clock().minute, 12);
    EXPECT_EQ(f.state.clock().rate, 10);
    EXPECT_EQ(f.state.programming_busy(), 0);
}

// Speed, direction and F0..F28 from every message that carries them, on the
// slot and on the loco it holds.
TEST(LayoutState, ASlotAndItsLocoFromEveryMessageAboutThem) {
    Fed f;
    f << "E7 0E 05 33 03 40 30 07 00 00 01 11 00";
    EXPECT_EQ(f.slot(5).loco, 3);
    EXPECT_EQ(f.slot(5).activity, Activity::InUse);
    EXPECT_EQ(f.slot(5).speed, 64);
    EXPECT_EQ(f.slot(5).direction, 1);
    EXPECT_EQ(f.slot(5).throttle, 17);
    EXPECT_EQ(on(f.slot(5).functions), (std::vector<int>{0, 5}));
    f << "A0 05 10"
      << "A1 05 03"
      << "A2 05 08"
      << "A3 05 0F"
      << "D4 20 05 08 03"
      << "D4 20 05 05 50"
      << "D4 20 05 09 41";
    EXPECT_EQ(f.slot(5).speed, 16);
    EXPECT_EQ(f.slot(5).direction, 0);
    EXPECT_EQ(on(f.slot(5).functions),
              (std::vector<int>{1, 2, 8, 9, 10, 11, 12, 13, 14, 21, 27, 28}));
    EXPECT_EQ(f.loco(3).slot, 5);
    EXPECT_EQ(f.loco(3).speed, 16);
    EXPECT_EQ(f.loco(3).functions, f.slot(5).functions);
    // an expanded slot's speed and functions, and a DCC packet to the loco itself
    f << "D5 08 05 11 40"
      << "D5 10 05 11 15";
    EXPECT_EQ(f.slot(5).speed, 64);
    EXPECT_EQ(f.slot(5).direction, 1);
    EXPECT_EQ(on(f.slot(5).functions).front(), 0);
    f << "ED 0B 7F 34 22 03 5F 41 00 00"; // F21..F28 of loco 3
    EXPECT_EQ(on(f.loco(3).functions).back(), 27);
    f.corrupt("A0 05 7F");
    EXPECT_EQ(f.slot(5).speed, 64);
    EXPECT_GT(f.slot(5).changed_nr, 0u);
}

// Expanded slots are numbered up to 1023; every slot the bus told of is
// listed in the order it first did.
TEST(LayoutState, SlotsUpToTheHighestExpandedNumberInTheOrderTold) {
    Fed f;
    f << "E6 15 01 48 33 39 00 07 20 00 00 00 00 00 00 00 00 00 00 00" // slot 200, loco 57
      << "A0 05 10"
      << "D5 01 02 00 10"  // slot 130
      << "D5 07 7F 00 05"; // slot 1023
    std::vector<int> told;
    for (const SlotState &s : f.state.slots())
        told.push_back(s.slot);
    EXPECT_EQ(told, (std::vector<int>{200, 5, 130, 1023}));
    EXPECT_EQ(f.slot(200).loco, 57);
    EXPECT_EQ(f.slot(200).speed, 0x20);
    EXPECT_EQ(f.slot(200).activity, Activity::InUse);
    EXPECT_EQ(f.slot(130).speed, 16);
    EXPECT_EQ(f.slot(1023).speed, 5);
    EXPECT_EQ(f.loco(57).slot, 200);
    EXPECT_FALSE(f.state.slots().contains(6)) << "no message told of slot 6";
    const LayoutState before = f.state;
    f << "A0 05 11";
    EXPECT_EQ(before.slots().at(5).speed, 16) << "a copy keeps the state as it was";
    EXPECT_EQ(f.slot(5).speed, 17);
}

// A state kept for its slots alone learns the same slots and no locos.
TEST(LayoutState, SlotsAloneAreTheSameWithoutTheLocos) {
    Fed all;
    LayoutState slots_only(LayoutState::Locos::Skipped);
    for (const char *hex : {"E7 0E 05 33 03 40 30 07 00 00 01 11 00", "A0 05 10", "BA 05 07",
                            "E7 0E 08 73 04 09 00 07 00 00 00 00 00", "B5 08 13", "A1 07 03"}) {
        const Message m = all.bus.next(hex);
        all.state.apply(m);
        slots_only.apply(m);
    }
    ASSERT_EQ(slots_only.slots().size(), all.state.slots().size());
    for (const SlotState &s : all.state.slots()) {
        const SlotState &same = slots_only.slots().at(s.slot);
        EXPECT_EQ(same.loco, s.loco) << "slot " << s.slot;
        EXPECT_EQ(same.activity, s.activity) << "slot " << s.slot;
        EXPECT_EQ(same.speed, s.speed) << "slot " << s.slot;
        EXPECT_EQ(same.functions, s.functions) << "slot " << s.slot;
        EXPECT_EQ(same.changed_nr, s.changed_nr) << "slot " << s.slot;
    }
    EXPECT_FALSE(all.state.locos().empty());
    EXPECT_TRUE(slots_only.locos().empty());
}

// A DCC packet sets a loco by itself; the next message about its slot sets
// it back to what the slot says, read in between or not.
TEST(LayoutState, ASlotsNextMessageSetsBackALocoChangedByItself) {
    for (const bool read_between : {true, false}) {
        Fed f;
        f << "E7 0E 05 33 03 40 30 07 00 00 01 11 00" // slot 5: loco 3 at 64
          << "ED 0B 7F 34 00 03 3F 10 00 00";         // loco 3 at 16
        if (read_between) {
            EXPECT_EQ(f.loco(3).speed, 16);
        }
        f << "A0 05 40" // the slot's speed again: no change of the slot
          << "A1 07 00";
        EXPECT_EQ(f.loco(3).speed, 64) << read_between;
        EXPECT_EQ(f.loco(3).direction, 1) << read_between;
        EXPECT_EQ(f.loco(3).changed_nr, 3u) << read_between;
    }
}

// Two slots holding one loco (taken twice): the loco follows the slot heard
// last, and the one left holding it once the other lets it go.
TEST(LayoutState, ALocoInTwoSlotsFollowsTheSlotHeardLast) {
    const struct {
        const char *bytes;
        int slot, speed;
    } steps[] = {
        {"E7 0E 03 33 39 0A 00 07 00 00 00 00 00", 3, 10}, // slot 3 takes loco 57
        {"E7 0E 05 33 39 14 00 07 00 00 00 00 00", 5, 20}, // slot 5 takes it too
        {"A0 03 30", 3, 48},
        {"A0 05 14", 5, 20},                               // no change of the slot: of the loco
        {"E7 0E 05 33 2C 14 00 07 00 00 00 00 00", 5, 20}, // slot 5 takes loco 44
        {"A0 03 30", 3, 48},                               // no change of slot 3
        {"A0 03 31", 3, 49},
    };
    for (const bool read_between : {true, false}) {
        Fed f;
        for (const auto &step : steps) {
            f << step.bytes;
            if (!read_between && &step != &steps[std::size(steps) - 1])
                continue;
            EXPECT_EQ(f.loco(57).slot, step.slot) << step.bytes << ", " << read_between;
            EXPECT_EQ(f.loco(57).speed, step.speed) << step.bytes << ", " << read_between;
        }
        EXPECT_EQ(f.loco(57).changed_nr, 7u) << read_between;
        EXPECT_EQ(f.loco(44).slot, 5);
    }
}

// The locos learn from their slots only when they are read: read at any
// moment, they are what they would be had they been read after every
// message. Random streams of slot data, throttle messages, moves and DCC
// packets to the locos themselves, over a few slots and locos; in every
// other round two slots may hold one loco (a loco taken twice).
TEST(LayoutState, LocosReadSeldomAreLocosReadAfterEveryMessage) {
    std::mt19937 rng(31);
    const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const auto hex = [](std::initializer_list<int> bytes) {
        std::string text;
        for (const int b : bytes) {
            char two[4];
            std::snprintf(two, sizeof two, "%02X ", b & 0xFF);
            text += two;
        }
        return text;
    };
    const int addresses[] = {3, 44, 57, 130, 2001};
    for (int round = 0; round < 40; ++round) {
        testing::MessageBus bus;
        LayoutState every, seldom;
        std::array<int, 7> held{-1, -1, -1, -1, -1, -1, -1}; // by slot 1..6
        const auto holder = [&held](int slot) -> int & {
            return held[static_cast<std::size_t>(slot)];
        };
        for (int k = 0; k < 300; ++k) {
            const int n = 1 + pick(6);
            std::string text;
            switch (pick(7)) {
            case 0: { // slot data
                const int a = addresses[pick(5)];
                if (round % 2 == 0 && std::count(held.begin(), held.end(), a) && holder(n) != a)
                    continue;
                holder(n) = a;
                text = hex({0xE7, 0x0E, n, 0x30 | pick(4) << 4, a & 0x7F, pick(128), pick(64), 7, 0,
                            a >> 7, pick(16), 0, 0});
                break;
            }
            case 1: text = hex({0xA0, n, pick(128)}); break;
            case 2: text = hex({0xA1, n, pick(64)}); break;
            case 3: text = hex({0xA2, n, pick(16)}); break;
            case 4: { // a move; the loco the target held is held there no more
                const int to = 1 + pick(6);
                if (to == n)
                    continue;
                holder(to) = holder(n);
                holder(n) = -1;
                text = hex({0xBA, n, to});
                break;
            }
            default: { // a DCC packet to a short address: 128 steps, or F0..F4
                const int a = addresses[pick(3)];
                const int value = pick(256);
                text = pick(2) ? hex({0xED, 0x0B, 0x7F, 0x34, (value >> 7) << 2, a, 0x3F,
                                      value & 0x7F, 0, 0})
                               : hex({0xED, 0x0B, 0x7F, 0x24, 2, a, value & 0x1F, 0, 0, 0});
                break;
            }
            }
            const Message m = bus.next(text);
            every.apply(m);
            seldom.apply(m);
            (void)every.locos();
            if (pick(40) != 0 && k != 299)
                continue;
            ASSERT_EQ(seldom.locos().size(), every.locos().size());
            for (const LocoState &want : every.locos()) {
                const LocoState &got = seldom.locos().at(want.address);
                const auto where = ::testing::Message()
                                   << "round " << round << ", message " << k << " (" << text
                                   << "), loco " << want.address;
                EXPECT_EQ(got.slot, want.slot) << where;
                EXPECT_EQ(got.speed, want.speed) << where;
                EXPECT_EQ(got.direction, want.direction) << where;
                EXPECT_EQ(got.functions, want.functions) << where;
                EXPECT_EQ(got.seen_us, want.seen_us) << where;
                EXPECT_EQ(got.changed_us, want.changed_us) << where;
                ASSERT_EQ(got.changed_nr, want.changed_nr) << where;
            }
        }
    }
}

TEST(LayoutState, MovesLinksAndStatusChanges) {
    Fed f;
    f << "E7 0E 05 03 03 00 00 07 00 00 00 00 00";
    EXPECT_EQ(f.slot(5).activity, Activity::Free);
    f << "BA 05 05";
    EXPECT_EQ(f.slot(5).activity, Activity::InUse) << "a null move takes it into use";
    f << "B5 05 13";
    EXPECT_EQ(f.slot(5).activity, Activity::Common);
    f << "BA 05 07";
    EXPECT_EQ(f.slot(7).loco, 3) << "the data moved";
    EXPECT_EQ(f.slot(5).activity, Activity::Free);
    EXPECT_EQ(f.slot(5).loco, -1);
    f << "B9 07 09";
    EXPECT_EQ(f.slot(7).consist_top, 9);
    f << "B8 07 09";
    EXPECT_EQ(f.slot(7).consist_top, -1);
    // a consist member's speed byte names its top
    f << "E7 0E 08 73 04 09 00 07 00 00 00 00 00";
    EXPECT_EQ(f.slot(8).consist_top, 9);
    EXPECT_EQ(f.state.slots_holding(3), (std::vector<int>{7}));
}

TEST(LayoutState, SwitchesCommandedReportedAndCounted) {
    Fed f;
    f << "B0 13 30"
      << "B0 13 20"; // on and off: one command, closed
    EXPECT_EQ(f.sw(20).commanded, Position::Closed);
    EXPECT_EQ(f.sw(20).commands, 1);
    f << "B0 13 10"
      << "B0 13 00";
    EXPECT_EQ(f.sw(20).commanded, Position::Thrown);
    EXPECT_EQ(f.sw(20).commands, 2);
    f << "B1 13 20"; // output report: the closed output on
    EXPECT_EQ(f.sw(20).reported, Position::Closed);
    EXPECT_EQ(f.sw(20).source, ReportSource::OutputReport);
    f << "BC 13 00"
      << "B4 3C 00";
    EXPECT_EQ(f.sw(20).reported, Position::Thrown);
    EXPECT_EQ(f.sw(20).source, ReportSource::StateQuery);
    f << "B0 79 37"
      << "B0 78 1F"; // interrogate and broadcast: no switch
    EXPECT_EQ(f.state.switches().size(), 1u);
    f << "ED 0B 7F 21 23 05 7F 00 00 00"; // a DCC accessory packet: switch 20 closed
    EXPECT_EQ(f.sw(20).commanded, Position::Closed);
    f << "BD 14 10";
    EXPECT_EQ(f.sw(21).commanded, Position::Thrown);
}

TEST(LayoutState, SensorsTheirChangesAndTheMinuteBefore) {
    Fed f;
    // (looked up after each message: a new sensor may move the others)
    const auto s = [&f]() -> const SensorState & { return f.state.sensors().at(21); };
    f << "B2 0A 50";
    EXPECT_TRUE(s().occupied);
    f << "B2 0A 50"; // the same again is no change
    EXPECT_EQ(s().changes, 1u);
    f << "B2 0A 40"
      << "B2 0A 50";
    EXPECT_EQ(s().changes, 3u);
    EXPECT_EQ(s().changes_within(f.state.now_us(), 60'000'000), 3);
    f.bus.wait(61);
    f << "B2 0B 50";
    EXPECT_EQ(s().changes_within(f.state.now_us(), 60'000'000), 0);
    // 20 more changes, the first 4 of them more than a minute before the last:
    // the ring holds the latest 16, all within the minute
    for (int i = 0; i < 20; ++i) {
        f << (i % 2 ? "B2 0A 50" : "B2 0A 40");
        if (i == 3)
            f.bus.wait(61);
    }
    EXPECT_EQ(s().changes, 23u);
    EXPECT_EQ(s().changes_within(f.state.now_us(), 60'000'000), 16);
    f.bus.wait(30);
    f << "B2 0A 40"; // 17 within the minute now, of which 16 are kept
    EXPECT_EQ(s().changes_within(f.state.now_us(), 60'000'000), 16);
    f.bus.wait(45); // only this last change is within the minute
    f << "B2 0B 50";
    EXPECT_EQ(s().changes_within(f.state.now_us(), 60'000'000), 1);
}

// Raw bytes carry no time: their changes are counted, but none is said to
// lie within the last minute.
TEST(LayoutState, ChangesWithoutATimeAreNotWithinTheMinute) {
    Fed f;
    for (const char *hex : {"B2 0A 50", "B2 0A 40", "B2 0A 50"}) {
        Message m = f.bus.next(hex);
        m.wall_us = 0;
        f.state.apply(m);
    }
    const SensorState &s = f.state.sensors().at(21);
    EXPECT_EQ(s.changes, 3u);
    EXPECT_EQ(s.changes_within(f.state.now_us(), 60'000'000), 0);
}

// The minute before now from the kept changes, against every change kept
// in full: the latest 16, each counted where its millisecond lies within
// the window of now's; random gaps from a millisecond to over a minute, a
// change without a time now and then, and queries at and just past the
// window's edge of each change kept.
TEST(LayoutState, ChangesWithinTheMinuteEqualTheFullRecord) {
    std::mt19937 rng(29);
    constexpr std::int64_t kMinute = 60'000'000;
    for (int round = 0; round < 200; ++round) {
        SensorState kept;
        std::vector<std::int64_t> all; // the times of every change
        std::int64_t now = 1'700'000'000'000'000 + static_cast<std::int64_t>(rng() % 1000);
        // (a change without a time hides those before it: a stream has
        // times throughout or none)
        const auto expected = [&all](std::int64_t at) {
            int n = 0;
            for (std::size_t k = all.size(); k > 0 && k + 16 > all.size() && all[k - 1] != 0; --k)
                n += at != 0 && at / 1000 - all[k - 1] / 1000 <= kMinute / 1000;
            return n;
        };
        for (int change = 0; change < 40; ++change) {
            const int gap = static_cast<int>(rng() % 4);
            now += gap == 0   ? 1'000 + static_cast<std::int64_t>(rng() % 999)
                   : gap == 1 ? static_cast<std::int64_t>(rng() % 5'000'000)
                              : static_cast<std::int64_t>(rng() % 70'000'000);
            const std::int64_t at = rng() % 25 == 0 ? 0 : now;
            kept.add_change(at);
            all.push_back(at);
            ASSERT_EQ(kept.changes, all.size());
            // now, and where each change kept leaves the window (a minute
            // after it, and a millisecond later), where that is not past
            std::vector<std::int64_t> queries{now};
            for (std::size_t k = all.size() > 16 ? all.size() - 16 : 0; k < all.size(); ++k)
                for (const std::int64_t edge : {all[k] + kMinute, all[k] + kMinute + 1'000})
                    if (all[k] != 0 && edge >= now)
                        queries.push_back(edge);
            for (const std::int64_t query : queries)
                ASSERT_EQ(kept.changes_within(query, kMinute), expected(query))
                    << "round " << round << ", change " << change << ", query " << query;
        }
    }
}

TEST(LayoutState, TranspondersAndPowerManagerSections) {
    Fed f;
    f << "D0 20 14 7D 03";
    EXPECT_EQ(f.loco(3).section, 21);
    EXPECT_EQ(f.loco(3).zone, 'C');
    EXPECT_TRUE(f.loco(3).present);
    f << "D0 01 14 1F 5C";
    EXPECT_EQ(f.loco(4060).section, 149);
    EXPECT_FALSE(f.loco(4060).present);
    f << "E5 09 00 7D 05 21 40 00";
    EXPECT_EQ(f.loco(5).section, 193);
    f << "D0 60 02 31 02"; // board 3: section 1 auto-reverse, section 2 shorted
    int tripped = 0;
    for (const SectionState &s : f.state.sections())
        tripped += s.tripped;
    EXPECT_EQ(f.state.sections().size(), 4u);
    EXPECT_EQ(tripped, 1);
    f << "D0 60 02 21 05"; // an 8-section unit at the same board number: sections 1, 3, 5
    tripped = 0;
    for (const SectionState &s : f.state.sections())
        tripped += s.tripped;
    EXPECT_EQ(tripped, 3);
}

} // namespace
} // namespace bl::loconet
