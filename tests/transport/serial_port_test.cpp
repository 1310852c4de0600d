// The system's serial port on a pseudo-terminal: a full line is waited out,
// not taken for an unplugged device, and one device under two names is one.
#include "support/pty.h"
#include "transport/serial_port.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace bl {
namespace {

const LineSettings kUsb{115200, 'n', 8, 1};

struct OpenPort {
    testing::PtyPair pty;
    SerialPort port;
    std::vector<PortError> failures;
    explicit OpenPort(int drain_ms = SerialPort::kDrainMs) : port(drain_ms) {
        port.on_error([this](const PortFault &f) { failures.push_back(f.error); });
        port.open(pty.device, kUsb);
        pty.close_slave();
    }
};

TEST(SerialPort, AFullLineIsWaitedOutAndNothingIsLost) {
    OpenPort p;
    ASSERT_TRUE(p.port.is_open());
    // the far end reads at its own pace, far slower than the program writes
    std::atomic<bool> done{false};
    QByteArray received;
    std::thread reader([&] {
        while (!done) {
            received += p.pty.read_available();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        received += p.pty.read_available();
    });
    QByteArray sent;
    for (int i = 0; i < 4000; ++i) {
        const QByteArray message = QByteArray(64, static_cast<char>(i & 0x7F)).prepend('\xE5');
        p.port.write(message);
        sent += message;
    }
    done = true;
    reader.join();
    EXPECT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent) << "every byte, in order";
    EXPECT_TRUE(p.port.is_open());
    QCoreApplication::processEvents();
    EXPECT_TRUE(p.failures.empty());
}

TEST(SerialPort, AMessageALineCannotTakeGoesOutWholeOrNotAtAll) {
    OpenPort p(200);
    bool told = false;
    QByteArray sent;
    for (int i = 0; i < 100000 && !told; ++i) {
        // each message tells its number, so that a cut one shows
        const QByteArray message = QByteArray(64, static_cast<char>(i & 0x7F)).prepend('\xE5');
        try {
            p.port.write(message);
            sent += message;
        } catch (const RuntimeError &e) {
            told = true;
            EXPECT_TRUE(e.description.contains(QStringLiteral("nicht gesendet"))) << e.what();
        }
    }
    ASSERT_TRUE(told) << "the line never filled";
    EXPECT_TRUE(p.port.is_open()) << "a full line is not an unplugged device";
    QByteArray received;
    const auto drain = [&] {
        for (int i = 0; i < 200; ++i) {
            received += p.pty.read_available();
            QCoreApplication::processEvents();
        }
    };
    drain();
    const QByteArray next = QByteArray(64, '\x55').prepend('\xE5');
    p.port.write(next);
    sent += next;
    drain();
    EXPECT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent) << "the refused message is not on the line, not even in part";
    EXPECT_TRUE(p.failures.empty());
}

TEST(SerialPort, OneDeviceUnderTwoNamesIsInUse) {
    testing::PtyPair pty;
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("loconet"));
    ASSERT_TRUE(QFile::link(pty.device, link));
    SerialPort first, second;
    first.open(link, kUsb);
    try {
        second.open(pty.device, kUsb);
        FAIL() << "the same device opened twice";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number, err::kPortInUse);
    }
}

TEST(SerialPort, UnplugIsTheEndOfThePort) {
    OpenPort p;
    p.pty.close_master();
    p.port.read();
    for (int i = 0; i < 20 && p.failures.empty(); ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(p.failures, std::vector<PortError>{PortError::DeviceGone});
    EXPECT_FALSE(p.port.is_open());
}

} // namespace
} // namespace bl
