// The console monitor on a bus shared over the network: as a client of a
// line-protocol server and of a raw-bytes server, and as a server itself.
#include "loconet/framer.h"
#include "support/process.h"
#include "support/scripted_peer.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace bl {
namespace {

using testing::wait_for_output;

QByteArray sample() {
    QFile f(QStringLiteral(BUSLAUSCHER_SAMPLES_DIR "/layout-evening.capture"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What a USB interface would show for the same bytes.
QList<QByteArray> decoded(const QByteArray &bytes) {
    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY), {QStringLiteral("--decode")});
    p.write(bytes);
    p.closeWriteChannel();
    p.waitForFinished(5000);
    return p.readAllStandardOutput().split('\n');
}

struct Console {
    QProcess p;
    QByteArray out, err;
    explicit Console(QStringList args) {
        p.start(QStringLiteral(BUSLAUSCHER_BINARY),
                QStringList{QStringLiteral("--console")} + args);
    }
    bool shows(const QByteArray &text) { return wait_for_output(p, out, text); }
    bool tells(const QByteArray &text) {
        return wait_for_output(p, err, text, 10000, QProcess::StandardError);
    }
    // the lines shown, without their time stamps
    QList<QByteArray> lines() const {
        QList<QByteArray> texts;
        for (const QByteArray &line : out.split('\n'))
            texts << line.mid(13);
        return texts;
    }
    ~Console() {
        testing::signal_process(p, SIGINT);
        p.waitForFinished(5000);
    }
};

TEST(ConsoleOverTheNetwork, ALineProtocolServersBusShowsAsFromAUsbInterface) {
    testing::ScriptedServer server;
    Console c({QStringLiteral("--interface"), QStringLiteral("usb"), QStringLiteral("--port"),
               server.address("lbserver")});
    ASSERT_TRUE(server.has_client());
    const QByteArray bytes = sample();
    QByteArray lines = "VERSION Scripted 1\r\n\r\nTIMESTAMP 99\n";
    loconet::Framer framer;
    for (const char b : bytes)
        if (framer.feed(static_cast<unsigned char>(b))) {
            lines += "RECEIVE";
            for (const std::int32_t m : framer.message())
                lines += ' ' + QByteArray::number(m, 16).rightJustified(2, '0').toUpper();
            lines += "\r\n";
        }
    server.say(lines);
    const QList<QByteArray> expected = decoded(bytes);
    ASSERT_TRUE(c.shows(expected.at(expected.size() - 2) + '\n'));
    EXPECT_EQ(c.lines(), expected);

    c.p.write("B0 00 10\n");
    ASSERT_TRUE(server.hears("SEND B0 00 10 5F\r\n"));
    server.say("RECEIVE B0 00 10 5F\r\nSENT OK\r\n");
    EXPECT_TRUE(c.shows(" - Mag.-Art.: 1 - rot - ein \n")) << "the echo";
}

// What a server says of a bad message is counted, marked and shown like the
// same bytes from a serial interface; a line that makes no message is
// dropped and counted, never joined to the next.
TEST(ConsoleOverTheNetwork, ChecksumErrorsAndBrokenLinesAreCountedAsFromAnInterface) {
    testing::ScriptedServer server;
    Console c({QStringLiteral("--port"), server.address("lbserver"), QStringLiteral("--stats"),
               QStringLiteral("--mark-errors")});
    ASSERT_TRUE(server.has_client());
    server.say("RECEIVE B2 04\r\nRECEIVE 10 20\r\nERROR CHECKSUM B2 05 10 00\r\n"
               "RECEIVE 83 7C\r\n");
    ASSERT_TRUE(c.shows("Gleisspannung eingeschaltet\n"));
    EXPECT_EQ(c.lines().mid(0, 3),
              (QList<QByteArray>{"Rückmelder 11 = belegt", " !! Prüfsumme falsch: B2 05 10 00",
                                 "Gleisspannung eingeschaltet"}));
    EXPECT_FALSE(c.out.contains("Rückmelder 9")) << "two lines never make one message";
    testing::signal_process(c.p, SIGINT);
    ASSERT_TRUE(c.p.waitForFinished(5000));
    const QByteArray err = c.p.readAllStandardError();
    EXPECT_TRUE(err.contains("Prüfsummenfehler: 1\n")) << err.toStdString();
    EXPECT_TRUE(err.contains("Verworfene Bytes: 4\n")) << err.toStdString();
}

// A name that cannot be looked up, or a host that refuses: the program ends
// with its status every time, never with a crash in its last moments. Run
// in a network namespace of its own whose name server does not answer.
TEST(ConsoleOverTheNetwork, AFailedConnectionEndsWithItsStatusEveryTime) {
    if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty())
        GTEST_SKIP() << "needs root, unshare and ip for a network namespace of its own";
    QTemporaryDir dir;
    QFile resolv(dir.filePath(QStringLiteral("resolv.conf")));
    ASSERT_TRUE(resolv.open(QIODevice::WriteOnly));
    resolv.write("nameserver 127.0.0.1\n");
    resolv.close();
    QFile hosts(dir.filePath(QStringLiteral("hosts")));
    ASSERT_TRUE(hosts.open(QIODevice::WriteOnly));
    hosts.write("127.0.0.1 localhost layoutpc\n");
    hosts.close();
    const QString script = QStringLiteral(
        "ip link set lo up && mount --bind %1 /etc/resolv.conf && mount --bind %2 /etc/hosts || "
        "exit 77; for i in $(seq 30); do for port in lbserver://no-such-host.invalid "
        "lbserver://layoutpc:9; do %3 --console --port $port < /dev/null > /dev/null 2>&1; "
        "echo $?; done; done");
    QProcess p;
    p.start(QStringLiteral("unshare"),
            {QStringLiteral("-m"), QStringLiteral("-n"), QStringLiteral("bash"),
             QStringLiteral("-c"),
             script.arg(resolv.fileName(), hosts.fileName(), QStringLiteral(BUSLAUSCHER_BINARY))});
    ASSERT_TRUE(p.waitForFinished(60000));
    if (p.exitCode() == 77 || (p.exitCode() != 0 && p.readAllStandardOutput().isEmpty()))
        GTEST_SKIP() << "no network namespace here";
    const QList<QByteArray> statuses = p.readAllStandardOutput().trimmed().split('\n');
    EXPECT_EQ(statuses.size(), 60);
    EXPECT_EQ(statuses.count("1"), statuses.size()) << statuses.join(' ').toStdString();
}

TEST(ConsoleOverTheNetwork, ARawBytesServersBusShowsAsFromAUsbInterface) {
    testing::ScriptedServer server;
    Console c({QStringLiteral("--port"), server.address("tcp")});
    ASSERT_TRUE(server.has_client());
    server.say(sample());
    const QList<QByteArray> expected = decoded(sample());
    ASSERT_TRUE(c.shows(expected.at(expected.size() - 2) + '\n'));
    EXPECT_EQ(c.lines(), expected);
    c.p.write("B0 00 10\n");
    EXPECT_TRUE(server.hears(QByteArray::fromHex("b000105f")));
}

TEST(ConsoleOverTheNetwork, ServesItsBusOnLoopbackAndItsOwnClientShowsIt) {
    Console serving({QStringLiteral("--demo"), QStringLiteral("--rate"), QStringLiteral("30"),
                     QStringLiteral("--serve"), QStringLiteral("0")});
    ASSERT_TRUE(serving.tells("LocoNet über TCP auf 127.0.0.1:"));
    const QByteArray told = serving.err.mid(serving.err.indexOf("127.0.0.1:") + 10);
    const quint16 port = static_cast<quint16>(told.left(told.indexOf('\n')).toUInt());

    QTcpSocket client;
    QByteArray heard;
    QObject::connect(&client, &QTcpSocket::readyRead, [&] { heard += client.readAll(); });
    client.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(client.waitForConnected(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.count("RECEIVE") > 5; }, 10000));
    EXPECT_TRUE(heard.startsWith("VERSION Bus-Lauscher "));
    client.write("SEND B0 00 10 5F\r\nSEND B0 00 10 00\r\nSEND ZZ 00\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.count("SENT") == 3; }, 5000))
        << heard.toStdString();
    const qsizetype ok = heard.indexOf("SENT OK");
    EXPECT_GT(ok, heard.indexOf("RECEIVE B0 00 10 5F")) << "the echo first, then the answer";
    EXPECT_EQ(heard.count("SENT ERROR"), 2);
    EXPECT_FALSE(heard.contains("B0 00 10 00\r\n")) << "nothing refused reaches the bus";

    Console own_client(
        {QStringLiteral("--port"), QStringLiteral("lbserver://127.0.0.1:%1").arg(port)});
    EXPECT_TRUE(own_client.shows(" - "));
}

// A client that sends far faster than the bus carries: what fits the queue
// goes on the bus and is answered OK after its echo, the rest is refused at
// once; no SEND waits for an answer that never comes, and a watching client
// hears the bus throughout.
TEST(ConsoleOverTheNetwork, ASendBurstFasterThanTheBusIsAnsweredOnceEach) {
    QProcess sim;
    sim.start(QStringLiteral(BUSLAUSCHER_SIM_BINARY),
              {QStringLiteral("--pty"), QStringLiteral("--rate"), QStringLiteral("20")});
    QByteArray device;
    ASSERT_TRUE(wait_for_output(sim, device, "\n", 5000));
    Console serving({QStringLiteral("--interface"), QStringLiteral("usb"), QStringLiteral("--port"),
                     QString::fromUtf8(device.trimmed()), QStringLiteral("--serve"),
                     QStringLiteral("0")});
    ASSERT_TRUE(serving.tells("LocoNet über TCP auf 127.0.0.1:"));
    const QByteArray told = serving.err.mid(serving.err.indexOf("127.0.0.1:") + 10);
    const quint16 port = static_cast<quint16>(told.left(told.indexOf('\n')).toUInt());
    const auto connected = [port](QTcpSocket &s, QByteArray &heard) {
        QObject::connect(&s, &QTcpSocket::readyRead, [&] { heard += s.readAll(); });
        s.connectToHost(QHostAddress::LocalHost, port);
        return s.waitForConnected(5000);
    };
    QTcpSocket watcher, sender;
    QByteArray watched, answered;
    ASSERT_TRUE(connected(watcher, watched));
    ASSERT_TRUE(connected(sender, answered));
    constexpr int kSends = 1500;
    QByteArray burst;
    for (int i = 0; i < kSends; ++i) {
        const int a = i % 128, b = i / 128;
        burst += QStringLiteral("SEND B2 %1 %2 %3\r\n")
                     .arg(a, 2, 16, QLatin1Char('0'))
                     .arg(b, 2, 16, QLatin1Char('0'))
                     .arg(0xFF ^ 0xB2 ^ a ^ b, 2, 16, QLatin1Char('0'))
                     .toUpper()
                     .toLatin1();
    }
    sender.write(burst);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered.count("SENT") >= kSends; }, 30000))
        << answered.count("SENT");
    QTest::qWait(2500); // nothing more may come: each SEND has one answer
    EXPECT_EQ(answered.count("SENT"), kSends);
    const qsizetype ok = answered.count("SENT OK");
    EXPECT_GT(ok, 0);
    EXPECT_EQ(answered.count("no echo"), 0) << "what went out came back";
    EXPECT_EQ(answered.count("send queue full"), kSends - ok);
    // every message answered OK was heard on the bus by the other client
    ASSERT_TRUE(QTest::qWaitFor([&] { return watched.count("RECEIVE B2") >= ok; }, 5000));
    const qsizetype before = watched.count("RECEIVE");
    ASSERT_TRUE(QTest::qWaitFor([&] { return watched.count("RECEIVE") > before; }, 5000))
        << "the bus is still heard";
    sim.terminate();
    sim.waitForFinished(5000);
}

} // namespace
} // namespace bl
