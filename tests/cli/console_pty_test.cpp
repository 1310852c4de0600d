// The console monitor on a pseudo-terminal, through the real QSerialPort.
#include "support/process.h"
#include "support/pty.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::wait_for_output;

// A real driving session where the captures are at hand, else our own sample.
QByteArray sample() {
    QFile real(QStringLiteral(BUSLAUSCHER_CORPUS_DIR "/pylnlib_session001.capture"));
    if (real.open(QIODevice::ReadOnly))
        return real.readAll();
    QFile ours(QStringLiteral(BUSLAUSCHER_SAMPLES_DIR "/layout-evening.capture"));
    return ours.open(QIODevice::ReadOnly) ? ours.readAll() : QByteArray();
}

QByteArray decoded(const QByteArray &bytes) {
    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY), {QStringLiteral("--decode")});
    p.write(bytes);
    p.closeWriteChannel();
    p.waitForFinished(10000);
    return p.readAllStandardOutput();
}

// The console monitor on the pair's device, once it holds the port.
struct Console {
    testing::PtyPair pty;
    QProcess p;
    explicit Console(QStringList extra = {}) {
        p.start(QStringLiteral(BUSLAUSCHER_BINARY),
                QStringList{QStringLiteral("--console"), QStringLiteral("--interface"),
                            QStringLiteral("usb"), QStringLiteral("--port"), pty.device} +
                    extra);
    }
    bool ready() {
        const bool opened = pty.ok() && p.waitForStarted() && testing::wait_until([this] {
                                return testing::holds_open(p.processId(), pty.device);
                            });
        pty.close_slave();
        return opened;
    }
    // Ctrl-C; returns what was written to standard error until the end.
    QByteArray interrupt() {
        testing::signal_process(p, SIGINT);
        p.waitForFinished(5000);
        return p.readAllStandardError();
    }
};

TEST(ConsoleOnPty, ShowsEveryMessageAndReportsUnplugOnce) {
    Console c;
    ASSERT_TRUE(c.ready());
    const QByteArray bytes = sample();
    ASSERT_FALSE(bytes.isEmpty());
    const QList<QByteArray> expected = decoded(bytes).split('\n');
    // the bytes arrive in two parts, the first ending inside a message
    ASSERT_TRUE(c.pty.write(bytes.left(101)));
    ASSERT_TRUE(c.pty.write(bytes.mid(101)));

    QByteArray out;
    ASSERT_TRUE(wait_for_output(c.p, out, expected.at(expected.size() - 2) + '\n'));
    const QList<QByteArray> lines = out.split('\n');
    ASSERT_EQ(lines.size(), expected.size());
    static const QRegularExpression stamp(QStringLiteral("^\\d{6}[.,]\\d{3} - "));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_TRUE(stamp.match(QString::fromUtf8(lines[i])).hasMatch()) << lines[i].toStdString();
        EXPECT_EQ(lines[i].mid(13), expected[i]);
    }

    c.pty.close_master(); // unplugged
    QByteArray err;
    ASSERT_TRUE(wait_for_output(c.p, err, "8104", 5000, QProcess::StandardError));
    EXPECT_EQ(c.p.state(), QProcess::Running) << "no crash";
    err += c.interrupt();
    EXPECT_EQ(err.count("Fehler Nr."), 1) << err.toStdString();
    EXPECT_EQ(c.p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(c.p.exitCode(), 0);
}

TEST(ConsoleOnPty, TypedLinesAreSent) {
    Console c;
    ASSERT_TRUE(c.ready());
    // a line longer than any message is refused, and the next one still goes
    c.p.write("B0 00 10\n" + QByteArray(5000, 'B') + "\nB0 100 10\n  B0   00 30 \n");
    ASSERT_TRUE(c.p.waitForBytesWritten(5000));
    QByteArray line;
    ASSERT_TRUE(testing::wait_until([&] { return (line += c.pty.read_available()).size() >= 8; }));
    EXPECT_EQ(line.toHex(), QByteArray("b000105fb000307f"));
    const QByteArray err = c.interrupt();
    EXPECT_TRUE(err.contains("\"100\" ist kein Byte")) << err.toStdString();
    EXPECT_EQ(err.count("länger als 4096"), 1) << err.toStdString();
}

// Thousands of typed lines for a device that stopped reading: a polite kill
// ends the program within a second all the same, with its report.
TEST(ConsoleOnPty, AKillEndsItWhateverIsQueued) {
    Console c({QStringLiteral("--stats")});
    ASSERT_TRUE(c.ready()); // the test never reads the master: the line fills
    QByteArray typed;
    for (int i = 0; i < 3700; ++i)
        typed += "E5 10 7F 00 00 00 00 00 00 00 00 00 00 00 00\n";
    c.p.write(typed);
    QTest::qWait(500); // the line is full by now and a write waits
    QElapsedTimer took;
    took.start();
    testing::signal_process(c.p, SIGTERM);
    ASSERT_TRUE(c.p.waitForFinished(5000));
    EXPECT_LT(took.elapsed(), 1000);
    EXPECT_TRUE(c.p.readAllStandardError().contains("Meldungen: ")) << "the report, as on Ctrl-C";
}

// A hang-up ends the console as Ctrl-C does, with the report.
TEST(ConsoleOnPty, AHangUpEndsItWithTheReport) {
    Console c({QStringLiteral("--stats")});
    ASSERT_TRUE(c.ready());
    testing::signal_process(c.p, SIGHUP);
    ASSERT_TRUE(c.p.waitForFinished(5000));
    EXPECT_EQ(c.p.exitCode(), 0);
    EXPECT_TRUE(c.p.readAllStandardError().contains("Meldungen: 0\n"));
}

TEST(Console, QuestionsAnsweredOnStandardInput) {
    const struct {
        QStringList args;
        QByteArray input;
        const char *told; // on standard error
        int status;
    } rows[] = {
        // a missing port is told, the question comes again, nobody answers
        {{"--interface", "usb", "--port", "/dev/does-not-exist"},
         "",
         "Der Anschluss /dev/does-not-exist kann nicht benutzt werden",
         1},
        {{}, "n\nj\n0\nj\n", "MONITOR - Comport Nummer: [3] Fehler: Comport Nummer falsch!\n", 0},
        // an answer longer than any answer could be is refused, not kept
        {{"--interface", "usb"},
         QByteArray(1 << 20, '7').append("\n").constData(),
         "Die Antwort ist länger als 4096 Zeichen",
         1},
    };
    for (const auto &row : rows) {
        QProcess p;
        p.start(QStringLiteral(BUSLAUSCHER_BINARY),
                QStringList{QStringLiteral("--console")} + row.args);
        p.write(row.input);
        p.closeWriteChannel();
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitCode(), row.status);
        const QByteArray err = p.readAllStandardError();
        EXPECT_TRUE(err.contains(row.told)) << err.toStdString();
    }
}

// A signal while a start-up question waits for its answer ends the
// program at once, with the signal's status, never later and silently.
TEST(Console, ASignalAtAStartUpQuestionEndsIt) {
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        QProcess p;
        p.start(QStringLiteral(BUSLAUSCHER_BINARY), {QStringLiteral("--console")});
        QByteArray err;
        ASSERT_TRUE(wait_for_output(p, err, "(j/n)", 5000, QProcess::StandardError));
        testing::signal_process(p, sig);
        QElapsedTimer took;
        took.start();
        ASSERT_TRUE(p.waitForFinished(5000)) << sig;
        EXPECT_LT(took.elapsed(), 1000) << sig;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << sig;
        EXPECT_EQ(p.exitCode(), 128 + sig) << sig;
    }
}

} // namespace
} // namespace bl
