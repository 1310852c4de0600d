#include "reception/receive_entries.h"
#include "support/bytes.h"
#include "support/fake_dialogs.h"
#include "support/fake_serial.h"
#include "support/monitor_harness.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::bytes;

struct RecordingReporter : ErrorReporter {
    std::vector<int> numbers;
    void report_error(const RuntimeError &e) override { numbers.push_back(e.number); }
};

struct Entries {
    testing::MonitorHarness m;
    testing::FakeSerial comm;
    testing::FakeDialogs dialogs;
    RecordingReporter reporter;
    ReceiveEntries entries{comm, m.receiver, dialogs, reporter};
    Entries() { comm.open = true; }
};

TEST(ReceiveEvent, FramesEveryByteOfOneRead) {
    Entries e;
    e.comm.input_len = 0;
    e.comm.waiting = QByteArray::fromStdString(bytes("B2 05 10 58 83"));
    e.entries.on_comm();
    EXPECT_TRUE(e.comm.waiting.isEmpty());
    e.comm.waiting = QByteArray::fromStdString(bytes("7C"));
    e.entries.on_comm();
    EXPECT_EQ(e.m.trace.records,
              (std::vector<std::string>{"Rückmelder 11 = belegt", "Gleisspannung eingeschaltet"}));
}

TEST(ReceiveEvent, OneBytePerReadWhenInputLenIsOne) {
    Entries e;
    e.comm.input_len = 1;
    e.comm.waiting = QByteArray::fromStdString(bytes("83 7C"));
    e.entries.on_comm();
    EXPECT_EQ(e.comm.waiting.size(), 1);
    EXPECT_TRUE(e.m.trace.records.empty());
}

TEST(ReceiveEvent, OtherEventCodesIgnored) {
    Entries e;
    e.comm.event = 1;
    e.comm.waiting = QByteArray::fromStdString(bytes("83 7C"));
    e.entries.on_comm();
    EXPECT_EQ(e.comm.waiting.size(), 2);
}

TEST(ReceiveEvent, ErrorShownInBoxTitledWithItsNumber) {
    Entries e;
    e.comm.fail_on_input = RuntimeError(err::kDeviceVanished, QStringLiteral("Comm1"),
                                        QStringLiteral("Gerät entfernt"));
    e.entries.on_comm();
    ASSERT_EQ(e.dialogs.boxes.size(), 1u);
    EXPECT_EQ(e.dialogs.boxes[0].text, QStringLiteral("Gerät entfernt"));
    EXPECT_EQ(e.dialogs.boxes[0].title, QStringLiteral("8104"));
    EXPECT_EQ(e.dialogs.boxes[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(e.reporter.numbers.empty());
}

TEST(TimerTick, ReadsOneByteAtATimeUntilEmpty) {
    Entries e;
    e.comm.input_len = 1;
    e.comm.waiting = QByteArray::fromStdString(bytes("83 7C B2 05"));
    e.entries.on_tick();
    EXPECT_TRUE(e.comm.waiting.isEmpty());
    e.comm.waiting = QByteArray::fromStdString(bytes("10 58"));
    e.entries.on_tick();
    EXPECT_EQ(e.m.trace.records.size(), 2u);
}

TEST(TimerTick, ErrorGoesToReportAndStateStays) {
    Entries e;
    e.comm.input_len = 1;
    e.comm.waiting = QByteArray::fromStdString(bytes("B2 05"));
    e.entries.on_tick();
    e.comm.fail_on_count =
        RuntimeError(err::kInvalidPortNumber, QStringLiteral("Comm1"), QStringLiteral("x"));
    e.entries.on_tick();
    EXPECT_EQ(e.reporter.numbers, std::vector<int>{err::kInvalidPortNumber});
    EXPECT_EQ(e.m.vars.ln_count, 2);
    EXPECT_TRUE(e.dialogs.boxes.empty());
}

TEST(TimerTick, PortNotOpenIsNotPolled) {
    Entries e;
    e.comm.open = false;
    e.comm.fail_on_count =
        RuntimeError(err::kPortNotOpen, QStringLiteral("Comm1"), QStringLiteral("x"));
    e.entries.on_tick();
    e.entries.on_tick();
    EXPECT_TRUE(e.reporter.numbers.empty());
}

} // namespace
} // namespace bl
