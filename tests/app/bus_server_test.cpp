// The monitor's bus shared over TCP, through the real path: a client's
// SEND reaches the simulated bus through the monitor's transmission and is
// answered once its echo has come back, for every length a LocoNet message
// can have.
#include "app/bus_access.h"
#include "app/bus_server.h"
#include "loconet/hex.h"
#include "shared/steady_clock.h"
#include "support/fake_dialogs.h"

#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

std::string send_line(int length) {
    std::vector<int> m(static_cast<std::size_t>(length), 0x11);
    m[0] = length == 2 ? 0x85 : 0xE5; // IDLE, or a peer transfer of that length
    if (length > 2)
        m[1] = length;
    m.back() = loconet::checksum(m.begin(), m.end() - 1);
    return "SEND " + loconet::hex_list(m) + "\r\n";
}

TEST(BusServer, EveryLegalLengthGoesOnTheBusAndIsAnsweredOk) {
    ElapsedSteadyClock clock;
    RunOptions options;
    options.demo_rate = 0; // a quiet bus: only what the client sends
    BusAccess access = simulated_bus_access(options, clock);
    testing::FakeDialogs dialogs;
    QtEventPump events;
    QTimer timer1;
    DiscardingMonitorArea area;
    NoLines no_trace;
    MonitorCore core(std::move(access.ports),
                     CorePlatform{dialogs, events, clock, *access.uart, [] { return QString(); }},
                     LineOutputs{area, no_trace}, timer1);
    ASSERT_TRUE(core.start(access.answers));
    BusServer server(core, QStringLiteral("0"), false, {});
    ASSERT_TRUE(server.listening()) << server.reason().toStdString();

    QTcpSocket client;
    QByteArray heard;
    QObject::connect(&client, &QTcpSocket::readyRead, [&] { heard += client.readAll(); });
    client.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(client.waitForConnected(5000));
    constexpr int kLengths = loconet::kLongestMessage - 1; // 2..127
    for (int length = 2; length <= loconet::kLongestMessage; ++length)
        client.write(QByteArray::fromStdString(send_line(length)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.count("SENT") == kLengths; }, 10000))
        << heard.count("SENT");
    EXPECT_EQ(heard.count("SENT OK\r\n"), kLengths) << heard.toStdString();
    for (int length = 2; length <= loconet::kLongestMessage; ++length)
        EXPECT_TRUE(
            heard.contains(QByteArray::fromStdString("RECEIVE " + send_line(length).substr(5))))
            << length << ": the echo came from the bus, whole";
    EXPECT_TRUE(dialogs.boxes.empty());
}

} // namespace
} // namespace bl
