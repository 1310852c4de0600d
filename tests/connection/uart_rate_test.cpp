// Setting 16457 bit/s: the UART's five accesses, and every doubt leaving
// the UART alone for the driver's rate. A file stands in for /dev/port.
#include "connection/uart_rate.h"
#include "support/pty.h"
#include "transport/serial_port.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace bl {
namespace {

struct RecordingPortIo : PortIo {
    int line_control = 0x1B;
    QStringList accesses;
    int Inp32(int port) override {
        accesses << QStringLiteral("in %1").arg(port, 0, 16);
        return line_control;
    }
    bool Out32(int port, int value) override {
        accesses << QStringLiteral("out %1 %2").arg(port, 0, 16).arg(value, 0, 16);
        return true;
    }
};

TEST(Uart, FiveAccessesInOrderEveryOtherBitKept) {
    for (int base : {kCom1Base, kCom2Base}) {
        RecordingPortIo io;
        EXPECT_TRUE(program_uart_divisor(io, base));
        const int lcr = base + 3;
        EXPECT_EQ(io.accesses, (QStringList{QStringLiteral("in %1").arg(lcr, 0, 16),
                                            QStringLiteral("out %1 9b").arg(lcr, 0, 16),
                                            QStringLiteral("out %1 7").arg(base, 0, 16),
                                            QStringLiteral("out %1 0").arg(base + 1, 0, 16),
                                            QStringLiteral("out %1 1b").arg(lcr, 0, 16)}));
    }
}

// A stand-in for /dev/port: 1 KB of I/O space with the line control
// register of COM1 at 0x03.
struct StandIn {
    QTemporaryFile file;
    explicit StandIn(qint64 size = 0x400) {
        file.open();
        QByteArray space(size, '\0');
        if (size > 0x3FB)
            space[0x3FB] = 0x03;
        file.write(space);
        file.flush();
    }
    QByteArray space() {
        file.seek(0);
        return file.readAll();
    }
    DirectUartRate rate(std::optional<int> port_base, int &driver_asked) {
        const QByteArray path = file.fileName().toLocal8Bit();
        return DirectUartRate([path] { return open_dev_port(path.constData()); },
                              [port_base] { return port_base; },
                              [&driver_asked](int baud) {
                                  driver_asked = baud;
                                  return true;
                              });
    }
};

TEST(Uart, DivisorWrittenOnlyWhereThePortIsKnownToSit) {
    StandIn com1;
    int driver = 0;
    EXPECT_TRUE(com1.rate(kCom1Base, driver).set_16457(kCom1Base));
    EXPECT_EQ(driver, 0);
    const QByteArray space = com1.space();
    EXPECT_EQ(space[0x3F8], 7);
    EXPECT_EQ(space[0x3F9], 0);
    EXPECT_EQ(space[0x3FB], 0x03) << "divisor latch access off again";

    // the opened port sits elsewhere, or its driver does not tell
    for (const std::optional<int> elsewhere :
         {std::optional<int>(kCom2Base), std::optional<int>()}) {
        StandIn untouched;
        driver = 0;
        EXPECT_TRUE(untouched.rate(elsewhere, driver).set_16457(kCom1Base));
        EXPECT_EQ(driver, kComPortInterfaceBaud);
        EXPECT_EQ(untouched.space()[0x3F8], 0) << "the UART is left alone";
    }
}

TEST(Uart, ARegisterThatCannotBeReadIsNeverWritten) {
    StandIn short_space(0x3F0); // reads at 0x3FB find nothing
    int driver = 0;
    EXPECT_TRUE(short_space.rate(kCom1Base, driver).set_16457(kCom1Base));
    EXPECT_EQ(driver, kComPortInterfaceBaud);
    EXPECT_EQ(short_space.space().size(), 0x3F0) << "nothing written";

    int asked = 0;
    DirectUartRate neither([] { return nullptr; }, [] { return std::optional<int>(kCom1Base); },
                           [&asked](int baud) { return asked = baud, false; });
    EXPECT_FALSE(neither.set_16457(kCom1Base));
    EXPECT_EQ(asked, kComPortInterfaceBaud);
}

TEST(Uart, APseudoTerminalHasNoUartBase) {
    testing::PtyPair pty;
    SerialPort port;
    port.open(pty.device, {19200, 'n', 8, 1});
    EXPECT_EQ(uart_base_of(port.native_handle()), std::nullopt);
}

} // namespace
} // namespace bl
