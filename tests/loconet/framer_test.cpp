#include "loconet/framer.h"
#include "support/bytes.h"

#include <gtest/gtest.h>

namespace bl::loconet {
namespace {

using testing::bytes;

struct Framed {
    std::vector<std::string> messages;
    int discarded = 0;
};

Framed frame(const std::string &stream) {
    FrameState s;
    Framed out;
    for (const char c : stream) {
        const int b = static_cast<unsigned char>(c);
        out.discarded += discards(s, b);
        if (frame_byte(s, b))
            out.messages.emplace_back(s.ln_buf.begin(), s.ln_buf.begin() + s.ln_len);
    }
    return out;
}

TEST(Framer, CutsTheStreamByTheOpcodesLengthRule) {
    const struct {
        const char *stream;
        std::vector<const char *> messages;
        int discarded;
    } rows[] = {
        {"83 7C A0 01 10 4E C0 01 02 03 04 05 E4 03 00",
         {"83 7C", "A0 01 10 4E", "C0 01 02 03 04 05", "E4 03 00"},
         0},
        {"01 7F 00 83 7C", {"83 7C"}, 3},             // data before the first opcode
        {"A0 01 10 B2 05 10 58", {"B2 05 10 58"}, 3}, // cut short by an opcode
        {"E7 02 83 7C", {"E7 02", "83 7C"}, 0},       // length byte 2
        {"E0 00 01 02 03 83 7C", {"83 7C"}, 5},       // length byte 0 never completes
        {"FF 01 05 83 7C", {"83 7C"}, 3},             // nor does 1
        {"82 7D 10 20 82 7D", {"82 7D", "82 7D"}, 2}, // stray data between messages
    };
    for (const auto &row : rows) {
        const Framed f = frame(bytes(row.stream));
        std::vector<std::string> expected;
        for (const char *m : row.messages)
            expected.push_back(bytes(m));
        EXPECT_EQ(f.messages, expected) << row.stream;
        EXPECT_EQ(f.discarded, row.discarded) << row.stream;
    }
}

TEST(Framer, OverlongMessageIsDroppedUntilTheNextOpcode) {
    const Framed f = frame(bytes("E0 00") + std::string(2000, '\x11') + bytes("B2 05 10 58"));
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0], bytes("B2 05 10 58"));
    EXPECT_EQ(f.discarded, 2002) << "every byte is accounted for";
}

TEST(Checksum, MakesTheExclusiveOrOfAllBytesFF) {
    const std::string b0_10 = bytes("B0 00 10"), b0_30 = bytes("B0 00 30");
    EXPECT_EQ(checksum(b0_10.begin(), b0_10.end()), 0x5F);
    EXPECT_EQ(checksum(b0_30.begin(), b0_30.end()), 0x7F);
    const std::string good = bytes("B2 05 10 58"), bad = bytes("B2 05 10 59");
    EXPECT_TRUE(checksum_ok(good.begin(), good.end()));
    EXPECT_FALSE(checksum_ok(bad.begin(), bad.end()));
}

} // namespace
} // namespace bl::loconet
