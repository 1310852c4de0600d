// A recording program killed outright keeps every line it wrote.
#include "support/process.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(KilledRecording, EveryWrittenLineIsInTheFile) {
    QTemporaryDir home;
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Documents")));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(BUSLAUSCHER_BINARY),
            {QStringLiteral("--demo"), QStringLiteral("--rate"), QStringLiteral("400"),
             QStringLiteral("--record")});
    ASSERT_TRUE(p.waitForStarted());
    const QDir documents(home.path() + QStringLiteral("/Documents"));
    // killed while it records: once the file holds some hundred records
    ASSERT_TRUE(testing::wait_until([&] {
        const QStringList traces = documents.entryList({QStringLiteral("*.txt")}, QDir::Files);
        return !traces.isEmpty() && QFileInfo(documents.filePath(traces[0])).size() > 5000;
    }));
    testing::signal_process(p, SIGKILL);
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);

    const QStringList files = QDir(home.path() + QStringLiteral("/Documents"))
                                  .entryList({QStringLiteral("*.txt")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QFile f(home.path() + QStringLiteral("/Documents/") + files[0]);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n")) << "no line is cut short";
    const QList<QByteArray> lines = bytes.split('\n');
    EXPECT_GT(lines.size(), 100);
    static const QRegularExpression record(QStringLiteral("^\\d{6}[.,]\\d{3} - .+\\r$"));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(record.match(QString::fromLatin1(lines[i])).hasMatch())
            << lines[i].toStdString();
}

} // namespace
} // namespace bl
