// Captures for Wireshark: what we write reads back the same; classic pcap
// in both byte orders and time resolutions, cut-off files, other link types
// and an empty file are read or refused as they should be; a file that
// cannot grow ends with its last whole block.
#include "capture/pcap_format.h"
#include "capture/pcapng_file.h"
#include "support/file_size_limit.h"
#include "support/messages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace bl::capture {
namespace {

struct Read {
    std::vector<std::string> bytes;
    std::vector<std::int64_t> times_us;
    std::vector<bool> outbound;
    std::optional<ReadProblem> problem;
};

// Fed in pieces of `piece` bytes, as reads deliver them.
Read read_all(const std::string &file, std::size_t piece = 7) {
    Read r;
    CaptureReader reader([&](const Packet &p) {
        r.bytes.emplace_back(p.bytes);
        r.times_us.push_back(p.time_us);
        r.outbound.push_back(p.outbound);
    });
    for (std::size_t at = 0; at < file.size(); at += piece)
        reader.feed(std::string_view(file).substr(at, piece));
    reader.finish();
    r.problem = reader.problem();
    return r;
}

std::vector<loconet::Message> session() {
    testing::MessageBus bus;
    return {bus.next("B2 02 50"), bus.next("E7 0E 05 03 39 00 00 00 00 00 00 00 00"),
            bus.next("83", loconet::Direction::Sent), bus.corrupt("A0 05 20")};
}

std::string pcapng_of(const std::vector<loconet::Message> &messages) {
    std::string file = section_header_block("test") + interface_block("demo", "simuliert");
    for (const auto &m : messages)
        file += packet_block(m, "Zeile");
    return file;
}

TEST(Pcapng, WhatWeWriteReadsBackTheSame) {
    const auto messages = session();
    const std::string file = pcapng_of(messages);
    EXPECT_EQ(format_of(file), Format::Pcapng);
    EXPECT_EQ(file.size() % 4, 0u);
    for (std::size_t piece : {1u, 7u, 4096u}) {
        const Read r = read_all(file, piece);
        EXPECT_FALSE(r.problem.has_value());
        ASSERT_EQ(r.bytes.size(), messages.size());
        for (std::size_t i = 0; i < messages.size(); ++i) {
            const auto view = messages[i].view();
            EXPECT_EQ(r.bytes[i], std::string(view.begin(), view.end()));
            EXPECT_EQ(r.times_us[i], messages[i].wall_us);
            EXPECT_EQ(r.outbound[i], messages[i].direction == loconet::Direction::Sent);
        }
    }
}

// A classic pcap record: the header in the file's byte order.
void put32(std::string &out, std::uint32_t v, bool big) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(big ? (v >> (8 * (3 - i))) & 0xFF : (v >> (8 * i)) & 0xFF));
}
std::string classic_pcap(bool big, bool nano, std::uint32_t link_type,
                         const std::vector<std::string> &packets) {
    std::string out;
    put32(out, nano ? 0xA1B23C4D : 0xA1B2C3D4, big);
    out += big ? std::string("\x00\x02\x00\x04", 4) : std::string("\x02\x00\x04\x00", 4);
    put32(out, 0, big);
    put32(out, 0, big);
    put32(out, 65535, big);
    put32(out, link_type, big);
    std::uint32_t second = 1'700'000'000;
    for (const std::string &p : packets) {
        put32(out, second++, big);
        put32(out, nano ? 250'000'000 : 250'000, big);
        put32(out, static_cast<std::uint32_t>(p.size()), big);
        put32(out, static_cast<std::uint32_t>(p.size()), big);
        out += p;
    }
    return out;
}

TEST(Pcap, BothByteOrdersAndResolutionsRead) {
    const std::vector<std::string> packets = {testing::bytes("B2 02 50 1F"),
                                              testing::bytes("83 7C")};
    for (bool big : {false, true}) {
        for (bool nano : {false, true}) {
            const std::string file = classic_pcap(big, nano, kLinkTypeLocoNet, packets);
            EXPECT_EQ(format_of(file), Format::Pcap);
            const Read r = read_all(file, 5);
            EXPECT_FALSE(r.problem.has_value()) << big << nano;
            EXPECT_EQ(r.bytes, packets) << big << nano;
            ASSERT_EQ(r.times_us.size(), 2u);
            EXPECT_EQ(r.times_us[1], 1'700'000'001'250'000LL) << big << nano;
        }
    }
}

TEST(Capture, OtherLinkTypesCutOffFilesAndEmptyOnesAreTold) {
    const Read ethernet = read_all(classic_pcap(false, false, 1, {"abcd"}));
    ASSERT_TRUE(ethernet.problem.has_value());
    EXPECT_EQ(ethernet.problem->what, ReadProblem::What::OtherLinkType);
    EXPECT_EQ(ethernet.problem->link_type, 1u);
    EXPECT_TRUE(ethernet.bytes.empty());

    std::string other = section_header_block("x") + interface_block("eth0", "");
    const std::size_t idb = section_header_block("x").size();
    other[idb + 8] = 1; // the interface's link type: Ethernet
    other[idb + 9] = 0;
    other += packet_block(session()[0], "");
    const Read r = read_all(other);
    ASSERT_TRUE(r.problem.has_value());
    EXPECT_EQ(r.problem->what, ReadProblem::What::OtherLinkType);

    const std::string whole = pcapng_of(session());
    for (const std::size_t cut : {whole.size() - 1, whole.size() - 30, std::size_t{13}}) {
        const Read part = read_all(whole.substr(0, cut));
        ASSERT_TRUE(part.problem.has_value()) << cut;
        EXPECT_EQ(part.problem->what, ReadProblem::What::Truncated) << cut;
        EXPECT_LT(part.bytes.size(), session().size()) << "what was whole came: " << cut;
    }
    EXPECT_EQ(read_all(whole.substr(0, whole.size() - 1)).bytes.size(), 3u);
    EXPECT_EQ(read_all("").problem->what, ReadProblem::What::Truncated);
    EXPECT_EQ(format_of(""), Format::Raw);
    EXPECT_EQ(format_of(testing::bytes("B2 02 50 1F")), Format::Raw);
}

// Two interfaces captured at once (mergecap, or a capture of two devices):
// the LocoNet one is read, the other's packets passed over and counted.
TEST(Pcapng, PacketsOfAnotherInterfaceArePassedOver) {
    std::string ethernet = interface_block("eth0", "");
    ethernet[8] = 1; // its link type: Ethernet
    ethernet[9] = 0;
    std::string foreign = packet_block(session()[0], "");
    foreign[8] = 1; // on interface 1
    const auto messages = session();
    std::string file = section_header_block("x") + interface_block("demo", "") + ethernet;
    for (const auto &m : messages)
        file += foreign + packet_block(m, "") + foreign;
    const Read r = read_all(file, 11);
    EXPECT_FALSE(r.problem.has_value());
    EXPECT_EQ(r.bytes.size(), messages.size());
    CaptureReader counting([](const Packet &) {});
    counting.feed(file);
    counting.finish();
    EXPECT_EQ(counting.passed_over(), 2 * messages.size());
}

// Times of any resolution in microseconds, exact where they fit and held at
// the latest time where they do not (never a wrapped or negative time).
TEST(Capture, TimeStampsOfAnyResolutionAndSize) {
    const struct {
        std::uint64_t stamp, units;
        std::int64_t us;
    } rows[] = {
        {1'700'000'000'123'456, 1'000'000, 1'700'000'000'123'456},
        {1'700'000'000'123'456'789, 1'000'000'000, 1'700'000'000'123'456},
        {3 * (1ull << 30) + (1ull << 29), 1ull << 30, 3'500'000},
        {UINT64_MAX, 1'000'000, kLatestTimeUs},
        {1ull << 62, 1'000'000, kLatestTimeUs},
        {UINT64_MAX, 1'000'000'000'000'000'000ull, 18'446'744},
        {999, 1000, 999'000},
        {5, 0, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(microseconds_of(row.stamp, row.units), row.us) << row.stamp << " / " << row.units;
}

TEST(PcapngFile, NeverOverAnotherAndEndsWithAWholeBlock) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.pcapng"));
    const auto messages = session();
    PcapngFile file;
    ASSERT_FALSE(file.open(path, QStringLiteral("demo"), QStringLiteral("simuliert")).has_value());
    PcapngFile second;
    EXPECT_TRUE(second.open(path, QStringLiteral("demo"), QString()).has_value());
    int failures = 0;
    QString told;
    file.set_on_failure([&](const QString &reason) {
        ++failures;
        told = reason;
    });
    {
        const QFileInfo before(path);
        const testing::FileSizeLimit limit(static_cast<rlim_t>(before.size() + 100));
        for (int i = 0; i < 10; ++i)
            file.write(messages[static_cast<std::size_t>(i) % messages.size()], "Zeile");
    }
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(told.isEmpty());
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const Read r = read_all(written.readAll().toStdString());
    EXPECT_FALSE(r.problem.has_value()) << "the file ends with the last whole block";
    EXPECT_GE(r.bytes.size(), 1u);
    EXPECT_LT(r.bytes.size(), 10u);
}

} // namespace
} // namespace bl::capture
