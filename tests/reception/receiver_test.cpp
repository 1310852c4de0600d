#include "reception/receiver.h"
#include "support/bytes.h"
#include "support/traffic.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::bytes;

// Records every message the framing step hands to the decoder.
struct Framer {
    ModVariablen vars;
    loconet::BusCounts counts;
    std::vector<std::string> messages;
    Receiver receiver{vars, counts, [this] {
                          std::string m;
                          for (int i = 0; i < vars.ln_len; ++i)
                              m.push_back(
                                  static_cast<char>(vars.ln_buf[static_cast<std::size_t>(i)]));
                          messages.push_back(m);
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
