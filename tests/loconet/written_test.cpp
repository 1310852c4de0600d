#include "loconet/addresses.h"
#include "support/bytes.h"
#include "support/monitor_harness.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::bytes;

// The line of every message kind stands with its bytes in
// tests/data/renderings.* (checked by the golden test); here the state the
// renderings keep from one message to the next.

constexpr const char *kSlot3 = "E7 0E 03 33 52 10 30 07 12 09 01 00 00 44";

TEST(Renderings, TrainCategoryRoundsHalvesToEven) {
    const struct {
        int status2;
        int category;
    } rows[] = {{0x0C, 2}, {0x14, 2}, {0x1C, 4}, {0x0F, 3}, {0x12, 3}, {0x00, 0}, {0x72, 15}};
    for (const auto &row : rows)
        EXPECT_EQ(loconet::train_category_of(row.status2), row.category) << row.status2;
}

TEST(Renderings, AsciiHexOffHidesUnrenderedOnly) {
    testing::MonitorHarness m;
    m.vars.ascii_hex_on = kFalse;
    m.feed(bytes("85 7A 83 7C"));
    EXPECT_EQ(m.trace.lines, std::vector<std::string>{"Gleisspannung eingeschaltet"});
}

TEST(Renderings, SlotTableKeptOnlyWhileRenderingRuns) {
    testing::MonitorHarness m;
    m.vars.hex_on = kTrue;
    m.feed(bytes(kSlot3));
    m.vars.hex_on = kFalse;
    m.vars.monitor_on = kFalse;
    m.feed(bytes("E7 0E 03 33 7F 10 30 07 12 01 01 00 00 44"));
    m.vars.monitor_on = kTrue;
    m.feed(bytes("A0 03 10 00"));
    EXPECT_EQ(m.trace.lines.back(), "Lok 0 = Geschw. 16");
}

TEST(Renderings, ShortSlotDataUsesStaleBufferEntries) {
    testing::MonitorHarness m;
    m.feed(bytes(kSlot3));
    // length byte 4: entries 4..12 are still those of the slot data before
    m.feed(bytes("E7 04 05 00"));
    EXPECT_EQ(m.trace.lines.back(),
              "Slot  5 = Lokadr. 1234, Geschw. 16 , Kat: 3 ,rückwärts F0 F5 ");
}

} // namespace
} // namespace bl
