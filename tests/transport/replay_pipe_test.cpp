// A capture shown in the window from a pipe, recorded as it is shown.
#include "support/process.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(ReplayFromAPipe, EveryShownMessageIsRecorded) {
    QFile sample(QStringLiteral(BUSLAUSCHER_SAMPLES_DIR "/layout-evening.capture"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray capture = sample.readAll();
    QProcess decode;
    decode.start(QStringLiteral(BUSLAUSCHER_BINARY), {QStringLiteral("--decode")});
    decode.write(capture);
    decode.closeWriteChannel();
    ASSERT_TRUE(decode.waitForFinished(5000));
    const auto shown = decode.readAllStandardOutput().count('\n');
    ASSERT_GT(shown, 10);

    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("Documents"));
    QProcess window;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    window.setProcessEnvironment(env);
    window.start(QStringLiteral(BUSLAUSCHER_BINARY),
                 {QStringLiteral("--replay"), QStringLiteral("/dev/stdin"),
                  QStringLiteral("--exit-after-replay"), QStringLiteral("--record")});
    window.write(capture); // through a pipe, which has no end until it is closed
    window.closeWriteChannel();
    ASSERT_TRUE(window.waitForFinished(10000));
    EXPECT_EQ(window.exitCode(), 0);
    const QDir documents(home.filePath(QStringLiteral("Documents")));
    const QStringList traces = documents.entryList({QStringLiteral("*.txt")}, QDir::Files);
    ASSERT_EQ(traces.size(), 1);
    QFile trace(documents.filePath(traces[0]));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    EXPECT_EQ(trace.readAll().count("\r\n"), shown);
}

} // namespace
} // namespace bl
