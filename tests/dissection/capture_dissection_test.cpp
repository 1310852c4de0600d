// A capture as Wireshark's dissector sees it: packets split into messages
// and given-up bytes, each message decoded as the monitor decodes it in the
// same stream, the same however often and in whatever order a packet is
// dissected again, and replies tied to their requests by frame.
#include "dissection/capture_dissection.h"

#include "loconet/framer.h"
#include "support/bytes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace bl {
namespace {

using dissection::CaptureDissection;
using dissection::Part;
using Kind = Part::Kind;

std::span<const std::uint8_t> span_of(const std::string &bytes) {
    return {reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()};
}

struct Piece {
    Kind kind;
    int offset, length, expected;
    bool operator==(const Piece &) const = default;
};
std::ostream &operator<<(std::ostream &os, const Piece &p) {
    return os << "{" << static_cast<int>(p.kind) << ", " << p.offset << ", " << p.length << ", "
              << p.expected << "}";
}

TEST(CaptureDissection, SplitsAPacketAsTheBusFramesIt) {
    constexpr auto M = Kind::Message, C = Kind::Cut, S = Kind::Stray;
    const struct {
        const char *packet;
        std::vector<Piece> pieces;
    } cases[] = {
        {"", {}},
        {"83 7C", {{M, 0, 2, 2}}},
        {"83 7C 82 7D", {{M, 0, 2, 2}, {M, 2, 2, 2}}},
        {"05 06 83 7C", {{S, 0, 2, 0}, {M, 2, 2, 2}}},
        {"83 7C 05", {{M, 0, 2, 2}, {S, 2, 1, 0}}},
        {"E7", {{C, 0, 1, 0}}},                                  // its length byte is missing
        {"E7 0E 01", {{C, 0, 3, 14}}},                           // the packet ends first
        {"B2 05 83 7C", {{C, 0, 2, 4}, {M, 2, 2, 2}}},           // an opcode cuts it
        {"E7 01 05 06 83 7C", {{C, 0, 4, 1}, {M, 2 + 2, 2, 2}}}, // a length of 1 never ends
        {"E5 03 19", {{M, 0, 3, 3}}},
    };
    for (const auto &c : cases) {
        CaptureDissection capture;
        std::vector<Piece> got;
        for (const Part &p : capture.dissect(1, 0, false, span_of(testing::bytes(c.packet))))
            got.push_back({p.kind, p.offset, p.length, p.expected});
        EXPECT_EQ(got, c.pieces) << c.packet;
    }
}

TEST(CaptureDissection, AWrongChecksumIsStillAMessageAndSaysSo) {
    CaptureDissection capture;
    const auto parts = capture.dissect(1, 0, false, span_of(testing::bytes("83 00")));
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].kind, Kind::Message);
    EXPECT_FALSE(parts[0].message.checksum_ok);
}

// Every message of a raw capture as a packet of its own, as recordings hold them.
std::vector<std::string> packets_of(const QByteArray &raw) {
    std::vector<std::string> packets;
    loconet::Framer framer;
    for (const char c : raw)
        if (framer.feed(static_cast<unsigned char>(c))) {
            std::string packet;
            for (const std::int32_t b : framer.message())
                packet.push_back(static_cast<char>(b));
            packets.push_back(packet);
        }
    return packets;
}

QStringList lines_of(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The Info lines of a capture's packets equal the monitor's detailed lines
// for the same stream, reviewed by hand in the golden files.
void expect_detailed_lines(const QString &capture_path, const QString &detail_path) {
    QFile f(capture_path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << capture_path.toStdString();
    const std::vector<std::string> packets = packets_of(f.readAll());
    const QStringList expected = lines_of(detail_path);
    ASSERT_EQ(packets.size(), static_cast<std::size_t>(expected.size()))
        << detail_path.toStdString();
    CaptureDissection capture;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const auto parts =
            capture.dissect(static_cast<std::uint32_t>(i + 1), 0, false, span_of(packets[i]));
        ASSERT_EQ(parts.size(), 1u);
        EXPECT_EQ(QString::fromStdString(parts[0].line), expected[static_cast<qsizetype>(i)])
            << "packet " << i + 1 << " of " << capture_path.toStdString();
    }
}

TEST(CaptureDissection, InfoIsTheMonitorsDetailedLine) {
    expect_detailed_lines(QStringLiteral(BUSLAUSCHER_TEST_DATA "/renderings.capture"),
                          QStringLiteral(BUSLAUSCHER_TEST_DATA "/renderings.detail"));
}

TEST(CaptureDissection, InfoIsTheMonitorsDetailedLineForRealCaptures) {
    const QDir corpus(QStringLiteral(BUSLAUSCHER_CORPUS_DIR));
    const QStringList names = corpus.entryList({QStringLiteral("*.capture")});
    if (names.isEmpty())
        GTEST_SKIP() << "the real captures (" BUSLAUSCHER_CORPUS_DIR ") are absent; skipping";
    for (const QString &name : names) {
        const QString detail = QStringLiteral(BUSLAUSCHER_TEST_DATA "/real/") +
                               QFileInfo(name).completeBaseName() + QStringLiteral(".detail");
        if (QFile::exists(detail))
            expect_detailed_lines(corpus.filePath(name), detail);
    }
}

// What a dissection shows of a part, to compare two dissections.
std::string shown(const Part &p) {
    std::string s = p.line;
    for (const loconet::DetailField &f : p.fields) {
        s += '|';
        s += loconet::info(f.id).name;
        s += '=';
        s += std::to_string(f.number);
        s += f.text;
        s += '@';
        s += std::to_string(f.first_byte);
    }
    s += "|to=";
    s += std::to_string(p.response_to);
    s += "|in=";
    for (const std::uint32_t frame : p.response_in)
        s += std::to_string(frame) + ",";
    return s;
}

TEST(CaptureDissection, AFrameLooksTheSameWhenDissectedAgainInAnyOrder) {
    QFile f(QStringLiteral(BUSLAUSCHER_TEST_DATA "/renderings.capture"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const std::vector<std::string> packets = packets_of(f.readAll());
    CaptureDissection capture;
    std::vector<std::string> second;
    for (std::size_t i = 0; i < packets.size(); ++i)
        capture.dissect(static_cast<std::uint32_t>(i + 1), 0, false, span_of(packets[i]));
    // the second pass knows the replies that came later; a third, backwards,
    // must show exactly what the second did
    for (std::size_t i = 0; i < packets.size(); ++i)
        second.push_back(shown(
            capture.dissect(static_cast<std::uint32_t>(i + 1), 0, false, span_of(packets[i]))[0]));
    for (std::size_t i = packets.size(); i-- > 0;)
        EXPECT_EQ(shown(capture.dissect(static_cast<std::uint32_t>(i + 1), 0, false,
                                        span_of(packets[i]))[0]),
                  second[i])
            << "packet " << i + 1;
}

TEST(CaptureDissection, AnyPacketTimeIsCarriedWithoutOverflow) {
    // a capture file may claim any time; the undefined-behaviour sanitizer
    // would report an overflow of a message's nanoseconds
    CaptureDissection capture;
    const std::string request = testing::bytes("BF 00 03 43");
    capture.dissect(1, INT64_MAX, false, span_of(request));
    const auto late = capture.dissect(2, -5, false, span_of(request));
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].message.wall_us, 0);
    EXPECT_EQ(capture.dissect(1, 0, false, span_of(request))[0].message.wall_us,
              loconet::kLatestTimeUs);
}

TEST(CaptureDissection, RepliesAndRequestsNameEachOthersFrames) {
    CaptureDissection capture;
    const std::string request = testing::bytes("BF 00 03 43"); // which slot holds loco 3?
    const std::string power = testing::bytes("83 7C");         // in between, unasked
    const std::string reply =
        testing::bytes("E7 0E 04 33 03 00 00 07 00 00 00 00 00 25"); // slot 4 holds it
    ASSERT_TRUE(loconet::checksum_ok(reply.begin(), reply.end()));
    capture.dissect(1, 1'000'000, false, span_of(request));
    capture.dissect(2, 1'010'000, false, span_of(power));
    const auto answered = capture.dissect(3, 1'025'000, false, span_of(reply));
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].response_to, 1u);
    EXPECT_EQ(answered[0].response_time_us, 25'000);
    EXPECT_EQ(capture.dissect(2, 1'010'000, false, span_of(power))[0].response_to, 0u);
    // the request learns of its reply once the reply was seen
    EXPECT_EQ(capture.dissect(1, 1'000'000, false, span_of(request))[0].response_in,
              std::vector<std::uint32_t>{3});
    // a reply in the same packet as its request
    CaptureDissection together;
    const auto both = together.dissect(7, 5'000'000, false, span_of(request + reply));
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[1].response_to, 7u);
    EXPECT_EQ(both[1].response_time_us, 0);
}

TEST(CaptureDissection, ASlotsLocoIsKnownFromEarlierFrames) {
    CaptureDissection capture;
    capture.dissect(1, 0, false,
                    span_of(testing::bytes("E7 0E 04 33 03 00 00 07 00 00 00 00 00 25")));
    const auto speed = capture.dissect(2, 0, false, span_of(testing::bytes("A0 04 10 4B")));
    ASSERT_EQ(speed.size(), 1u);
    const auto loco = std::find_if(speed[0].fields.begin(), speed[0].fields.end(),
                                   [](const auto &f) { return f.id == loconet::FieldId::Loco; });
    ASSERT_NE(loco, speed[0].fields.end()) << speed[0].line;
    EXPECT_EQ(loco->number, 3);
    // a new file forgets it
    capture.reset();
    const auto alone = capture.dissect(1, 0, false, span_of(testing::bytes("A0 04 10 4B")));
    EXPECT_TRUE(std::none_of(alone[0].fields.begin(), alone[0].fields.end(),
                             [](const auto &f) { return f.id == loconet::FieldId::Loco; }));
}

TEST(CaptureDissection, FindingsAreToldAtTheFrameWhereTheyHappened) {
    CaptureDissection capture;
    capture.dissect(1, 1'000'000, false, span_of(testing::bytes("83 7C")));
    capture.dissect(2, 2'000'000, false, span_of(testing::bytes("82 7D")));
    ASSERT_EQ(capture.findings_at(2).size(), 1u);
    EXPECT_EQ(capture.findings_at(2)[0].kind, loconet::FindingKind::TrackPower);
    EXPECT_EQ(capture.raised_at(2), std::vector{loconet::FindingKind::TrackPower});
    EXPECT_TRUE(capture.findings_at(1).empty());
    // a request never answered: found when a later message shows its time
    // ran out, told at the request's frame
    capture.dissect(3, 3'000'000, false, span_of(testing::bytes("BF 00 03 43")));
    capture.dissect(4, 9'000'000, false, span_of(testing::bytes("83 7C")));
    ASSERT_EQ(capture.findings_at(3).size(), 1u);
    EXPECT_EQ(capture.findings_at(3)[0].kind, loconet::FindingKind::Unanswered);
    EXPECT_EQ(capture.raised_at(4), std::vector{loconet::FindingKind::Unanswered});
}

} // namespace
} // namespace bl
