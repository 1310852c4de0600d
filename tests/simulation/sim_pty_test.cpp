// The simulator served on a pseudo-terminal, monitored by the console
// through the real serial stack.
#include <QElapsedTimer>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

namespace {

bool wait_for(QProcess &p, QByteArray &out, const QByteArray &wanted, int ms) {
    QElapsedTimer t;
    t.start();
    while (!out.contains(wanted) && t.elapsed() < ms) {
        p.waitForReadyRead(50);
        out += p.readAllStandardOutput();
    }
    return out.contains(wanted);
}

TEST(SimulatorOnPty, ConsoleMonitorsAndSendsThroughQSerialPort) {
    QProcess sim;
    sim.start(QStringLiteral(BUSLAUSCHER_SIM_BINARY),
              {QStringLiteral("--pty"), QStringLiteral("--rate"), QStringLiteral("30")});
    ASSERT_TRUE(sim.waitForStarted());
    QByteArray device;
    ASSERT_TRUE(wait_for(sim, device, "\n", 5000));
    device = device.trimmed();
    ASSERT_TRUE(device.startsWith("/dev/"));

    QProcess console;
    console.start(QStringLiteral(BUSLAUSCHER_BINARY),
                  {QStringLiteral("--console"), QStringLiteral("--interface"),
                   QStringLiteral("usb"), QStringLiteral("--port"),
                   QString::fromLocal8Bit(device)});
    ASSERT_TRUE(console.waitForStarted());
    QByteArray out;
    EXPECT_TRUE(wait_for(console, out, "Lok ", 5000)) << out.toStdString();
    console.write("B0 00 10\n");
    console.waitForBytesWritten(1000);
    EXPECT_TRUE(wait_for(console, out, " - Mag.-Art.: 1 - rot - ein \n", 5000))
        << out.toStdString();

    ::kill(static_cast<pid_t>(console.processId()), SIGINT);
    EXPECT_TRUE(console.waitForFinished(5000));
    EXPECT_EQ(console.exitCode(), 0);
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(5000));
}

} // namespace
