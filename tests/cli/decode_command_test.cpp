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

// What cannot be done is said in one German line, with a status that is
// not success, and nothing runs away.
TEST(BadInput, OneGermanLineAndAStatus) {
    const struct {
        const char *program;
        QStringList args;
        const char *output_file; // standard output goes here, where given
        int status;
        const char *told;
    } rows[] = {
        {BUSLAUSCHER_BINARY,
         {"--decode", "/nonexistent/x.bin"},
         nullptr,
         2,
         "Datei nicht lesbar: /nonexistent/x.bin (nicht vorhanden)"},
        {BUSLAUSCHER_BINARY,
         {"--decode", "/tmp"},
         nullptr,
         2,
         "Eingabe nicht lesbar: ist ein Ordner"},
        {BUSLAUSCHER_BINARY, {"--decode", "--bogus"}, nullptr, 2, "bogus"},
        {BUSLAUSCHER_BINARY,
         {"--decode"},
         "/dev/full",
         1,
         "Ausgabe nicht schreibbar: der Datenträger ist voll"},
        {BUSLAUSCHER_BINARY,
         {"--console", "--demo", "--rate", "inf"},
         nullptr,
         2,
         "--rate braucht"},
        {BUSLAUSCHER_BINARY,
         {"--console", "--demo", "--rate", "1e9"},
         nullptr,
         2,
         "--rate braucht"},
        {BUSLAUSCHER_SIM_BINARY, {"--pty", "--rate", "inf"}, nullptr, 2, "--rate braucht"},
        {BUSLAUSCHER_BINARY,
         {"--console", "--interface", "usb", "--port", "/dev/null"},
         nullptr,
         1,
         "kein serielles Gerät"},
    };
    for (const auto &row : rows) {
        QProcess p;
        if (row.output_file)
            p.setStandardOutputFile(QString::fromLatin1(row.output_file));
        p.start(QString::fromLatin1(row.program), row.args);
        p.write(QByteArray::fromStdString(kStream));
        p.closeWriteChannel();
        ASSERT_TRUE(p.waitForFinished(10000)) << row.args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), row.status) << row.args.join(' ').toStdString();
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_TRUE(err.contains(QString::fromUtf8(row.told))) << err.toStdString();
    }
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
            const auto r = static_cast<unsigned>(rng() % 100);
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
