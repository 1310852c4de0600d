#include "support/bytes.h"
#include "support/traffic.h"

#include <random>

#include <QProcess>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace {

using bl::testing::bytes;

struct Outcome {
    int status;
    QByteArray out;
    QByteArray err;
};

Outcome run(const QStringList &args, const std::string &input = {}) {
    QProcess p;
    p.start(QStringLiteral(BUSLAUSCHER_BINARY), args);
    p.write(input.data(), static_cast<qint64>(input.size()));
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

const std::string kStream = bytes("83 7C 85 7A B2 05 10 58 81 7E");

TEST(DecodeCommand, ThreeOutputModes) {
    const struct {
        QStringList flags;
        const char *expected;
    } rows[] = {
        {{}, "Gleisspannung eingeschaltet\nHEX: 85 7A \nRückmelder 11 = belegt\n"},
        {{QStringLiteral("--no-ascii-hex")},
         "Gleisspannung eingeschaltet\nRückmelder 11 = belegt\n"},
        {{QStringLiteral("--hex-output")}, "83 7C \n85 7A \nB2 05 10 58 \n81 7E \n"},
        {{QStringLiteral("--hex-output"), QStringLiteral("--no-ascii-hex")},
         "83 7C \n85 7A \nB2 05 10 58 \n81 7E \n"},
    };
    for (const auto &row : rows) {
        const Outcome r = run(QStringList{QStringLiteral("--decode")} << row.flags, kStream);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.toStdString(), row.expected) << row.flags.join(' ').toStdString();
    }
}

TEST(DecodeCommand, ReadsFileAndPrintsAreaWithCrLfAndCut) {
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    std::string stream;
    for (int i = 0; i < 300; ++i)
        stream += bytes("83 7C");
    stream += bytes("E7 0E 7F 33 7F 10 3F 07 12 7F 0F 00 00 00");
    file.write(stream.data(), static_cast<qint64>(stream.size()));
    file.close();

    const Outcome r = run({QStringLiteral("--decode"), QStringLiteral("--area"), file.fileName()});
    EXPECT_EQ(r.status, 0);
    // the area grows by 29 characters a line and is cut to 4900 past 5000
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        if (expected.size() > 5000)
            expected = expected.substr(expected.size() - 4900);
        expected += "Gleisspannung eingeschaltet\r\n";
    }
    if (expected.size() > 5000)
        expected = expected.substr(expected.size() - 4900);
    expected +=
        "Slot  127 = Lokadr. 16383, Geschw. 16 , Kat: 3 ,rückwärts F0 F1 F2 F3 F4 F5 F6 F\r\n"
        "7 F8 \r\n";
    EXPECT_EQ(r.out.toStdString(), expected);
}

TEST(DecodeCommand, FailuresExitWithStatusTwo) {
    const Outcome missing = run({QStringLiteral("--decode"), QStringLiteral("/nonexistent/x.bin")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(missing.err.count('\n'), 1);
    EXPECT_TRUE(missing.err.contains("/nonexistent/x.bin"));

    const Outcome unknown = run({QStringLiteral("--decode"), QStringLiteral("--bogus")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.count('\n'), 1);
}

// Frames as LocoNet does, written apart from the program's framer: a
// message runs from an opcode until it holds the bytes its opcode (or its
// length byte) asks for.
struct Independent {
    long messages = 0;
    long bad_checksums = 0;
};
Independent frame_independently(const std::string &stream) {
    Independent count;
    std::vector<int> msg;
    int wanted = 0;
    for (const char ch : stream) {
        const int c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            msg = {c};
            wanted = c < 0xA0 ? 2 : c < 0xC0 ? 4 : c < 0xE0 ? 6 : -1;
            continue;
        }
        if (msg.empty() || msg.size() > 600)
            continue;
        msg.push_back(c);
        if (wanted == -1)
            wanted = c;
        if (static_cast<int>(msg.size()) == wanted) {
            ++count.messages;
            int x = 0;
            for (const int b : msg)
                x ^= b;
            count.bad_checksums += x != 0xFF;
            msg.clear();
        }
    }
    return count;
}

TEST(DecodeCommand, StatsCountLikeAnIndependentFramer) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        // realistic traffic, with bytes changed, dropped and thrown in
        std::mt19937 rng(seed);
        std::string noisy;
        for (const char c : bl::testing::mixed_traffic(3000, seed)) {
            const unsigned r = rng() % 100;
            if (r == 0)
                continue;
            noisy.push_back(r == 1 ? static_cast<char>(rng()) : c);
            if (r == 2)
                noisy.push_back(static_cast<char>(rng()));
        }
        const Outcome plain = run({QStringLiteral("--decode")}, noisy);
        const Outcome stats = run({QStringLiteral("--decode"), QStringLiteral("--stats")}, noisy);
        EXPECT_EQ(stats.out, plain.out) << "standard output stays as it is";
        const Independent expected = frame_independently(noisy);
        const QList<QByteArray> report = stats.err.split('\n');
        ASSERT_GE(report.size(), 3);
        EXPECT_EQ(report[0], "Meldungen: " + QByteArray::number(expected.messages));
        EXPECT_EQ(report[1], "Prüfsummenfehler: " + QByteArray::number(expected.bad_checksums));
        EXPECT_GT(expected.bad_checksums, 10) << "noisy enough";
    }
}

TEST(DecodeCommand, HelpAndVersion) {
    const Outcome help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--decode"));
    const Outcome version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("bus-lauscher "));
}

} // namespace
