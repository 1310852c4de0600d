// Comm1 over a scripted port: the receive event, input lengths, and the
// serial control's own errors.
#include "connection/serial_control.h"
#include "support/fake_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace bl {
namespace {

struct Comm1 {
    testing::FakePort *port = new testing::FakePort;
    SerialControl comm{std::unique_ptr<BytePort>(port)};
    QList<QByteArray> reads; // what each receive event read
    Comm1(std::int16_t input_len, std::int16_t threshold) {
        comm.setOnComm([this] { reads << comm.input(); });
        comm.setInputLen(input_len);
        comm.setRThreshold(threshold);
        comm.setPortOpen(true);
    }
    // Runs the event loop until the events have stopped.
    void settle() {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
};

TEST(SerialControl, ReceiveEventRunsFromTheEventLoopWhileThresholdIsOne) {
    Comm1 c(0, 1);
    c.port->arrive("\x83\x7C");
    EXPECT_TRUE(c.reads.isEmpty()) << "not inside the code that delivered the bytes";
    c.settle();
    EXPECT_EQ(c.reads, QList<QByteArray>{"\x83\x7C"});

    Comm1 polled(0, 0);
    polled.port->arrive("\x83\x7C");
    polled.settle();
    EXPECT_TRUE(polled.reads.isEmpty()) << "no receive events at threshold 0";
    EXPECT_EQ(polled.comm.inBufferCount(), 2);
}

TEST(SerialControl, OneBytePerReadTheRestWithTheNextEvents) {
    Comm1 c(1, 1);
    c.port->arrive("abc");
    c.settle();
    EXPECT_EQ(c.reads, (QList<QByteArray>{"a", "b", "c"}));
}

TEST(SerialControl, OwnErrorsByNumber) {
    const auto number = [](const std::function<void()> &operation) {
        try {
            operation();
        } catch (const RuntimeError &e) {
            return e.number;
        }
        return 0;
    };
    Comm1 c(0, 0);
    EXPECT_EQ(number([&] { c.comm.setCommPort(2); }), 8000) << "not while open";
    EXPECT_EQ(number([&] { c.comm.setPortOpen(true); }), 8005);
    EXPECT_EQ(number([&] { c.comm.setSettings(QStringLiteral("19200,x,8,1")); }), 380);
    c.comm.setPortOpen(false);
    EXPECT_EQ(number([&] { c.comm.setCommPort(0); }), 8002);
    EXPECT_EQ(number([&] { c.comm.setCommPort(256); }), 8002);
    EXPECT_EQ(number([&] { c.comm.input(); }), 8018);
    EXPECT_EQ(number([&] { c.comm.output("x"); }), 8018);
    EXPECT_EQ(number([&] { c.comm.ctsHolding(); }), 8018);
}

TEST(SerialControl, SettingsReachAnOpenPortAndTheNextOpening) {
    Comm1 c(0, 0);
    c.comm.setSettings(QStringLiteral("2400,n,8,2"));
    c.comm.setPortOpen(false);
    c.comm.setDevicePath(QStringLiteral("/dev/ttyACM0"));
    c.comm.setPortOpen(true);
    EXPECT_EQ(c.port->steps(), (QStringList{"open /dev/ttyS0 19200,n,8,1", "line 2400,n,8,2",
                                            "close", "open /dev/ttyACM0 2400,n,8,2"}));
}

TEST(SerialControl, UnplugIsToldOnceAndStopsTheEvents) {
    Comm1 c(0, 1);
    std::vector<PortError> failures;
    c.comm.setOnPortError([&](const PortFault &f) { failures.push_back(f.error); });
    c.port->arrive("\x83");
    c.port->unplug();
    c.settle();
    EXPECT_EQ(failures, std::vector<PortError>{PortError::DeviceGone});
    EXPECT_FALSE(c.comm.portOpen());
    EXPECT_TRUE(c.reads.isEmpty());
}

} // namespace
} // namespace bl
