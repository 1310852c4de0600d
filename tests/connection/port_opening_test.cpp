#include "connection/port_opening.h"
#include "shared/runtime_error.h"
#include "support/fake_clock.h"
#include "support/fake_dialogs.h"
#include "support/fake_serial.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

struct RecordingPortIo : PortIo {
    int line_control = 0x03;
    QStringList accesses;
    int Inp32(int port) override {
        accesses << QStringLiteral("in %1").arg(port, 0, 16);
        return line_control;
    }
    void Out32(int port, int value) override {
        accesses << QStringLiteral("out %1 %2").arg(port, 0, 16).arg(value, 0, 16);
    }
};

struct FixedUartRate : UartRate {
    bool works = true;
    std::vector<int> bases;
    bool set_16457(int base) override {
        bases.push_back(base);
        return works;
    }
};

struct Opening {
    ModVariablen vars;
    testing::FakeSerial comm;
    testing::FakeDialogs dialogs;
    testing::FakeClock clock;
    testing::FakeEventPump events{clock};
    FixedUartRate uart;
    std::vector<bool> timer;
    PortOpening opening{
        vars, comm, dialogs, events, clock, uart, [this](bool on) { timer.push_back(on); }};

    std::int16_t open(bool ln, bool usb, double port) {
        vars.ln_interface = ln ? kTrue : kFalse;
        vars.usb_interface = usb ? kTrue : kFalse;
        vars.comport_nr = port;
        std::int16_t err = 99;
        opening.open_interface(err);
        return err;
    }
    // an interface that answers each command with a reply holding "]"
    void answer_commands(const QByteArray &reply) {
        comm.on_output = [this, reply](const QByteArray &b) {
            if (b == "\r")
                comm.waiting += reply;
        };
    }
};

TEST(ComPortInterface, OperationsInOrder) {
    Opening o;
    EXPECT_EQ(o.open(true, false, 2), 0);
    EXPECT_EQ(o.comm.log.join(QLatin1Char(' ')),
              QStringLiteral("CommPort=2 RTSEnable=1 InputMode=0 Settings=19200,n,8,1 InputLen=1 "
                             "PortOpen=1 InBufferCount=0 SThreshold=0 RThreshold=0"));
    EXPECT_EQ(o.uart.bases, std::vector<int>{0x2F8});
    EXPECT_EQ(o.timer, std::vector<bool>{true});
}

TEST(ComPortInterface, OnlyCom1OrCom2) {
    for (double port : {3.0, 1.5, 0.0, -1.0}) {
        Opening o;
        EXPECT_EQ(o.open(true, false, port), 1) << port;
        ASSERT_EQ(o.dialogs.boxes.size(), 1u);
        EXPECT_EQ(o.dialogs.boxes[0].title, QStringLiteral("BUSLINK-UNIT"));
        EXPECT_EQ(o.dialogs.boxes[0].text,
                  QStringLiteral("Sie können das LocoNet-Interface nur mit Comport 1 oder "
                                 "Comport 2 benutzen!"));
        EXPECT_EQ(o.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(o.comm.log.isEmpty()) << "the port is not touched";
    }
    Opening one;
    EXPECT_EQ(one.open(true, false, 1.0), 0);
    EXPECT_EQ(one.uart.bases, std::vector<int>{0x3F8});
}

TEST(ComPortInterface, RateThatCannotBeSetIsReported) {
    Opening o;
    o.uart.works = false;
    EXPECT_EQ(o.open(true, false, 1), 1);
    ASSERT_EQ(o.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(o.dialogs.boxes[0].text.contains(QStringLiteral("16457")));
    EXPECT_TRUE(o.timer.empty());
}

TEST(UsbInterface, OperationsInOrderAndPortRounding) {
    const struct {
        double entered;
        int port;
    } rows[] = {{3, 3}, {1.5, 2}, {2.5, 2}, {3.5, 4}};
    for (const auto &row : rows) {
        Opening o;
        EXPECT_EQ(o.open(true, true, row.entered), 0);
        EXPECT_EQ(o.comm.log.join(QLatin1Char(' ')),
                  QStringLiteral("CommPort=%1 InputMode=0 Settings=115200,n,8,1 InputLen=0 "
                                 "Handshaking=0 PortOpen=1 InBufferCount=0 SThreshold=0 "
                                 "RThreshold=1")
                      .arg(row.port));
        EXPECT_EQ(o.timer, std::vector<bool>{false});
    }
}

TEST(UsbInterface, DevicePathInsteadOfNumber) {
    Opening o;
    o.vars.comport_device = QStringLiteral("/dev/ttyACM0");
    EXPECT_EQ(o.open(true, true, 0), 0);
    EXPECT_EQ(o.comm.log.first(), QStringLiteral("DevicePath=/dev/ttyACM0"));
}

TEST(SerialInterface, HandshakeThenLocoNetMode) {
    Opening o;
    o.answer_commands(" OK]\r\n");
    EXPECT_EQ(o.open(false, false, 4), 0);
    EXPECT_EQ(o.comm.written, QByteArray("xB19200\rx&LN$3C96\r"));
    EXPECT_EQ(o.comm.log.join(QLatin1Char(' ')),
              QStringLiteral("CommPort=4 Settings=2400,n,8,2 PortOpen=1 InputMode=0 InputLen=100 "
                             "Break=1 Break=0 OutBufferCount=0 PortOpen=0 Settings=19200,n,8,2 "
                             "PortOpen=1 OutBufferCount=0 PortOpen=0 InputLen=1 PortOpen=1 "
                             "SThreshold=0 RThreshold=1"));
    EXPECT_EQ(o.timer, std::vector<bool>{false});
}

TEST(SerialInterface, BreakLastsOneSecondThenThreeTenths) {
    Opening o;
    o.answer_commands("]");
    double break_on = 0, break_off = 0, first_char = 0;
    o.events.on_pass = [&] {
        if (o.comm.log.endsWith(QStringLiteral("Break=1")) && break_on == 0)
            break_on = o.clock.now;
        if (o.comm.log.endsWith(QStringLiteral("Break=0")) && break_off == 0)
            break_off = o.clock.now;
    };
    o.comm.on_output = [&](const QByteArray &b) {
        if (first_char == 0)
            first_char = o.clock.now;
        if (b == "\r")
            o.comm.waiting += "]";
    };
    EXPECT_EQ(o.open(false, false, 1), 0);
    EXPECT_GT(break_off - break_on, 1.0);
    EXPECT_LT(break_off - break_on, 1.05);
    EXPECT_GT(first_char - break_off, 0.3);
    EXPECT_LT(first_char - break_off, 0.35);
}

TEST(SerialInterface, ReplyOverSeveralReadsIsCollected) {
    Opening o;
    o.comm.on_output = [&](const QByteArray &b) {
        if (b == "\r")
            o.comm.trickle << "ec"
                           << ""
                           << "ho xB1"
                           << "9200 "
                           << "] more";
    };
    EXPECT_EQ(o.open(false, false, 1), 0);
    EXPECT_TRUE(o.comm.trickle.isEmpty());
}

TEST(SerialInterface, ReplyWithoutBracketTimesOut) {
    Opening o;
    o.comm.on_output = [&](const QByteArray &) { o.comm.waiting += "?"; };
    const double start = o.clock.now;
    EXPECT_EQ(o.open(false, false, 1), 1);
    EXPECT_GT(o.clock.now - start, 1.3 + 5.0);
    EXPECT_TRUE(o.dialogs.boxes.empty()) << "no message";
    EXPECT_TRUE(o.comm.open) << "stays open at 2400 bit/s";
    EXPECT_FALSE(o.comm.written.contains("x&LN"));
}

TEST(SerialInterface, ClearToSendNeverUpTimesOut) {
    Opening o;
    o.comm.cts = false;
    EXPECT_EQ(o.open(false, false, 1), 1);
    EXPECT_TRUE(o.comm.written.isEmpty());
    EXPECT_TRUE(o.dialogs.boxes.empty());
}

TEST(SendText, FiveSecondsCoverTheWholeText) {
    Opening o;
    int passes = 0;
    o.comm.cts_fn = [&] { return ++passes <= 3; }; // CTS drops after three characters
    std::int16_t result = 7;
    const double start = o.clock.now;
    o.opening.send_text("abcdef", result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(o.comm.written, QByteArray("abc"));
    EXPECT_GT(o.clock.now - start, 5.0);
    EXPECT_LT(o.clock.now - start, 5.1);
}

TEST(PortOpening, SerialLayerErrorIsToldAndRetried) {
    Opening o;
    o.comm.fail_on_open = RuntimeError(err::kPortInUse, QStringLiteral("Comm1"),
                                       QStringLiteral("Anschluss /dev/ttyS2 wird schon benutzt"));
    EXPECT_EQ(o.open(true, true, 3), 1);
    ASSERT_EQ(o.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(o.dialogs.boxes[0].text.contains(QStringLiteral("COM3")));
    EXPECT_TRUE(o.dialogs.boxes[0].text.contains(QStringLiteral("wird schon benutzt")));
}

TEST(Uart, FiveAccessesInOrder) {
    for (int base : {kCom1Base, kCom2Base}) {
        RecordingPortIo io;
        io.line_control = 0x1B; // every other bit is kept
        program_uart_divisor(io, base);
        const int lcr = base + 3;
        EXPECT_EQ(io.accesses, (QStringList{QStringLiteral("in %1").arg(lcr, 0, 16),
                                            QStringLiteral("out %1 9b").arg(lcr, 0, 16),
                                            QStringLiteral("out %1 7").arg(base, 0, 16),
                                            QStringLiteral("out %1 0").arg(base + 1, 0, 16),
                                            QStringLiteral("out %1 1b").arg(lcr, 0, 16)}));
    }
}

TEST(Uart, DriverTakesOverWherePortIoIsMissing) {
    RecordingPortIo *opened = nullptr;
    int driver_calls = 0;
    DirectUartRate with_io(
        [&] {
            auto io = std::make_unique<RecordingPortIo>();
            opened = io.get();
            return std::unique_ptr<PortIo>(std::move(io));
        },
        [&](int) { return ++driver_calls, true; });
    EXPECT_TRUE(with_io.set_16457(kCom1Base));
    EXPECT_EQ(driver_calls, 0);
    EXPECT_NE(opened, nullptr);

    int asked_baud = 0;
    DirectUartRate without_io([] { return nullptr; },
                              [&](int baud) { return asked_baud = baud, true; });
    EXPECT_TRUE(without_io.set_16457(kCom2Base));
    EXPECT_EQ(asked_baud, 16457);

    DirectUartRate neither([] { return nullptr; }, [](int) { return false; });
    EXPECT_FALSE(neither.set_16457(kCom1Base));
}

} // namespace
} // namespace bl
