#include "support/sending_harness.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

using Sending = testing::SendingHarness;

TEST(SendLnBuf, EveryByteThenTheChecksum) {
    const struct {
        std::initializer_list<int> message;
        int l_out;
        QByteArray expected;
    } rows[] = {
        {{0xB0, 0x00, 0x10}, 2, QByteArray::fromHex("b000105f")},
        {{0xB0, 0x00, 0x30}, 2, QByteArray::fromHex("b000307f")},
        {{0xB0, 0x00, 0x30, 0x55},
         2,
         QByteArray::fromHex("b000307f")}, // entries above l_out ignored
        {{}, -1, QByteArray::fromHex("ff")},
    };
    for (const auto &row : rows) {
        Sending s;
        s.tx.send_ln_buf(s.buffer(row.message), row.l_out);
        EXPECT_EQ(s.written(), row.expected.toHex());
        EXPECT_EQ(s.events.passes, 0) << "no event processing";
    }
}

TEST(Send, SlotWriteIsFourteenBytes) {
    Sending s;
    OutBuffer b{};
    for (int i = 0; i <= 12; ++i)
        b[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i == 0 ? 0xEF : i);
    EXPECT_EQ(s.tx.send(b, 12), 0);
    EXPECT_EQ(s.port->written.size(), 14);
    int x = 0;
    for (char c : s.port->written)
        x ^= static_cast<unsigned char>(c);
    EXPECT_EQ(x, 0xFF);
}

TEST(Send, ClearToSendLowFromTheStart) {
    Sending s;
    s.port->cts_line = false;
    const double start = s.clock.now;
    EXPECT_EQ(s.tx.send(s.buffer({0xB0, 0x00, 0x10}), 2), 1);
    EXPECT_TRUE(s.port->written.isEmpty());
    EXPECT_GT(s.clock.now - start, 5.0);
    EXPECT_LT(s.clock.now - start, 5.1);
}

TEST(Send, ClearToSendDroppingAfterTheFourthByte) {
    Sending s;
    int bytes = 0;
    s.port->cts_fn = [&] { return bytes < 4; };
    s.port->on_write = [&](const QByteArray &) { ++bytes; };
    const double start = s.clock.now;
    EXPECT_EQ(s.tx.send(s.buffer({0xE7, 0x0E, 1, 2, 3, 4}), 5), 1);
    EXPECT_EQ(s.written(), QByteArray("e70e0102"));
    EXPECT_GT(s.clock.now - start, 5.0) << "5 s from the call, not from the fourth byte";
    EXPECT_LT(s.clock.now - start, 5.1);
}

TEST(Send, WaitsForClearToSendBeforeTheChecksum) {
    Sending s;
    int bytes = 0;
    s.port->cts_fn = [&] { return bytes < 3 || s.events.passes > 50; };
    s.port->on_write = [&](const QByteArray &) { ++bytes; };
    EXPECT_EQ(s.tx.send(s.buffer({0xB0, 0x00, 0x10}), 2), 0);
    EXPECT_EQ(s.written(), QByteArray("b000105f"));
    EXPECT_GT(s.events.passes, 50);

    Sending none;
    none.port->cts_line = false;
    EXPECT_EQ(none.tx.send(none.buffer({}), -1), 1) << "l_out -1 waits for CTS too";
    EXPECT_TRUE(none.port->written.isEmpty());
}

TEST(Send, LocoNetInterfaceIgnoresClearToSend) {
    Sending s;
    s.vars.ln_interface = kTrue;
    s.port->cts_line = false;
    EXPECT_EQ(s.tx.send(s.buffer({0xB0, 0x00, 0x10}), 2), 0);
    EXPECT_EQ(s.written(), QByteArray("b000105f"));
    EXPECT_EQ(s.events.passes, 3) << "one pass per byte";
}

TEST(Send, TransmissionStartedWhileWaitingGoesAfterIt) {
    Sending s;
    int passes = 0;
    s.port->cts_fn = [&] { return passes > 20; };
    s.events.on_pass = [&] {
        // a send row clicked while the slot write waits for CTS
        if (++passes == 5)
            s.tx.send_ln_buf(s.buffer({0xB0, 0x00, 0x30}), 2);
    };
    EXPECT_EQ(s.tx.send(s.buffer({0xB0, 0x00, 0x10}), 2), 0);
    EXPECT_EQ(s.written(), QByteArray("b000105fb000307f"));
}

TEST(Send, AQueuedSendThatRunsOutOfTimeIsTold) {
    Sending s;
    int passes = 0;
    // CTS comes for the first message only, then never again
    s.port->cts_fn = [&] { return passes > 5 && s.port->written.size() < 4; };
    s.events.on_pass = [&] {
        if (++passes == 3) { // the slot write of a second handler, queued
            EXPECT_EQ(s.tx.send(s.buffer({0xB0, 0x00, 0x30}), 2), 0);
        }
    };
    EXPECT_EQ(s.tx.send(s.buffer({0xB0, 0x00, 0x10}), 2), 0);
    EXPECT_EQ(s.written(), QByteArray("b000105f"));
    ASSERT_EQ(s.dialogs.boxes.size(), 1u) << "its own result is not lost";
    EXPECT_TRUE(s.dialogs.boxes[0].text.contains(QStringLiteral("nicht gesendet")));
}

TEST(Send, RefusesWhatCannotBeSent) {
    Sending closed;
    closed.comm.setPortOpen(false);
    EXPECT_EQ(closed.tx.send(closed.buffer({0xB0, 0, 0x10}), 2), 1);
    closed.tx.send_ln_buf(closed.buffer({0xB0, 0, 0x10}), 2);
    EXPECT_TRUE(closed.port->written.isEmpty());
    EXPECT_EQ(closed.dialogs.boxes.size(), 2u);

    Sending bad;
    EXPECT_EQ(bad.tx.send(bad.buffer({0xB0, 0x100, 0x10}), 2), 1);
    bad.tx.send_ln_buf(bad.buffer({0xB0, -1, 0x10}), 2);
    bad.tx.send_ln_buf(bad.buffer({0xB0}), 65);
    bad.tx.send_ln_buf(bad.buffer({0xB0}), -2);
    EXPECT_TRUE(bad.port->written.isEmpty());
}

} // namespace
} // namespace bl
