#include "reception/line_wrap.h"
#include "support/bytes.h"
#include "support/monitor_harness.h"
#include "support/traffic.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::bytes;

TEST(ZeilenUmbruch, BreaksOnceAfterCharacter80) {
    const struct {
        std::size_t length;
        std::string expected_shape; // line lengths
    } rows[] = {{1, "1"}, {80, "80"}, {81, "80,1"}, {200, "80,120"}};
    for (const auto &row : rows) {
        TextMonitorArea area;
        ZeilenUmbruch(area, std::string(row.length, 'x'));
        std::string shape;
        std::size_t start = 0, end;
        while ((end = area.text().find("\r\n", start)) != std::string::npos) {
            shape += (shape.empty() ? "" : ",") + std::to_string(end - start);
            start = end + 2;
        }
        EXPECT_EQ(shape, row.expected_shape) << row.length;
        EXPECT_EQ(start, area.text().size()) << "ends with CR LF";
        EXPECT_EQ(area.moves_to_end(), 1);
    }
}

TEST(ZeilenUmbruch, EmptyTextChangesNothing) {
    TextMonitorArea area;
    area.set_text("abc");
    ZeilenUmbruch(area, "");
    EXPECT_EQ(area.text(), "abc");
    EXPECT_EQ(area.moves_to_end(), 0);
}

TEST(ZeilenUmbruch, CountsCharactersNotBytes) {
    TextMonitorArea area;
    // 79 x plus an umlaut is 80 characters: one line
    std::string text(79, 'x');
    text += "\xFC";
    ZeilenUmbruch(area, text);
    EXPECT_EQ(area.text(), text + "\r\n");
}

TEST(ZeilenUmbruch, TwoLongTextsStayOnSeparateLines) {
    TextMonitorArea area;
    ZeilenUmbruch(area, std::string(85, 'a'));
    ZeilenUmbruch(area, std::string(85, 'b'));
    std::string expected(80, 'a');
    expected.append("\r\naaaaa\r\n").append(80, 'b').append("\r\nbbbbb\r\n");
    EXPECT_EQ(area.text(), expected);
}

TEST(Decoder, HexModeShowsEveryOpcodeUnwrapped) {
    testing::MonitorHarness m;
    m.vars.hex_on = kTrue;
    m.feed(bytes("B2 05 10 58 81 7E"));
    m.feed(bytes("E5 1E") + std::string(27, '\x01') + bytes("00"));
    EXPECT_EQ(m.trace.lines[0], "B2 05 10 58 ");
    EXPECT_EQ(m.trace.lines[1], "81 7E ");
    EXPECT_EQ(m.trace.lines[2].size(), 90u);
    const std::string area(m.area.text());
    EXPECT_EQ(area.substr(0, 20), "B2 05 10 58 \r\n81 7E ");
    EXPECT_EQ(area.find("\r\n", 22), area.size() - 2) << "the 90-character line is one line";
    EXPECT_EQ(m.area.moves_to_end(), 3);
}

TEST(Decoder, LongRenderingWrappedInAreaButWholeInTrace) {
    testing::MonitorHarness m;
    m.feed(bytes("E7 0E 7F 33 7F 10 3F 07 12 7F 0F 00 00 00"));
    ASSERT_EQ(m.trace.lines.size(), 1u);
    EXPECT_EQ(m.trace.lines[0].size(), 87u) << "85 characters, ü and ä two UTF-8 bytes each";
    EXPECT_EQ(m.area_utf8(),
              "Slot  127 = Lokadr. 16383, Geschw. 16 , Kat: 3 ,rückwärts F0 F1 F2 F3 F4 F5 F6 F\r\n"
              "7 F8 \r\n");
}

TEST(Decoder, HexListOfLongMessageWraps) {
    testing::MonitorHarness m;
    std::string msg = bytes("E5 1A") + std::string(23, '\x01') + bytes("00");
    m.feed(msg);
    EXPECT_EQ(m.trace.lines[0].size(), 5u + 26 * 3);
    EXPECT_EQ(m.area.text().find("\r\n"), 80u);
}

TEST(Decoder, CutsAreaAbove5000CharactersBeforeAppending) {
    const struct {
        std::size_t before;
        std::size_t kept;
    } rows[] = {{5000, 5000}, {5001, 4900}, {12000, 4900}};
    for (const auto &row : rows) {
        for (const char *msg : {"83 7C", "81 7E"}) {
            testing::MonitorHarness m;
            std::string old(row.before, 'x');
            old[old.size() - 4900] = 'K';
            m.area.set_text(old);
            m.feed(bytes(msg));
            const std::string line = msg[1] == '3' ? "Gleisspannung eingeschaltet\r\n" : "";
            EXPECT_EQ(m.area.text(), old.substr(old.size() - row.kept) + line)
                << row.before << " " << msg;
        }
    }
}

TEST(Decoder, TraceNeedsFlagNameAndText) {
    const struct {
        std::int16_t trace_on;
        const char *name;
        const char *stream;
        std::size_t records;
    } rows[] = {{kTrue, "t", "83 7C", 1},
                {kFalse, "t", "83 7C", 0},
                {kTrue, "", "83 7C", 0},
                {kTrue, "t", "81 7E", 0}};
    for (const auto &row : rows) {
        testing::MonitorHarness m;
        m.vars.trace_on = row.trace_on;
        m.vars.trace_name = QString::fromLatin1(row.name);
        m.feed(bytes(row.stream));
        EXPECT_EQ(m.trace.lines.size(), row.records) << row.stream << " " << row.name;
    }
}

TEST(Decoder, UnshownMessageLeavesAreaAndInsertionPointAlone) {
    testing::MonitorHarness m;
    m.vars.ascii_hex_on = kFalse;
    m.feed(bytes("85 7A 81 7E E4 05 00 00 00"));
    EXPECT_EQ(m.area.text(), "");
    EXPECT_EQ(m.area.moves_to_end(), 0);
}

// The written lines name no request: with the bus context not crediting
// replies to requests (what a plain --decode spares) they are the same, in
// the area and in the trace, with and without ASCII+HEX, on traffic full of
// requests and their replies.
TEST(Decoder, WrittenLinesAreTheSameWithoutRequestsTracked) {
    for (const bool ascii_hex : {false, true}) {
        for (const bool healthy : {false, true}) {
            testing::MonitorHarness tracked, untracked;
            untracked.path.context.set_requests_tracked(false);
            std::array<int, 2> answers{};
            std::array<Receiver::MessageListeners::Handle, 2> listening;
            int k = 0;
            for (testing::MonitorHarness *h : {&tracked, &untracked}) {
                h->vars.ascii_hex_on = ascii_hex ? kTrue : kFalse;
                listening[static_cast<std::size_t>(k)] =
                    h->path.receiver.listen([&answers, k](const loconet::Message &m) {
                        answers[static_cast<std::size_t>(k)] += m.known.answers != 0;
                    });
                h->feed(testing::mixed_traffic(3000, 17, healthy));
                ++k;
            }
            EXPECT_GT(answers[0], 100) << "replies credited where requests are tracked";
            EXPECT_EQ(answers[1], 0);
            EXPECT_EQ(untracked.trace.lines, tracked.trace.lines);
            EXPECT_EQ(untracked.area_utf8(), tracked.area_utf8());
            EXPECT_GT(tracked.trace.lines.size(), 2000u);
        }
    }
}

} // namespace
} // namespace bl
