// bus-lauscher-extcap as Wireshark runs it: a source that cannot be opened
// ends it at once with one line Wireshark can show, values that mean
// nothing are refused, a file of the user's is never overwritten, and a
// signal ends it wherever it waits for Wireshark.
#include "support/process.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bl {
namespace {

const QString kExtcap = QStringLiteral(BUSLAUSCHER_EXTCAP_BINARY);

QStringList capture_of(const QString &interface, const QString &fifo, QStringList more = {}) {
    return QStringList{QStringLiteral("--capture"), QStringLiteral("--extcap-interface"), interface,
                       QStringLiteral("--fifo"), fifo} +
           more;
}

TEST(ExtcapProgram, ASourceThatCannotBeOpenedEndsItWithOneLine) {
    QTemporaryDir dir;
    QProcess p;
    p.start(kExtcap, capture_of(QStringLiteral("bus-lauscher-tcp"),
                                dir.filePath(QStringLiteral("out.pcapng")),
                                {QStringLiteral("--port"), QStringLiteral("1"),
                                 QStringLiteral("--protocol"), QStringLiteral("tcp")}));
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(p.waitForFinished(10000)) << "it asks nothing and ends";
    EXPECT_LT(took.elapsed(), 3000);
    EXPECT_EQ(p.exitCode(), 1);
    const QByteArray err = p.readAllStandardError();
    EXPECT_EQ(err.count('\n'), 1) << err.left(500).data();
    EXPECT_TRUE(err.contains("127.0.0.1:1")) << err.data();
}

TEST(ExtcapProgram, RefusesJunkValuesAndNeverOverwritesAFile) {
    QTemporaryDir dir;
    const QString mine = dir.filePath(QStringLiteral("mine.txt"));
    QFile file(mine);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("meins");
    file.close();
    const QString fresh = dir.filePath(QStringLiteral("new.pcapng"));
    const struct {
        QStringList arguments;
        const char *said;
    } rows[] = {
        {capture_of(QStringLiteral("bus-lauscher-demo"), mine), "keine FIFO"},
        {capture_of(QStringLiteral("bus-lauscher-demo"), fresh,
                    {QStringLiteral("--rate"), QStringLiteral("viele")}),
         "--rate viele"},
        {capture_of(QStringLiteral("bus-lauscher-demo"), fresh,
                    {QStringLiteral("--rate"), QStringLiteral("0")}),
         "--rate 0"},
        {capture_of(QStringLiteral("bus-lauscher-tcp"), fresh,
                    {QStringLiteral("--port"), QStringLiteral("70000")}),
         "--port 70000"},
        {capture_of(QStringLiteral("bus-lauscher-tcp"), fresh,
                    {QStringLiteral("--protocol"), QStringLiteral("udp")}),
         "--protocol udp"},
    };
    for (const auto &row : rows) {
        QProcess p;
        p.start(kExtcap, row.arguments);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 2) << row.said;
        EXPECT_TRUE(p.readAllStandardError().contains(row.said)) << row.said;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("meins"));
    EXPECT_FALSE(QFile::exists(fresh));
}

// Waiting for Wireshark to open the FIFO, and blocked on a full FIFO that
// Wireshark no longer reads: a SIGTERM ends it either way.
TEST(ExtcapProgram, ASignalEndsItWhileItWaitsForWireshark) {
    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath(QStringLiteral("fifo")).toLocal8Bit();
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const QString path = QString::fromLocal8Bit(fifo);
    {
        QProcess waiting;
        waiting.start(kExtcap, capture_of(QStringLiteral("bus-lauscher-demo"), path));
        ASSERT_TRUE(waiting.waitForStarted());
        EXPECT_FALSE(waiting.waitForFinished(500)) << "it waits for the reader";
        testing::signal_process(waiting, SIGTERM);
        ASSERT_TRUE(waiting.waitForFinished(2000));
        EXPECT_EQ(waiting.exitCode(), 128 + SIGTERM);
    }
    QProcess blocked;
    blocked.start(kExtcap, capture_of(QStringLiteral("bus-lauscher-demo"), path,
                                      {QStringLiteral("--rate"), QStringLiteral("400")}));
    ASSERT_TRUE(blocked.waitForStarted());
    const int reader = ::open(fifo.constData(), O_RDONLY); // opened, never read
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(testing::wait_until(
        [reader] {
            int waiting = 0;
            return ::ioctl(reader, FIONREAD, &waiting) == 0 && waiting >= 60000;
        },
        20000))
        << "the FIFO fills";
    testing::signal_process(blocked, SIGTERM);
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(blocked.waitForFinished(5000));
    EXPECT_LT(took.elapsed(), 1500);
    ::close(reader);
}

} // namespace
} // namespace bl
