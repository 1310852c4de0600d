#include "reception/renderings.h"
#include "support/bytes.h"
#include "support/monitor_harness.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::bytes;

struct RenderRow {
    const char *name;
    const char *before;  // messages that set up the decoder state (shown too)
    const char *message; // checksum included where the length needs it
    const char *text;    // the line shown; "" = not shown
};

void PrintTo(const RenderRow &row, std::ostream *os) { *os << row.message; }

class RenderingTest : public ::testing::TestWithParam<RenderRow> {};

TEST_P(RenderingTest, ShowsExactText) {
    testing::MonitorHarness m;
    m.feed(bytes(GetParam().before));
    const auto shown_before = m.trace.records.size();
    m.feed(bytes(GetParam().message));
    const std::string expected = GetParam().text;
    if (expected.empty()) {
        EXPECT_EQ(m.trace.records.size(), shown_before);
    } else {
        ASSERT_EQ(m.trace.records.size(), shown_before + 1);
        EXPECT_EQ(m.trace.records.back(), expected);
    }
}

constexpr const char *kSlot3 = "E7 0E 03 33 52 10 30 07 12 09 01 00 00 44";

INSTANTIATE_TEST_SUITE_P(
    Rows, RenderingTest,
    ::testing::Values(
        RenderRow{"busy", "", "81 7E", ""},
        RenderRow{"power_off", "", "82 7D", "Gleisspannung ausgeschaltet"},
        RenderRow{"power_on", "", "83 7C", "Gleisspannung eingeschaltet"},
        RenderRow{"slot_data", "", kSlot3,
                  "Slot  3 = Lokadr. 1234, Geschw. 16 , Kat: 3 ,rückwärts F0 F5 "},
        RenderRow{"speed_after_slot", kSlot3, "A0 03 10 00", "Lok 1234 = Geschw. 16"},
        RenderRow{"dir_after_slot", kSlot3, "A1 03 01 00", "Lok 1234 = vorwärts F1 "},
        RenderRow{"sound_no_functions", kSlot3, "A2 03 00 00", "Lok 1234 = "},
        RenderRow{"sound_functions", kSlot3, "A2 03 0F 00", "Lok 1234 = F5 F6 F7 F8 "},
        RenderRow{"speed_unknown_slot", "", "A0 05 00 00", "Lok 0 = Geschw. 0"},
        RenderRow{"all_functions_slot_127", "", "E7 0E 7F 33 7F 10 3F 07 12 7F 0F 00 00 00",
                  "Slot  127 = Lokadr. 16383, Geschw. 16 , Kat: 3 ,rückwärts F0 F1 F2 F3 F4 "
                  "F5 F6 F7 F8 "},
        RenderRow{"switch_green_on", "", "B0 04 30 00", "Mag.-Art.: 5 - grün - ein "},
        RenderRow{"switch_red_off", "", "B0 04 00 00", "Mag.-Art.: 5 - rot - aus "},
        RenderRow{"switch_high_address", "", "B0 7F 0F 00", "Mag.-Art.: 2048 - rot - aus "},
        RenderRow{"sensor_occupied", "", "B2 05 10 58", "Rückmelder 11 = belegt"},
        RenderRow{"sensor_odd_bit", "", "B2 05 30 00", "Rückmelder 12 = belegt"},
        RenderRow{"sensor_free", "", "B2 05 00 00", "Rückmelder 11 = frei"},
        RenderRow{"long_ack", "", "B4 3F 00 00", "LongAck: B4 3F 00"},
        RenderRow{"switch_state_query", "", "BC 04 00 00", "Statusanfrage nach Mag.-Art. 5"},
        RenderRow{"switch_state_answer", "BC 04 00 00", "B4 3C 20 00", " Antwort: grün"},
        RenderRow{"switch_state_answer_red", "BC 04 00 00", "B4 3C 00 00", " Antwort: rot"},
        RenderRow{"other_ack_after_query_swallowed", "BC 04 00 00", "B4 3F 00 00", ""},
        RenderRow{"ack_after_swallowed_shown", "BC 04 00 00 B4 3F 00 00", "B4 3F 00 00",
                  "LongAck: B4 3F 00"},
        RenderRow{"ack_after_answer_shown", "BC 04 00 00 B4 3C 20 00", "B4 3C 20 00",
                  "LongAck: B4 3C 20"},
        RenderRow{"slot_query", "", "BB 07 00 00", "Statusanfrage nach Slot 7"},
        RenderRow{"loco_address_query", "", "BF 09 52 00", "Anfrage nach Lokadresse: 1234"},
        RenderRow{"kennbox_speed", "", "E4 08 00 20 05 00 78 00",
                  "Kennbox Sender 5: Geschw.= 120 Km/h"},
        RenderRow{"kennbox_block_occupied", "", "E4 08 01 20 05 00 03 00",
                  "Kennbox Sender 5: Block belegt"},
        RenderRow{"kennbox_block_free", "", "E4 08 01 20 05 00 02 00",
                  "Kennbox Sender 5: Block frei"},
        RenderRow{"kennbox_poll", "", "E4 08 01 20 05 00 00 00", "Kennbox Sender 5 Senderabfrage "},
        RenderRow{"kennbox_block_one_hidden", "", "E4 08 01 20 05 00 01 00", ""},
        RenderRow{"kennbox_other_status_hidden", "", "E4 08 02 20 05 00 01 00", ""},
        RenderRow{"kennbox_s1_to_s2", "", "E4 08 01 40 05 09 52 00",
                  "Kennbox Sender 5: Adr.= 1234 Kat.= 2 , von S1 nach S2"},
        RenderRow{"kennbox_s2_to_s1", "", "E4 08 01 60 05 09 52 00",
                  "Kennbox Sender 5: Adr.= 1234 Kat.= 2 , von S2 nach S1"},
        RenderRow{"kennbox_no_direction", "", "E4 08 01 00 05 09 52 00",
                  "Kennbox Sender 5: Adr.= 1234 Kat.= 2 "},
        RenderRow{"kennbox_sender_high_bits", "", "E4 08 03 1F 7F 00 00 00",
                  "Kennbox Sender 4095: Adr.= 0 Kat.= 4 "},
        RenderRow{"e4_other_length_hidden", "", "E4 09 01 20 05 00 03 00 00", ""},
        RenderRow{"unrendered_as_hex", "", "85 7A", "HEX: 85 7A "},
        RenderRow{"peer_transfer_as_hex", "", "E5 10 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 6E",
                  "HEX: E5 10 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 6E "}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Renderings, TrainCategoryRoundsHalvesToEven) {
    const struct {
        int status2;
        int category;
    } rows[] = {{0x0C, 2}, {0x14, 2}, {0x1C, 4}, {0x0F, 3}, {0x12, 3}, {0x00, 0}, {0x72, 15}};
    for (const auto &row : rows)
        EXPECT_EQ(train_category_of(row.status2), row.category) << row.status2;
    // every category the write codes comes back
    for (int k = 0; k <= 15; ++k)
        EXPECT_EQ(train_category_of(((k * 8) & 0x70) + 2 * (k & 1)), k);
}

TEST(Renderings, AsciiHexOffHidesUnrenderedOnly) {
    testing::MonitorHarness m;
    m.vars.ascii_hex_on = kFalse;
    m.feed(bytes("85 7A 83 7C"));
    EXPECT_EQ(m.trace.records, std::vector<std::string>{"Gleisspannung eingeschaltet"});
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
    EXPECT_EQ(m.trace.records.back(), "Lok 0 = Geschw. 16");
}

TEST(Renderings, ShortSlotDataUsesStaleBufferEntries) {
    testing::MonitorHarness m;
    m.feed(bytes(kSlot3));
    // length byte 4: entries 4..12 are still those of the slot data before
    m.feed(bytes("E7 04 05 00"));
    EXPECT_EQ(m.trace.records.back(),
              "Slot  5 = Lokadr. 1234, Geschw. 16 , Kat: 3 ,rückwärts F0 F5 ");
}

} // namespace
} // namespace bl
