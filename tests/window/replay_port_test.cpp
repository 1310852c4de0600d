#include "connection/replay_port.h"

#include <QBuffer>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(ReplayPort, HandsOverTheWholeCaptureInChunksThroughTheReceiveEvent) {
    QByteArray bytes;
    for (int i = 0; i < 10000; ++i)
        bytes.append(static_cast<char>(i * 7));
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    ReplayPort port(std::move(buffer), 300);
    QByteArray received;
    int events = 0, finished = 0;
    port.setOnComm([&] {
        ++events;
        received += port.input();
    });
    port.setOnFinished([&] { ++finished; });
    port.setInputLen(0);
    QTest::qWait(20);
    EXPECT_EQ(events, 0) << "nothing before the port is open with RThreshold 1";
    port.setRThreshold(1);
    port.setPortOpen(true);
    QTRY_COMPARE_WITH_TIMEOUT(finished, 1, 5000);
    EXPECT_EQ(received, bytes);
    EXPECT_EQ(events, 34);
    QTest::qWait(20);
    EXPECT_EQ(finished, 1);
}

} // namespace
} // namespace bl
