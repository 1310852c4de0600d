// The simulator served on a pseudo-terminal, monitored by the console
// through the real serial stack.
#include "support/process.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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

    testing::signal_process(console, SIGINT);
    EXPECT_TRUE(console.waitForFinished(5000));
    EXPECT_EQ(console.exitCode(), 0);
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(5000));
}

// --link replaces only a link to a pseudo-terminal; a file of the user's at
// that path is left as it is.
TEST(SimulatorOnPty, ALinkNeverReplacesAFileOfTheUsers) {
    QTemporaryDir dir;
    const QString precious = dir.filePath(QStringLiteral("precious.txt"));
    QFile file(precious);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Fahrplan\n");
    file.close();
    QProcess sim;
    sim.start(QStringLiteral(BUSLAUSCHER_SIM_BINARY),
              {QStringLiteral("--pty"), QStringLiteral("--link"), precious});
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 1);
    EXPECT_TRUE(sim.readAllStandardError().contains("es bleibt unberührt"));
    EXPECT_FALSE(QFileInfo(precious).isSymLink());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Fahrplan\n"));
}

} // namespace
} // namespace bl
