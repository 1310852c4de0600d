// The console monitor on a pseudo-terminal, through the real QSerialPort.
#include "support/pty.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// A real driving session where the captures are at hand, else our own sample.
QByteArray sample() {
    QFile real(QStringLiteral(BUSLAUSCHER_CORPUS_DIR "/pylnlib_session001.capture"));
    if (real.open(QIODevice::ReadOnly))
        return real.readAll();
    QFile ours(QStringLiteral(BUSLAUSCHER_SAMPLES_DIR "/layout-evening.capture"));
    return ours.open(QIODevice::ReadOnly) ? ours.readAll() : QByteArray();
}

QStringList decoded_lines(const QByteArray &bytes) {
    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY), {QStringLiteral("--decode")});
    p.write(bytes);
    p.closeWriteChannel();
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Waits, reading, until the output holds the number of lines wanted.
QStringList wait_for_lines(QProcess &p, QByteArray &out, int wanted) {
    QElapsedTimer t;
    t.start();
    while (out.count('\n') < wanted && t.elapsed() < 10000) {
        p.waitForReadyRead(100);
        out += p.readAllStandardOutput();
    }
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST(ConsoleOnPty, ShowsEveryMessageAndReportsUnplugOnce) {
    bl::testing::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    const QByteArray bytes = sample();
    ASSERT_FALSE(bytes.isEmpty());
    const QStringList expected = decoded_lines(bytes);

    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY),
            {QStringLiteral("--console"), QStringLiteral("--interface"), QStringLiteral("usb"),
             QStringLiteral("--port"), pty.device});
    ASSERT_TRUE(p.waitForStarted());
    QThread::msleep(300); // the program opens the port
    pty.close_slave();
    // the bytes arrive in two parts, the first ending inside a message
    ASSERT_TRUE(pty.write(bytes.left(101)));
    QThread::msleep(50);
    ASSERT_TRUE(pty.write(bytes.mid(101)));

    QByteArray out;
    const QStringList lines = wait_for_lines(p, out, static_cast<int>(expected.size()));
    ASSERT_EQ(lines.size(), expected.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // "000000.000 - text": the time stamp, then the decoder's line
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^\\d{6}[.,]\\d{3} - ")).match(lines[i]).hasMatch())
            << lines[i].toStdString();
        EXPECT_EQ(lines[i].mid(13), expected[i]);
    }

    pty.close_master(); // unplugged
    QElapsedTimer t;
    t.start();
    QByteArray err;
    while (!err.contains("8104") && t.elapsed() < 5000) {
        p.waitForReadyRead(100);
        err += p.readAllStandardError();
    }
    QThread::msleep(300);
    err += p.readAllStandardError();
    EXPECT_EQ(err.count("Fehler Nr."), 1) << err.toStdString();
    EXPECT_EQ(p.state(), QProcess::Running) << "no crash";

    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
}

TEST(ConsoleOnPty, MissingPortIsToldThenAskedAndUnansweredEnds) {
    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY),
            {QStringLiteral("--console"), QStringLiteral("--interface"), QStringLiteral("usb"),
             QStringLiteral("--port"), QStringLiteral("/dev/does-not-exist")});
    ASSERT_TRUE(p.waitForStarted());
    p.closeWriteChannel(); // nobody answers the port question: the program ends
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("/dev/does-not-exist"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("Comport Nummer:"))) << err.toStdString();
}

} // namespace

namespace {

TEST(ConsoleOnPty, TypedLinesAreSent) {
    bl::testing::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY),
            {QStringLiteral("--console"), QStringLiteral("--interface"), QStringLiteral("usb"),
             QStringLiteral("--port"), pty.device});
    ASSERT_TRUE(p.waitForStarted());
    QThread::msleep(300);
    pty.close_slave();
    p.write("B0 00 10\nB0 100 10\n  B0   00 30 \n");
    p.waitForBytesWritten(2000);
    QByteArray line;
    QElapsedTimer t;
    t.start();
    while (line.size() < 8 && t.elapsed() < 5000) {
        QThread::msleep(20);
        line += pty.read_available();
    }
    EXPECT_EQ(line.toHex(), QByteArray("b000105fb000307f"));
    p.waitForReadyRead(500);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("\"100\" ist kein Byte"))) << err.toStdString();
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    EXPECT_TRUE(p.waitForFinished(5000));
}

} // namespace
