#include "reception/receiver.h"
#include "support/bytes.h"
#include "support/traffic.h"

#include <gtest/gtest.h>
#include <random>

namespace bl {
namespace {

using testing::bytes;

// Records every message the framing step hands to the decoder.
struct Framer {
    ModVariablen vars;
    loconet::BusCounts counts;
    loconet::EchoWatch echoes;
    std::int64_t now_ms = 1000;
    std::vector<std::string> messages;
    Receiver receiver{vars,
                      vars,
                      counts,
                      echoes,
                      [this] {
                          return MessageStamp{now_ms, now_ms * 1000000};
                      },
                      [this](const loconet::Message &m) -> std::string_view {
                          std::string bytes(m.view().begin(), m.view().end());
                          // the value and the module variables agree
                          EXPECT_EQ(static_cast<int>(m.length), vars.ln_len);
                          messages.push_back(bytes);
                          return {};
                      }};
    Framer() { vars.monitor_on = kTrue; }
    void feed(const std::string &s) { receiver.framing_steps(s); }
};

TEST(Receiver, EverySplitOfAStreamFramesAlike) {
    const std::string stream = testing::mixed_traffic(40) + bytes("A0 01 B2 05 10 58 E5 10");
    Framer whole;
    whole.feed(stream);
    for (std::size_t a = 0; a <= stream.size(); ++a) {
        Framer split;
        split.feed(stream.substr(0, a));
        split.feed(stream.substr(a));
        ASSERT_EQ(split.messages, whole.messages) << "split at " << a;
    }
}

// Whole messages are framed at once; whatever the stream holds (garbage,
// opcodes inside messages, lengths 0 and 1, cut ends), it comes out as byte
// by byte: the same messages, counts, capture and receive buffer.
TEST(Receiver, WholeMessagesAtOnceAsByteByByte) {
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        std::string stream = testing::mixed_traffic(30, static_cast<std::uint32_t>(round));
        for (int k = 0; k < 12; ++k) { // noise at random places
            const auto at = rng() % (stream.size() + 1);
            const char noise[] = {'\xE5', '\x01', '\x00', '\x7F', '\xB4', '\xE7', '\x0E', '\x10'};
            stream.insert(at, 1, noise[rng() % sizeof noise]);
        }
        Framer at_once, by_byte;
        at_once.feed(stream);
        for (const char c : stream)
            by_byte.receiver.framing_step(static_cast<unsigned char>(c));
        ASSERT_EQ(at_once.messages, by_byte.messages) << "round " << round;
        EXPECT_EQ(at_once.counts.bytes, by_byte.counts.bytes);
        EXPECT_EQ(at_once.counts.discarded, by_byte.counts.discarded);
        EXPECT_EQ(at_once.vars.answer_tab, by_byte.vars.answer_tab) << "round " << round;
        EXPECT_EQ(at_once.vars.answer_on, by_byte.vars.answer_on);
        EXPECT_EQ(at_once.vars.ln_buf, by_byte.vars.ln_buf);
        EXPECT_EQ(at_once.vars.ln_in_msg, by_byte.vars.ln_in_msg);
        EXPECT_EQ(at_once.vars.ln_count, by_byte.vars.ln_count);
    }
}

// Every consumer gets one value per message: its bytes, time, direction,
// checksum and place in the sequence; our own sends among them.
TEST(Receiver, EachMessageIsOneValueForEveryConsumer) {
    Framer f;
    std::vector<loconet::Message> heard;
    const auto listening =
        f.receiver.listen([&](const loconet::Message &m) { heard.push_back(m); });
    f.feed(bytes("83 7C"));
    f.now_ms = 1500;
    const std::string sent = bytes("B0 00 10 5F");
    f.receiver.sent(std::span(reinterpret_cast<const std::uint8_t *>(sent.data()), sent.size()));
    f.feed(bytes("B2 05 10 00 B0 00 10 5F"));
    ASSERT_EQ(heard.size(), 4u);
    const struct {
        loconet::Direction direction;
        bool checksum_ok;
        std::int64_t wall_us;
    } expected[] = {{loconet::Direction::Received, true, 1000},
                    {loconet::Direction::Sent, true, 1500},
                    {loconet::Direction::Received, false, 1500},
                    {loconet::Direction::Echo, true, 1500}};
    for (std::size_t i = 0; i < heard.size(); ++i) {
        EXPECT_EQ(heard[i].seq, i + 1);
        EXPECT_EQ(heard[i].direction, expected[i].direction) << i;
        EXPECT_EQ(heard[i].checksum_ok, expected[i].checksum_ok) << i;
        EXPECT_EQ(heard[i].wall_us, expected[i].wall_us) << i;
    }
    EXPECT_EQ(f.counts.messages, 3u) << "what was framed, not what was sent";
    EXPECT_EQ(f.echoes.missing(), 0u);
}

// A listener's end (in any order) ends its listening.
TEST(Receiver, AHandleEndsTheListening) {
    Framer f;
    int heard = 0;
    {
        const auto listening = f.receiver.listen([&](const loconet::Message &) { ++heard; });
        f.feed(bytes("83 7C"));
    }
    f.feed(bytes("83 7C"));
    EXPECT_EQ(heard, 1);
    auto outliving = std::make_unique<Receiver::MessageListeners::Handle>();
    {
        Framer shortlived;
        *outliving = shortlived.receiver.listen([&](const loconet::Message &) { ++heard; });
    }
    outliving.reset(); // the receiver is gone first: nothing to undo, nothing breaks
    EXPECT_EQ(heard, 1);
}

TEST(Receiver, StoppedMonitorDecodesNothingButStillCaptures) {
    Framer f;
    f.vars.monitor_on = kFalse;
    f.feed(bytes("E7 0E 03 33 52 10 30 07 12 09 01 00 00 44"));
    EXPECT_TRUE(f.messages.empty());
    EXPECT_EQ(f.vars.answer_tab[3][kAnswerFlagRow], kTrue);
    EXPECT_EQ(f.vars.answer_tab[3][4], 0x52);
    EXPECT_EQ(f.vars.answer_tab[3][13], 0x44);
}

TEST(Receiver, SlotDataIsDecodedAndCapturedInFull) {
    Framer f;
    f.feed(bytes("E7 0E 03 33 52 10 30 07 12 09 01 00 00"));
    EXPECT_EQ(f.vars.answer_tab[3][kAnswerFlagRow], 0) << "not yet complete";
    f.feed(bytes("44"));
    EXPECT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.vars.answer_tab[3][kAnswerFlagRow], kTrue);
    EXPECT_EQ(f.vars.answer_on, 0);
}

TEST(Receiver, CaptureCountIsFixedPerOpcode) {
    Framer f;
    // 16-byte peer transfer: the capture stops after 15 bytes
    std::string e5 = bytes("E5 10 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 6E");
    f.feed(e5);
    EXPECT_EQ(f.vars.answer_tab[1][kAnswerFlagRow], kTrue);
    EXPECT_EQ(f.vars.answer_tab[1][14], 0x0D);
    EXPECT_EQ(f.vars.answer_tab[1][15], 0) << "the last byte is left out";

    // a short immediate packet: the capture runs on into the next message
    f.feed(bytes("ED 07 01 02 03 04 05 B2 05 10 58"));
    EXPECT_EQ(f.vars.answer_tab[2][kAnswerFlagRow], 0);
    f.feed(bytes("83 7C 82 7D"));
    EXPECT_EQ(f.vars.answer_tab[2][kAnswerFlagRow], kTrue);
    EXPECT_EQ(f.vars.answer_tab[2][7], 0xB2);
    EXPECT_EQ(f.vars.answer_tab[2][14], 0x7D);
}

TEST(Receiver, LongAckRestartsARunningCapture) {
    Framer f;
    f.vars.answer_tab[3][kAnswerFlagRow] = 0;
    f.feed(bytes("E7 0E 03 B4 3C 20 57"));
    EXPECT_EQ(f.vars.answer_tab[3][kAnswerFlagRow], 0) << "slot data capture abandoned";
    EXPECT_EQ(f.vars.answer_tab[3][2], 0x03) << "keeps what it had";
    EXPECT_EQ(f.vars.answer_tab[0][kAnswerFlagRow], kTrue);
    EXPECT_EQ(f.vars.answer_tab[0][1], 0x3C);
}

} // namespace
} // namespace bl
