#include "transport/replay_port.h"

#include <QBuffer>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(ReplayPort, HandsOverTheWholeCaptureChunkByChunk) {
    QByteArray bytes;
    for (int i = 0; i < 10000; ++i)
        bytes.append(static_cast<char>(i * 7));
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    ReplayPort port(std::move(buffer), 300);
    QByteArray received;
    int readable = 0, finished = 0;
    port.on_readable([&](BytePort::Arrival) {
        ++readable;
        received += port.read();
    });
    port.on_finished([&] { ++finished; });
    QCoreApplication::processEvents();
    EXPECT_EQ(readable, 0) << "nothing before the port is open";
    port.open({}, {});
    QTRY_COMPARE_WITH_TIMEOUT(finished, 1, 5000);
    EXPECT_EQ(received, bytes);
    EXPECT_EQ(readable, 34);
    QCoreApplication::processEvents();
    EXPECT_EQ(finished, 1) << "once";
}

} // namespace
} // namespace bl
