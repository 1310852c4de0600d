// The simulator served on a pseudo-terminal, monitored by the console
// through the real serial stack.
#include "support/process.h"

#include <csignal>
#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::wait_for_output;

TEST(SimulatorOnPty, ConsoleMonitorsAndSendsThroughQSerialPort) {
    QProcess sim;
    sim.start(QStringLiteral(BUSLAUSCHER_SIM_BINARY),
              {QStringLiteral("--pty"), QStringLiteral("--rate"), QStringLiteral("30")});
    QByteArray device;
    ASSERT_TRUE(wait_for_output(sim, device, "\n", 5000));
    device = device.trimmed();
    ASSERT_TRUE(device.startsWith("/dev/"));

    QProcess console;
    console.start(QStringLiteral(BUSLAUSCHER_BINARY),
                  {QStringLiteral("--console"), QStringLiteral("--interface"),
                   QStringLiteral("usb"), QStringLiteral("--port"),
                   QString::fromLocal8Bit(device)});
    QByteArray out;
    EXPECT_TRUE(wait_for_output(console, out, "Lok ")) << out.toStdString();
    console.write("B0 00 10\n");
    console.waitForBytesWritten(5000);
    EXPECT_TRUE(wait_for_output(console, out, " - Mag.-Art.: 1 - rot - ein \n"))
        << out.toStdString();

    ::kill(static_cast<pid_t>(console.processId()), SIGINT);
    EXPECT_TRUE(console.waitForFinished(5000));
    EXPECT_EQ(console.exitCode(), 0);
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(5000));
}

} // namespace
} // namespace bl
