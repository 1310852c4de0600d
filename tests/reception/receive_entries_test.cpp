#include "reception/bus_health.h"
#include "reception/receive_entries.h"
#include "support/bytes.h"
#include "support/fake_dialogs.h"
#include "support/fake_port.h"
#include "support/monitor_harness.h"

#include <QCoreApplication>
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
    testing::FakePort *port = new testing::FakePort;
    SerialControl comm{std::unique_ptr<BytePort>(port)};
    testing::FakeDialogs dialogs;
    RecordingReporter reporter;
    ReceiveEntries entries{comm, m.path.receiver, dialogs, reporter};
    // threshold 1: the receive event is live; 0: the timer polls
    Entries(std::int16_t input_len, std::int16_t threshold) {
        comm.setOnComm([this] { entries.on_comm(); });
        comm.setRThreshold(threshold);
        comm.setPortOpen(true);
        comm.setInputLen(input_len);
    }
    void arrive(const char *hex) {
        port->arrive(QByteArray::fromStdString(bytes(hex)));
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
};

TEST(ReceiveEvent, FramesEveryByteOfOneReadAcrossReads) {
    Entries e(0, 1);
    e.arrive("B2 05 10 58 83");
    e.arrive("7C");
    EXPECT_EQ(e.m.trace.lines,
              (std::vector<std::string>{"Rückmelder 11 = belegt", "Gleisspannung eingeschaltet"}));
}

TEST(ReceiveEvent, ErrorShownInBoxTitledWithItsNumber) {
    Entries e(0, 1);
    e.arrive("83");
    e.port->fail_on_read =
        RuntimeError(err::kDeviceVanished, QStringLiteral("Comm1"), QStringLiteral("Gerät weg"));
    e.arrive("7C");
    ASSERT_EQ(e.dialogs.boxes.size(), 1u);
    EXPECT_EQ(e.dialogs.boxes[0].text, QStringLiteral("Gerät weg"));
    EXPECT_EQ(e.dialogs.boxes[0].title, QStringLiteral("8104"));
    EXPECT_EQ(e.dialogs.boxes[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(e.reporter.numbers.empty());
}

TEST(TimerTick, ReadsOneByteAtATimeUntilEmpty) {
    Entries e(1, 0);
    e.arrive("83 7C B2 05");
    e.entries.on_tick();
    EXPECT_EQ(e.comm.inBufferCount(), 0);
    e.arrive("10 58");
    e.entries.on_tick();
    EXPECT_EQ(e.m.trace.lines.size(), 2u);
}

// The timer meets the bytes first where the receive event waits behind it:
// a read of the whole buffer (input length 0) is framed whole, not cut to
// its first byte.
TEST(TimerTick, FramesEveryByteOfAWholeRead) {
    for (const int threshold : {0, 1}) {
        Entries e(0, static_cast<std::int16_t>(threshold));
        e.port->arriving = QByteArray::fromStdString(bytes("83 7C A0 05 20 7A B2 05"));
        e.entries.on_tick();
        e.arrive("10 58"); // by the receive event, or the next tick
        e.entries.on_tick();
        EXPECT_EQ(e.m.trace.lines,
                  (std::vector<std::string>{"Gleisspannung eingeschaltet", "Lok 0 = Geschw. 32",
                                            "Rückmelder 11 = belegt"}))
            << "threshold " << threshold;
    }
}

TEST(TimerTick, ErrorGoesToReportAndFramingStateStays) {
    Entries e(1, 0);
    e.arrive("B2 05");
    e.entries.on_tick();
    e.port->fail_on_read =
        RuntimeError(err::kInvalidPortNumber, QStringLiteral("Comm1"), QStringLiteral("x"));
    e.entries.on_tick();
    EXPECT_EQ(e.reporter.numbers, std::vector<int>{err::kInvalidPortNumber});
    EXPECT_EQ(e.m.vars.ln_count, 2);
    EXPECT_TRUE(e.dialogs.boxes.empty());
}

// Every byte is counted in the framing step, whichever entry brings it, so
// the bus load shows on the COM-port interface's polling path too.
TEST(ReceiveEntries, EveryEntryCountsTheBytesForTheLoad) {
    for (const bool polled : {false, true}) {
        Entries e(polled ? 1 : 0, polled ? 0 : 1);
        testing::FakeClock clock;
        BusHealth health(e.m.path.receiver, e.m.path.counts, e.m.path.echoes, clock,
                         [] { return QTime(12, 0); });
        health.tick();
        // a saturated second: 1646 bytes, 411 sensor reports and a bit
        std::string traffic;
        for (int i = 0; i < 411; ++i)
            traffic += "B2 05 10 58 ";
        e.arrive(traffic.c_str());
        if (polled)
            e.entries.on_tick();
        EXPECT_EQ(e.m.path.counts.bytes, 411u * 4) << polled;
        clock.now += 1.0 - clock.step_per_read;
        health.tick();
        EXPECT_TRUE(health.summary().contains(QStringLiteral("Last 100 %")))
            << polled << " " << health.summary().toStdString();
    }
}

TEST(TimerTick, PortNotOpenIsNotPolled) {
    Entries e(1, 0);
    e.comm.setPortOpen(false);
    e.entries.on_tick();
    e.entries.on_tick();
    EXPECT_TRUE(e.reporter.numbers.empty());
}

} // namespace
} // namespace bl
