// Real traffic recorded by other projects, read from outside the repository.
#include "loconet/findings.h"
#include "reception/receiver.h"
#include "support/bytes.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace bl {
namespace {

QString corpus_path(const char *file) {
    return QDir(QStringLiteral(BUSLAUSCHER_CORPUS_DIR)).filePath(QString::fromLatin1(file));
}

#define SKIP_WITHOUT_CORPUS(file)                                                                  \
    if (!QFile::exists(corpus_path(file)))                                                         \
    GTEST_SKIP() << "real captures not found at " BUSLAUSCHER_CORPUS_DIR "; skipping"

// Frames a byte stream and counts the messages per opcode and those whose
// checksum is wrong, as the receive path does.
struct Count {
    std::map<int, int> by_opcode;
    int total = 0;
    int bad_checksums = 0;
};

Count frame(const std::string &stream) {
    ModVariablen vars;
    loconet::BusCounts counts;
    loconet::EchoWatch echoes;
    Receiver r(vars, vars, counts, echoes, {}, {});
    r.framing_steps(stream);
    EXPECT_EQ(vars.ln_in_msg, 0) << "no message left unfinished";
    Count c{{}, static_cast<int>(counts.messages), static_cast<int>(counts.checksum_errors)};
    for (int i = 0; i < 128; ++i)
        if (const auto n = counts.per_opcode[static_cast<std::size_t>(i)])
            c.by_opcode[0x80 + i] = static_cast<int>(n);
    return c;
}

// The findings of a stream, by kind.
std::vector<std::string> findings_of(const std::string &stream) {
    ModVariablen vars;
    loconet::BusCounts counts;
    loconet::EchoWatch echoes;
    loconet::BusContext context;
    context.watch_unreplied();
    loconet::Findings findings;
    std::vector<std::string> kinds;
    findings.on_found(
        [&kinds](const loconet::Finding &f) { kinds.emplace_back(loconet::finding_id(f.kind)); });
    Receiver r(vars, vars, counts, echoes, {}, {});
    r.set_annotate([&](loconet::Message &m) {
        context.observe(m);
        findings.observe(m, context);
    });
    const auto discards = r.on_discarded(
        [&findings](std::span<const std::uint8_t> b) { findings.discarded(b.size()); });
    r.framing_steps(stream);
    r.finish();
    findings.finish();
    return kinds;
}

struct CaptureRow {
    const char *file;
    int messages;
    std::map<int, int> opcodes; // without the 0xC0 time stamps
};

void PrintTo(const CaptureRow &row, std::ostream *os) { *os << row.file; }

class RealCaptureTest : public ::testing::TestWithParam<CaptureRow> {};

TEST_P(RealCaptureTest, FramesIntoTheCountedMessages) {
    SKIP_WITHOUT_CORPUS(GetParam().file);
    QFile f(corpus_path(GetParam().file));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const Count c = frame(f.readAll().toStdString());
    EXPECT_EQ(c.total, GetParam().messages);
    EXPECT_EQ(c.bad_checksums, 0);
    auto opcodes = c.by_opcode;
    opcodes.erase(0xC0);
    EXPECT_EQ(opcodes, GetParam().opcodes);
}

// Normal sessions: nothing went wrong but the power switched off at their
// end (every one but the smallest ends so).
TEST_P(RealCaptureTest, FindNothingButThePowerSwitchedOffAtTheEnd) {
    SKIP_WITHOUT_CORPUS(GetParam().file);
    QFile f(corpus_path(GetParam().file));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto found = findings_of(f.readAll().toStdString());
    const bool switched_off = GetParam().opcodes.count(0x82) != 0;
    EXPECT_EQ(found, switched_off ? std::vector<std::string>{"gleisspannung"}
                                  : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Pylnlib, RealCaptureTest,
    ::testing::Values(
        CaptureRow{"pylnlib_pylnlib.capture",
                   23,
                   {{0x82, 1}, {0x83, 1}, {0xA1, 1}, {0xB2, 18}, {0xBB, 1}, {0xE7, 1}}},
        CaptureRow{"pylnlib_session001.capture",
                   120,
                   {{0x82, 1},
                    {0x83, 1},
                    {0xA0, 57},
                    {0xA1, 9},
                    {0xB0, 4},
                    {0xB2, 46},
                    {0xBB, 1},
                    {0xE7, 1}}},
        CaptureRow{"pylnlib_session002.capture",
                   123,
                   {{0x82, 1},
                    {0x83, 1},
                    {0xA0, 55},
                    {0xA1, 6},
                    {0xA3, 2},
                    {0xB0, 12},
                    {0xB2, 44},
                    {0xBB, 1},
                    {0xE7, 1}}},
        CaptureRow{"pylnlib_session003.capture",
                   126,
                   {{0x82, 1},
                    {0x83, 1},
                    {0xA0, 65},
                    {0xA1, 7},
                    {0xB2, 46},
                    {0xBB, 1},
                    {0xD4, 4},
                    {0xE7, 1}}},
        CaptureRow{
            "pylnlib_session004.capture",
            206,
            {{0x82, 1}, {0xA0, 58}, {0xA1, 10}, {0xB2, 28}, {0xBB, 1}, {0xD4, 4}, {0xE7, 1}}},
        CaptureRow{"pylnlib_session005.capture",
                   164,
                   {{0x82, 1},
                    {0x83, 1},
                    {0xA1, 10},
                    {0xA2, 8},
                    {0xA3, 8},
                    {0xB2, 20},
                    {0xBB, 1},
                    {0xD4, 32},
                    {0xE7, 1}}},
        CaptureRow{"pylnlib_test_sample.capture", 2, {{0x83, 1}}}),
    [](const auto &row) {
        std::string n = row.param.file;
        return n.substr(8, n.find('.') - 8);
    });

TEST(TraintasticCaptures, EveryLineIsOneMessage) {
    SKIP_WITHOUT_CORPUS("traintastic_captures.txt");
    QFile f(corpus_path("traintastic_captures.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&f);
    int lines = 0;
    std::string all;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const QString hex = line.section(QLatin1Char('#'), 0, 0).trimmed();
        if (hex.isEmpty())
            continue;
        ++lines;
        const std::string msg = testing::bytes(hex.toStdString());
        EXPECT_EQ(frame(msg).total, 1) << line.toStdString();
        all += msg;
    }
    EXPECT_EQ(lines, 111);
    const Count c = frame(all);
    EXPECT_EQ(c.total, 111);
    EXPECT_EQ(c.bad_checksums, 0);
    EXPECT_EQ(c.by_opcode.at(0xE4), 9);
    // programming by article number, answered and acknowledged: no finding
    EXPECT_EQ(findings_of(all), std::vector<std::string>{});
}

} // namespace
} // namespace bl
