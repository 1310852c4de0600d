// --record with the console monitor: the trace file as the window writes it,
// and a trace that cannot be written ends the recording, not the monitoring.
#include "support/process.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace bl {
namespace {

struct RecordingConsole {
    QTemporaryDir home;
    QProcess p;
    explicit RecordingConsole(rlim_t most_file_bytes = RLIM_INFINITY) {
        // no Documents folder yet, as on a fresh system: the recording makes it
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        p.setProcessEnvironment(env);
        // a file that may not grow beyond a limit, as on a full disk; the
        // program meets the limit as it is, its signal not ignored for it
        p.setChildProcessModifier([most_file_bytes] {
            const rlimit limit{most_file_bytes, most_file_bytes};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        p.start(QStringLiteral(BUSLAUSCHER_BINARY),
                {QStringLiteral("--console"), QStringLiteral("--demo"), QStringLiteral("--rate"),
                 QStringLiteral("200"), QStringLiteral("--record")});
    }
    QByteArray trace() const {
        const QDir documents(home.filePath(QStringLiteral("Documents")));
        const QStringList files = documents.entryList({QStringLiteral("*.txt")}, QDir::Files);
        QFile f(documents.filePath(files.value(0)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST(ConsoleRecord, TheTraceHoldsEveryPrintedLineAsTheWindowWritesIt) {
    RecordingConsole c;
    QByteArray out;
    ASSERT_TRUE(testing::wait_until([&] {
        c.p.waitForReadyRead(50);
        return (out += c.p.readAllStandardOutput()).count('\n') > 50;
    }));
    testing::signal_process(c.p, SIGINT);
    ASSERT_TRUE(c.p.waitForFinished(5000));
    out += c.p.readAllStandardOutput();
    // UTF-8 and LF on the terminal; Windows-1252 and CR LF in the file, each
    // line with its own time stamp
    const QList<QByteArray> printed = QString::fromUtf8(out).toLatin1().split('\n');
    const QList<QByteArray> recorded = c.trace().split('\n');
    ASSERT_EQ(recorded.size(), printed.size());
    for (qsizetype i = 0; i + 1 < printed.size(); ++i) {
        EXPECT_TRUE(recorded[i].endsWith('\r'));
        EXPECT_EQ(recorded[i].chopped(1).mid(10), printed[i].mid(10));
    }
}

TEST(ConsoleRecord, AFullFileEndsTheRecordingWithOneLineAndTheMonitorGoesOn) {
    RecordingConsole c(2000);
    QByteArray err;
    ASSERT_TRUE(testing::wait_for_output(c.p, err, "Aufzeichnung wurde beendet", 10000,
                                         QProcess::StandardError));
    QByteArray out = c.p.readAllStandardOutput();
    const auto printed = out.count('\n');
    ASSERT_TRUE(testing::wait_until([&] {
        c.p.waitForReadyRead(50);
        return (out += c.p.readAllStandardOutput()).count('\n') > printed + 20;
    }));
    testing::signal_process(c.p, SIGINT);
    ASSERT_TRUE(c.p.waitForFinished(5000));
    err += c.p.readAllStandardError();
    EXPECT_EQ(err.count("Verlaufsdatei"), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("die Datei darf nicht größer werden")) << err.toStdString();
    EXPECT_TRUE(c.trace().endsWith("\r\n")) << "whole records only";
}

} // namespace
} // namespace bl
