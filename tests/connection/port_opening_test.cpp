// The port opening as the interface sees it: rates, line states and bytes
// in their order and at their times.
#include "connection/port_opening.h"
#include "connection/reconnect.h"
#include "support/fake_dialogs.h"
#include "support/fake_port.h"

#include <cmath>
#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::FakePort;

// Setting the rate shows on the device's timeline.
struct TimelineUartRate : UartRate {
    FakePort *port = nullptr;
    bool works = true;
    bool set_16457(int base) override {
        port->mark(QStringLiteral("divisor at %1").arg(base, 0, 16));
        return works;
    }
};

struct Opening {
    ModVariablen vars;
    testing::FakeClock clock;
    FakePort *port = new FakePort(&clock);
    SerialControl comm{std::unique_ptr<BytePort>(port)};
    testing::FakeDialogs dialogs;
    testing::FakeEventPump events{clock};
    TimelineUartRate uart;
    std::vector<bool> timer;
    PortOpening opening{
        vars, comm, dialogs, events, clock, uart, [this](bool on) { timer.push_back(on); }};

    Opening() { uart.port = port; }
    std::int16_t open(bool ln, bool usb, double number) {
        vars.ln_interface = ln ? kTrue : kFalse;
        vars.usb_interface = usb ? kTrue : kFalse;
        vars.comport_nr = number;
        std::int16_t err = 99;
        opening.open_interface(err);
        return err;
    }
    // an interface that answers each command with a reply holding "]"
    void answer_commands(const QByteArray &reply) {
        port->on_write = [this, reply](const QByteArray &b) {
            if (b == "\r")
                port->arriving += reply;
        };
    }
};

TEST(ComPortInterface, OpensAt19200ThenSetsTheDivisor) {
    Opening o;
    EXPECT_EQ(o.open(true, false, 2), 0);
    EXPECT_EQ(o.port->steps(), (QStringList{"open /dev/ttyS1 19200,n,8,1", "rts 1", "discard input",
                                            "divisor at 2f8"}));
    EXPECT_EQ(o.timer, std::vector<bool>{true}) << "polled by the timer";
}

TEST(ComPortInterface, OnlyCom1OrCom2) {
    for (double number : {3.0, 1.5, 0.0, -1.0}) {
        Opening o;
        EXPECT_EQ(o.open(true, false, number), 1) << number;
        ASSERT_EQ(o.dialogs.boxes.size(), 1u);
        EXPECT_EQ(o.dialogs.boxes[0].title, QStringLiteral("BUSLINK-UNIT"));
        EXPECT_EQ(o.dialogs.boxes[0].text,
                  QStringLiteral("Sie können das LocoNet-Interface nur mit Comport 1 oder "
                                 "Comport 2 benutzen!"));
        EXPECT_EQ(o.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(o.port->timeline.empty()) << "the port is not touched";
    }
    Opening one;
    EXPECT_EQ(one.open(true, false, 1.0), 0);
    EXPECT_TRUE(one.port->steps().contains(QStringLiteral("divisor at 3f8")));
}

TEST(ComPortInterface, RateThatCannotBeSetIsReported) {
    Opening o;
    o.uart.works = false;
    EXPECT_EQ(o.open(true, false, 1), 1);
    ASSERT_EQ(o.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(o.dialogs.boxes[0].text.contains(QStringLiteral("16457")));
    EXPECT_TRUE(o.timer.empty());
}

TEST(UsbInterface, OpensAt115200WithThePortRounded) {
    const struct {
        double entered;
        const char *device;
    } rows[] = {{3, "/dev/ttyS2"}, {1.5, "/dev/ttyS1"}, {2.5, "/dev/ttyS1"}, {3.5, "/dev/ttyS3"}};
    for (const auto &row : rows) {
        Opening o;
        EXPECT_EQ(o.open(true, true, row.entered), 0);
        EXPECT_EQ(
            o.port->steps(),
            (QStringList{QStringLiteral("open %1 115200,n,8,1").arg(row.device), "discard input"}));
        EXPECT_EQ(o.timer, std::vector<bool>{false}) << "receive events, no polling";
    }
    Opening path;
    path.vars.comport_device = QStringLiteral("/dev/ttyACM0");
    EXPECT_EQ(path.open(true, true, 0), 0);
    EXPECT_EQ(path.port->steps().first(), QStringLiteral("open /dev/ttyACM0 115200,n,8,1"));
}

TEST(SerialInterface, BreakAndTextCommandsThenLocoNetAt19200) {
    Opening o;
    o.answer_commands(" OK]\r\n");
    EXPECT_EQ(o.open(false, false, 4), 0);
    EXPECT_EQ(o.port->steps(),
              (QStringList{"open /dev/ttyS3 2400,n,8,2", "break 1", "break 0",
                           "write 78 42 31 39 32 30 30 0d", "close", "open /dev/ttyS3 19200,n,8,2",
                           "write 78 26 4c 4e 24 33 43 39 36 0d", "close",
                           "open /dev/ttyS3 19200,n,8,2"}));
    const double on = o.port->time_of("break 1"), off = o.port->time_of("break 0");
    EXPECT_GT(off - on, 1.0);
    EXPECT_LT(off - on, 1.05);
    const double first_char = o.port->timeline[3].at;
    EXPECT_GT(first_char - off, 0.3);
    EXPECT_LT(first_char - off, 0.35);
    EXPECT_EQ(o.timer, std::vector<bool>{false});
}

TEST(SerialInterface, ReplyOverSeveralReadsIsCollected) {
    Opening o;
    o.port->on_write = [&](const QByteArray &b) {
        if (b == "\r")
            o.port->trickle << "ec"
                            << ""
                            << "ho xB1"
                            << "9200 "
                            << "] more";
    };
    EXPECT_EQ(o.open(false, false, 1), 0);
    EXPECT_TRUE(o.port->trickle.isEmpty());
}

TEST(SerialInterface, ReplyWithoutBracketTimesOut) {
    Opening o;
    o.port->on_write = [&](const QByteArray &) { o.port->arriving += "?"; };
    const double start = o.clock.now;
    EXPECT_EQ(o.open(false, false, 1), 1);
    EXPECT_GT(o.clock.now - start, 1.3 + 5.0);
    EXPECT_TRUE(o.dialogs.boxes.empty()) << "no message";
    EXPECT_TRUE(o.comm.portOpen()) << "stays open at 2400 bit/s";
    EXPECT_FALSE(o.port->written.contains("x&LN"));
}

TEST(SerialInterface, ClearToSendNeverUpTimesOut) {
    Opening o;
    o.port->cts_line = false;
    EXPECT_EQ(o.open(false, false, 1), 1);
    EXPECT_TRUE(o.port->written.isEmpty());
    EXPECT_TRUE(o.dialogs.boxes.empty());
}

TEST(SendText, FiveSecondsCoverTheWholeText) {
    Opening o;
    ASSERT_EQ(o.open(true, true, 1), 0);
    int passes = 0;
    o.port->cts_fn = [&] { return ++passes <= 3; }; // CTS drops after three characters
    std::int16_t result = 7;
    const double start = o.clock.now;
    o.opening.send_text("abcdef", result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(o.port->written, QByteArray("abc"));
    EXPECT_GT(o.clock.now - start, 5.0);
    EXPECT_LT(o.clock.now - start, 5.1);
}

TEST(PortOpening, SerialLayerErrorIsToldAndTheQuestionComesAgain) {
    Opening o;
    o.port->fail_on_open = RuntimeError(err::kPortInUse, QStringLiteral("Comm1"),
                                        QStringLiteral("Anschluss /dev/ttyS2 wird schon benutzt"));
    EXPECT_EQ(o.open(true, true, 3), 1);
    ASSERT_EQ(o.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(o.dialogs.boxes[0].text.contains(QStringLiteral("COM3")));
    EXPECT_TRUE(o.dialogs.boxes[0].text.contains(QStringLiteral("wird schon benutzt")));
}

// The way back after a loss: attempts as soon as the device is there, and a
// connection that ends within a second of opening (a full server) makes the
// pause before the next attempt grow, 1 s up to 30 s, instead of knocking
// every second.
TEST(Reconnect, AShortLivedConnectionCountsAsAFailedAttempt) {
    Opening o;
    o.vars.ln_interface = kTrue;
    o.vars.usb_interface = kTrue;
    o.vars.comport_device = QStringLiteral("lbserver://full");
    QStringList notes;
    Reconnect reconnect(o.comm, o.opening, o.clock, [&](const QString &n) { notes << n; });
    const auto attempts = [&] { return o.port->steps().filter(QStringLiteral("open ")).size(); };
    std::int16_t err = 1;
    o.opening.open_interface(err);
    ASSERT_EQ(err, 0);
    reconnect.opened();
    std::vector<double> gaps;
    double last = o.clock.now;
    for (int second = 0; second < 40; ++second) {
        if (o.comm.portOpen()) { // the server takes the client and closes at once
            o.clock.now += 0.1;
            o.port->unplug();
            o.comm.setPortOpen(false);
            reconnect.lost({PortError::ConnectionLost, {}, {}});
        }
        o.clock.now += 1.0;
        const qsizetype before = attempts();
        reconnect.look();
        if (attempts() > before) {
            gaps.push_back(std::round(o.clock.now - last));
            last = o.clock.now;
        }
    }
    EXPECT_EQ(gaps, (std::vector<double>{1, 2, 4, 8, 16})) << "the pause doubles";
    EXPECT_EQ(notes.filter(QStringLiteral("wieder da")).size(), 5);
}

} // namespace
} // namespace bl
