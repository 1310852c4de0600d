// The simulated bus on a pseudo-terminal under back-pressure: a reader that
// takes nothing for a while still gets whole messages only, and the bus
// carries no more than a real LocoNet.
#include "loconet/framer.h"
#include "simulation/loconet_message.h"
#include "simulation/pty_server.h"

#include <QElapsedTimer>
#include <QTest>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace bl::sim {
namespace {

// Frames the bytes; the count of messages, and whether every one was whole.
struct Framed {
    int messages = 0;
    int broken = 0;
};
Framed frame(const QByteArray &bytes) {
    Framed f;
    loconet::FrameState state;
    for (const char c : bytes) {
        const int b = static_cast<unsigned char>(c);
        f.broken += loconet::discards(state, b) > 0;
        if (loconet::frame_byte(state, b)) {
            ++f.messages;
            f.broken +=
                !loconet::checksum_ok(state.ln_buf.begin(), state.ln_buf.begin() + state.ln_len);
        }
    }
    return f;
}

TEST(PtyServer, AFullTerminalGetsWholeMessagesOnly) {
    LocoNetBus bus(0);
    PtyServer server(bus);
    ASSERT_TRUE(server.open());
    const int reader = ::open(server.device().toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    // far more than the terminal holds, while nobody reads
    QByteArray longest(126, 0x11);
    longest[0] = static_cast<char>(0xE5);
    longest[1] = 127;
    for (int i = 0; i < 3000; ++i) {
        QByteArray m = longest;
        m[2] = static_cast<char>(i & 0x7F);
        m.append(static_cast<char>(loconet::checksum(m.begin(), m.end())));
        bus.put(m);
    }
    QTest::qWait(100);
    QByteArray received;
    QElapsedTimer quiet; // until nothing more comes for a while
    quiet.start();
    while (quiet.elapsed() < 300) {
        char buf[4096];
        const ssize_t n = ::read(reader, buf, sizeof buf);
        if (n > 0) {
            received.append(buf, n);
            quiet.start();
        }
        QCoreApplication::processEvents();
    }
    ::close(reader);
    const Framed f = frame(received);
    EXPECT_GT(f.messages, 100);
    EXPECT_EQ(f.broken, 0) << "of " << f.messages << " messages in " << received.size() << " bytes";
    EXPECT_EQ(received.size() % 127, 0);
}

TEST(LocoNetBus, CarriesNoMoreThanARealLine) {
    LocoNetBus bus(5000); // far beyond what a LocoNet carries
    qsizetype bytes = 0;
    const auto counting = bus.listen([&](const QByteArray &m) { bytes += m.size(); });
    bus.start();
    QElapsedTimer t;
    t.start();
    const qsizetype opening = bytes;
    QTest::qWait(600);
    const double seconds = static_cast<double>(t.elapsed()) / 1000.0;
    EXPECT_LE(static_cast<double>(bytes - opening), 1646.0 * seconds + 127);
    EXPECT_GE(static_cast<double>(bytes - opening), 1646.0 * seconds * 0.8) << "and it is full";
}

} // namespace
} // namespace bl::sim
