// Reaching a bus that another program shares over TCP, against a scripted
// peer: the line protocol and raw bytes.
#include "support/scripted_peer.h"
#include "transport/network_port.h"

#include <QTimer>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bl {
namespace {

using testing::ScriptedServer;

struct Client {
    QByteArray received;
    QStringList troubles, statuses;
    std::vector<PortError> failures;
    QList<QByteArray> dropped;
    void watch(BytePort &port) {
        port.on_readable([this, &port](BytePort::Arrival) { received += port.read(); });
        port.on_state_changed([this, &port](PortState) { statuses << port.description(); });
        port.on_error([this](const PortFault &f) {
            if (f.error == PortError::Refused)
                troubles << f.reason;
            else if (f.error == PortError::Discarded)
                dropped << f.bytes;
            else
                failures.push_back(f.error);
        });
    }
    // watches the port and connects it to the peer; whether the peer took it
    bool connect(BytePort &port, ScriptedServer &peer, const char *scheme) {
        watch(port);
        port.open(peer.address(scheme), {});
        return peer.has_client();
    }
};

// Each RECEIVE line is one message, and so is each ERROR CHECKSUM line (with
// its wrong checksum); a line that holds no whole message is dropped and
// said, never framed together with the next one.
TEST(LbServerPort, EachLineIsOneMessageOrIsDropped) {
    ScriptedServer peer;
    LbServerPort port;
    Client c;
    ASSERT_TRUE(c.connect(port, peer, "lbserver"));
    // every kind of line end, empty lines, version-2 tokens, junk, and a
    // version whose text would steer a terminal
    peer.say("VERSION JMRI LbServer 5.4 \x1b[2J\r\n\r\nRECEIVE B2 05 10 58\n\rTIMESTAMP 1234\r\r\n"
             "RECEIVE ZZ 00\nRECEIVE B2 04\nRECEIVE 10 20\nERROR CHECKSUM B2 05 10 00\r\n"
             "BREAK\nRECEIVE 83 7C\r" +
             QByteArray(5000, 'X') + "\nRECEIVE 82 7D\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.received.size() >= 12; }, 5000));
    EXPECT_EQ(c.received.toHex(' '), QByteArray("b2 05 10 58 b2 05 10 00 83 7c 82 7d"));
    EXPECT_EQ(c.dropped, (QList<QByteArray>{"\xB2\x04", "\x10\x20"}));
    EXPECT_TRUE(c.statuses.contains(QStringLiteral("Verbunden mit %1 (JMRI LbServer 5.4 \\x1B[2J)")
                                        .arg(peer.address("lbserver"))))
        << c.statuses.join('|').toStdString();
}

TEST(LbServerPort, OneSendAtATimeEachEndedByItsAnswer) {
    ScriptedServer peer;
    LbServerPort port(300);
    Client c;
    ASSERT_TRUE(c.connect(port, peer, "lbserver"));
    // written a byte at a time, as the transmission writes them
    for (const char b : QByteArray::fromHex("b000105fb000307f83"))
        port.write(QByteArray(1, b));
    ASSERT_TRUE(peer.hears("SEND B0 00 10 5F\r\n"));
    QTest::qWait(50);
    EXPECT_FALSE(peer.heard.contains("B0 00 30")) << "the second waits for the first's answer";
    peer.say("RECEIVE B0 00 10 5F\r\nSENT ERROR busy bus\r\n");
    ASSERT_TRUE(peer.hears("SEND B0 00 30 7F\r\n"));
    EXPECT_EQ(c.troubles, QStringList{QStringLiteral(
                              "Die Gegenstelle hat die Nachricht B0 00 10 5F nicht auf den Bus "
                              "gelegt: busy bus")});
    // no answer at all: the time-out ends it, and it is told
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.troubles.size() == 2; }, 5000));
    EXPECT_TRUE(c.troubles[1].contains(QStringLiteral("keine Antwort")));
    EXPECT_FALSE(peer.heard.contains("SEND 83")) << "83 alone is no whole message";
}

TEST(NetworkPort, ADroppedConnectionIsTheEndOfThePort) {
    ScriptedServer peer;
    RawTcpPort port;
    Client c;
    ASSERT_TRUE(c.connect(port, peer, "tcp"));
    port.write(QByteArray::fromHex("b000105f"));
    ASSERT_TRUE(peer.hears(QByteArray::fromHex("b000105f")));
    peer.say(QByteArray::fromHex("b2051058"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.received.size() == 4; }, 5000));
    peer.client->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c.failures.empty(); }, 5000));
    EXPECT_EQ(c.failures, std::vector<PortError>{PortError::ConnectionLost});
    EXPECT_FALSE(port.is_open());
}

// A peer that takes nothing is told as a refused message, from whichever
// signal the next SEND goes out; nothing is thrown into the event loop.
TEST(LbServerPort, APeerThatTakesNothingIsToldNeverThrown) {
    ScriptedServer peer;
    LbServerPort port(50, NetworkPort::kConnectMs, 0); // nothing may wait
    Client c;
    ASSERT_TRUE(c.connect(port, peer, "lbserver"));
    port.write(QByteArray::fromHex("b000105fb000307f"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.troubles.size() == 2; }, 5000));
    EXPECT_TRUE(c.troubles[1].contains(QStringLiteral("nimmt keine Daten mehr an")))
        << c.troubles[1].toStdString();
}

// The window goes on (its timers run) while a connection is being made.
TEST(NetworkPort, TheEventLoopRunsWhileConnecting) {
    // a listening socket whose queue is full: the next connection hangs
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&at), sizeof at), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t size = sizeof at;
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&at), &size);
    std::vector<int> queued;
    for (int i = 0; i < 3; ++i) {
        queued.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(queued.back(), reinterpret_cast<sockaddr *>(&at), sizeof at);
    }
    QTest::qWait(50);
    RawTcpPort port(400);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    try {
        port.open(QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(at.sin_port)), {});
        ADD_FAILURE() << "connected to a full queue";
    } catch (const RuntimeError &e) {
        EXPECT_TRUE(e.description.contains(QStringLiteral("keine Antwort"))) << e.what();
    }
    EXPECT_GE(ticks, 10) << "the timer ran while the connection was tried";
    for (const int fd : queued)
        ::close(fd);
    ::close(listener);
}

TEST(NetworkPort, WhatCannotBeReachedIsSaidWithHostPortAndReason) {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 unused = closed.serverPort();
    closed.close();
    const struct {
        QString address;
        QString told;
    } rows[] = {
        {QStringLiteral("lbserver://127.0.0.1:%1").arg(unused),
         QStringLiteral("127.0.0.1, Port %1 nicht möglich: abgelehnt").arg(unused)},
        {QStringLiteral("tcp://127.0.0.1"), QStringLiteral("keine gültige Netzadresse")},
        {QStringLiteral("lbserver://"), QStringLiteral("keine gültige Netzadresse")},
    };
    for (const auto &row : rows) {
        LbServerPort port;
        try {
            port.open(row.address, {});
            ADD_FAILURE() << row.address.toStdString();
        } catch (const RuntimeError &e) {
            EXPECT_TRUE(e.description.contains(row.told)) << e.description.toStdString();
        }
    }
    EXPECT_EQ(parse_network_address(QStringLiteral("lbserver://loconet.local"))->port, 1234);
}

} // namespace
} // namespace bl
