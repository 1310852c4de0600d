// An interface unplugged and plugged in again during an evening: the
// console monitor says so and goes on, without a restart.
#include "support/process.h"

#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::wait_for_output;

// The simulated bus on a pseudo-terminal under a name that stays.
bool start_simulator(QProcess &sim, const QString &link) {
    sim.start(QStringLiteral(BUSLAUSCHER_SIM_BINARY),
              {QStringLiteral("--pty"), QStringLiteral("--rate"), QStringLiteral("50"),
               QStringLiteral("--link"), link});
    QByteArray device;
    return wait_for_output(sim, device, "\n", 5000);
}

TEST(ConsoleReconnect, UnpluggedAndBackTheMonitoringGoesOn) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("loconet"));
    QProcess first;
    ASSERT_TRUE(start_simulator(first, link));
    QProcess console;
    console.start(QStringLiteral(BUSLAUSCHER_BINARY),
                  {QStringLiteral("--console"), QStringLiteral("--interface"),
                   QStringLiteral("usb"), QStringLiteral("--port"), link});
    QByteArray out, err;
    ASSERT_TRUE(wait_for_output(console, out, "Lok "));

    first.kill(); // unplugged
    first.waitForFinished(5000);
    ASSERT_TRUE(wait_for_output(console, err, "verloren", 10000, QProcess::StandardError))
        << err.toStdString();
    QProcess second;
    ASSERT_TRUE(start_simulator(second, link)); // plugged in again
    ASSERT_TRUE(wait_for_output(console, err, (link + QStringLiteral(" wieder da")).toUtf8(), 10000,
                                QProcess::StandardError))
        << err.toStdString();
    console.setReadChannel(QProcess::StandardOutput);
    console.readAll();
    out.clear();
    EXPECT_TRUE(wait_for_output(console, out, " - ")) << "the new bus's messages are shown";
    EXPECT_EQ(err.count("Fehler Nr."), 1) << err.toStdString();

    testing::signal_process(console, SIGINT);
    EXPECT_TRUE(console.waitForFinished(5000));
    second.kill();
    second.waitForFinished(5000);
}

} // namespace
} // namespace bl
