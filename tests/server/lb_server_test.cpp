// The monitor's bus shared over TCP, against scripted clients.
#include "loconet/message.h"
#include "server/lb_server.h"

#include <QTcpSocket>
#include <QTest>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bl {
namespace {

struct Served {
    std::vector<std::vector<int>> put; // what went on the bus
    bool echo = true;                  // the bus echoes what is put on it
    QStringList log;
    LbServer server;
    explicit Served(bool read_only = false, LbServerLimits limits = {})
        : server(
              [this](const std::vector<int> &m, std::uint16_t) {
                  put.push_back(m);
                  if (echo)
                      bus(m);
                  return std::string();
              },
              QStringLiteral("Test 1"), read_only, limits) {
        server.on_log([this](const QString &what) { log << what; });
        server.listen({QHostAddress(QHostAddress::LocalHost), 0});
    }
    void bus(const std::vector<int> &m) {
        server.bus_message(loconet::message_of(m.begin(), m.end()));
    }
};

struct Peer {
    QTcpSocket socket;
    QByteArray heard;
    explicit Peer(quint16 port) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { heard += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(5000);
    }
    void say(const QByteArray &line) {
        socket.write(line);
        socket.flush();
    }
    bool hears(const QByteArray &text) {
        return QTest::qWaitFor([&] { return heard.contains(text); }, 5000);
    }
};

TEST(LbServer, VersionThenEveryMessageAndTheAnswersToSends) {
    Served s;
    Peer peer(s.server.port());
    ASSERT_TRUE(peer.hears("VERSION Test 1\r\n"));
    s.bus({0xB2, 0x05, 0x10, 0x58});
    s.bus({0xB2, 0x05, 0x10, 0x00}); // corrupt: no version-1 client may take it for a message
    ASSERT_TRUE(peer.hears("RECEIVE B2 05 10 58\r\nERROR CHECKSUM B2 05 10 00\r\n"));
    const struct {
        const char *line;
        const char *answer;
    } rows[] = {
        {"SEND B0 00 10 5F", "RECEIVE B0 00 10 5F\r\nSENT OK\r\n"},
        {"SEND B0 00 10 00", "SENT ERROR bad checksum\r\n"},
        {"SEND ZZ 00", "SENT ERROR not two-digit hexadecimal bytes\r\n"},
        {"SEND B0 00 5F", "SENT ERROR wrong length for the opcode\r\n"},
        {"SEND 10 B0 00 5F", "SENT ERROR first byte is not an opcode\r\n"},
        {"SEND", "SENT ERROR no bytes\r\n"},
    };
    for (const auto &row : rows) {
        peer.heard.clear();
        peer.say(QByteArray(row.line) + "\n");
        EXPECT_TRUE(peer.hears(row.answer)) << row.line << ": " << peer.heard.toStdString();
    }
    EXPECT_EQ(s.put, (std::vector<std::vector<int>>{{0xB0, 0x00, 0x10, 0x5F}}))
        << "nothing refused reaches the bus";
}

TEST(LbServer, NoEchoIsAnErrorAndReadOnlyTakesNothing) {
    Served s(false, {256 * 1024, 200});
    s.echo = false;
    Peer peer(s.server.port());
    peer.say("SEND B0 00 10 5F\r\n");
    EXPECT_TRUE(peer.hears("SENT ERROR no echo from the bus\r\n"));

    Served read_only(true);
    Peer reader(read_only.server.port());
    reader.say("SEND B0 00 10 5F\r\n");
    EXPECT_TRUE(reader.hears("SENT ERROR read-only server\r\n"));
    EXPECT_TRUE(read_only.put.empty());
}

TEST(LbServer, ManyClientsOneThatDoesNotReadIsDroppedTheOthersGoOn) {
    Served s(false, {16 * 1024, 2000});
    std::vector<std::unique_ptr<Peer>> peers;
    for (int i = 0; i < 8; ++i)
        peers.push_back(std::make_unique<Peer>(s.server.port()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.server.clients() == 8; }, 5000));
    peers[3]->say("SEND B0 0"); // and leaves in the middle of its line
    peers[3].reset();
    // a client that reads nothing, with a small window
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    const int window = 1024;
    ::setsockopt(silent, SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(s.server.port());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(silent, reinterpret_cast<sockaddr *>(&to), sizeof to), 0);
    std::vector<int> longest(127, 0x11);
    longest[0] = 0xE5;
    longest[1] = 127;
    for (int i = 0; i < 20000 && !s.log.join(' ').contains(QStringLiteral("liest nichts")); ++i) {
        s.bus(longest);
        if (i % 20 == 0)
            QCoreApplication::processEvents();
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return s.log.join(' ').contains(QStringLiteral("liest nichts")); }, 5000))
        << s.log.join('\n').toStdString();
    s.bus({0x83, 0x7C});
    for (const auto &peer : peers) {
        if (peer) {
            EXPECT_TRUE(peer->hears("RECEIVE 83 7C\r\n"));
        }
    }
    EXPECT_EQ(s.server.clients(), 7);
    ::close(silent);
}

// Every SEND gets exactly one answer, also one too long to be read.
TEST(LbServer, EverySendGetsOneAnswer) {
    Served s;
    Peer peer(s.server.port());
    QByteArray huge = "SEND";
    for (int i = 0; i < 5000; ++i)
        huge += " 11";
    peer.say(huge + "\r\nSEND 83 7C\r\n");
    ASSERT_TRUE(peer.hears("SENT OK\r\n"));
    EXPECT_EQ(peer.heard.count("SENT"), 2) << peer.heard.toStdString();
    EXPECT_TRUE(peer.heard.contains("SENT ERROR line too long\r\nRECEIVE 83 7C\r\nSENT OK\r\n"))
        << peer.heard.toStdString();
}

// A client beyond the limit is told why before its connection ends.
TEST(LbServer, AFullServerSaysWhyBeforeClosing) {
    Served s;
    std::vector<std::unique_ptr<Peer>> peers;
    for (int i = 0; i < LbServer::kMostClients; ++i)
        peers.push_back(std::make_unique<Peer>(s.server.port()));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return s.server.clients() == LbServer::kMostClients; }, 5000));
    Peer refused(s.server.port());
    EXPECT_TRUE(refused.hears("ERROR MESSAGE server full (16 clients)\r\n"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return refused.socket.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_EQ(s.server.clients(), LbServer::kMostClients);
}

TEST(LbServer, ListensOnLoopbackUnlessAnAddressIsNamed) {
    EXPECT_EQ(parse_serve_address(QStringLiteral("1234"))->address,
              QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(parse_serve_address(QStringLiteral("0.0.0.0:1234"))->address,
              QHostAddress(QHostAddress::AnyIPv4));
    EXPECT_EQ(parse_serve_address(QStringLiteral("[::1]:99"))->port, 99);
    for (const char *bad : {"", "x", "1.2.3.4.5:4", "70000", "host:12"}) {
        EXPECT_FALSE(parse_serve_address(QString::fromLatin1(bad))) << bad;
    }
}

} // namespace
} // namespace bl
