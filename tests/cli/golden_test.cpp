// Captures of our own under tests/data/ through the headless decoder: each
// NAME.capture has its expected output, reviewed once by hand, in NAME.lines
// (default), NAME.hex (--hex-output), NAME.plain (--no-ascii-hex),
// NAME.marked (--mark-errors), NAME.detail (--detail) and NAME.stats (the
// --stats report), where present. Real captures recorded by other projects
// are read from outside the repository; their detailed lines, reviewed once,
// are in data/real/NAME.detail.
#include "cli/decode_command.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

namespace bl {
namespace {

// What --decode writes on standard output and standard error.
std::pair<QByteArray, QByteArray> decode(const QByteArray &capture, const RunOptions &options) {
    std::FILE *in = fmemopen(const_cast<char *>(capture.constData()),
                             static_cast<std::size_t>(capture.size()), "rb");
    char *out_buf = nullptr, *err_buf = nullptr;
    std::size_t out_size = 0, err_size = 0;
    std::FILE *out = open_memstream(&out_buf, &out_size);
    std::FILE *err = open_memstream(&err_buf, &err_size);
    EXPECT_EQ(run_decode(in, out, err, options), 0);
    for (std::FILE *f : {in, out, err})
        std::fclose(f);
    std::pair result{QByteArray(out_buf, static_cast<qsizetype>(out_size)),
                     QByteArray(err_buf, static_cast<qsizetype>(err_size))};
    std::free(out_buf);
    std::free(err_buf);
    return result;
}

RunOptions with(void (*set)(RunOptions &)) {
    RunOptions o;
    set(o);
    return o;
}

TEST(Golden, EveryCaptureDecodesToItsReviewedLines) {
    const QDir data(QStringLiteral(BUSLAUSCHER_TEST_DATA));
    const QStringList captures = data.entryList({QStringLiteral("*.capture")});
    ASSERT_GE(captures.size(), 2);
    const struct {
        const char *suffix;
        RunOptions options;
        bool report; // the expected text is what goes to standard error
    } kinds[] = {
        {".lines", {}, false},
        {".hex", with([](RunOptions &o) { o.output.hex_output = true; }), false},
        {".plain", with([](RunOptions &o) { o.output.ascii_hex = false; }), false},
        {".marked", with([](RunOptions &o) { o.mark_errors = true; }), false},
        {".detail", with([](RunOptions &o) { o.output.detail = true; }), false},
        {".stats", with([](RunOptions &o) { o.stats = true; }), true},
    };
    int compared = 0;
    for (const QString &name : captures) {
        QFile capture(data.filePath(name));
        ASSERT_TRUE(capture.open(QIODevice::ReadOnly));
        const QByteArray bytes = capture.readAll();
        const QString base = name.chopped(8);
        for (const auto &kind : kinds) {
            QFile expected(data.filePath(base + QLatin1String(kind.suffix)));
            if (!expected.open(QIODevice::ReadOnly))
                continue;
            ++compared;
            const auto [out, err] = decode(bytes, kind.options);
            EXPECT_EQ((kind.report ? err : out).toStdString(), expected.readAll().toStdString())
                << (base + QLatin1String(kind.suffix)).toStdString();
            if (kind.report) {
                EXPECT_EQ(out, decode(bytes, {}).first) << "standard output stays as it is";
            }
        }
    }
    EXPECT_GE(compared, captures.size());
}

RunOptions filtered(const char *expression, bool hex = false) {
    RunOptions o;
    o.filter = QString::fromUtf8(expression);
    o.output.hex_output = hex;
    return o;
}

QList<QByteArray> lines_of(const QByteArray &out) {
    QList<QByteArray> lines = out.split('\n');
    lines.removeLast(); // after the last line end
    return lines;
}

// With a filter each matching message gives exactly one line: a filter and
// its negation together give one line a message; "fehler" as many as the
// report counts.
TEST(Golden, AFilterGivesOneLineForEachMessageItTakes) {
    for (const char *name : {"renderings.capture", "garbage.capture"}) {
        QFile f(QStringLiteral(BUSLAUSCHER_TEST_DATA "/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        RunOptions stats;
        stats.stats = true;
        const QByteArray report = decode(bytes, stats).second;
        const auto count = [&](const char *what) {
            const qsizetype at = report.indexOf(what) + qsizetype(std::strlen(what));
            return report.mid(at, report.indexOf('\n', at) - at).trimmed().toInt();
        };
        for (bool hex : {false, true}) {
            const auto taken = lines_of(decode(bytes, filtered("opcode=B2", hex)).first);
            const auto rest = lines_of(decode(bytes, filtered("nicht opcode=B2", hex)).first);
            EXPECT_EQ(taken.size() + rest.size(), count("Meldungen:")) << name;
            for (const QByteArray &line : taken)
                EXPECT_TRUE(line.contains("ckmelder") || line.startsWith("B2 ") ||
                            line.startsWith("HEX: B2 "))
                    << line.toStdString();
        }
        EXPECT_EQ(lines_of(decode(bytes, filtered("fehler")).first).size(),
                  count("Prüfsummenfehler:"))
            << name;
    }
}

TEST(Golden, AFilterOnSensorsAndSwitchesPrintsJustTheirLines) {
    const QByteArray bytes = QByteArray::fromHex("B202501F" // sensor 5 occupied
                                                 "B2045019" // sensor 9
                                                 "B00A3075" // switch 11
                                                 "BC0A0049" // its state asked
                                                 "B0093076" // switch 10
                                                 "81 7E" // busy: shown by no rendering, so as bytes
                                                 "A0051A40");
    const QByteArray out = decode(bytes, filtered("rm=5 oder weiche=11")).first;
    EXPECT_EQ(out.toStdString(), "R\xC3\xBC"
                                 "ckmelder 5 = belegt\n"
                                 "Mag.-Art.: 11 - gr\xC3\xBCn - ein \n"
                                 "Statusanfrage nach Mag.-Art. 11\n");
    EXPECT_EQ(decode(bytes, filtered("opcode=81")).first.toStdString(), "HEX: 81 7E \n");
}

// A classic pcap (link type 147, little endian, microseconds) of the bytes,
// cut into packets of five: a capture decodes as the same bytes do.
QByteArray as_classic_pcap(const QByteArray &bytes) {
    QByteArray out = QByteArray::fromHex("d4c3b2a1020004000000000000000000ffff000093000000");
    for (qsizetype at = 0; at < bytes.size(); at += 5) {
        const QByteArray packet = bytes.mid(at, 5);
        const auto n = static_cast<char>(packet.size());
        out += QByteArray::fromHex("00f1536500000000") + QByteArray(1, n) + QByteArray(3, '\0') +
               QByteArray(1, n) + QByteArray(3, '\0') + packet;
    }
    return out;
}

TEST(Golden, AClassicPcapDecodesToTheLinesOfItsBytes) {
    const QDir data(QStringLiteral(BUSLAUSCHER_TEST_DATA));
    for (const QString &name : data.entryList({QStringLiteral("*.capture")})) {
        QFile f(data.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const auto [out, err] = decode(as_classic_pcap(bytes), {});
        EXPECT_EQ(out.toStdString(), decode(bytes, {}).first.toStdString()) << name.toStdString();
        EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    }
}

// The bytes of a capture: a binary file as it is, a text file as hex
// pairs, one message a line, with the description after '#' left out.
QByteArray capture_bytes(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    if (!path.endsWith(QLatin1String(".txt")))
        return f.readAll();
    QByteArray bytes;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine();
        const QByteArray hex = line.left(line.indexOf('#'));
        bytes += QByteArray::fromHex(hex.simplified().replace(' ', ""));
    }
    return bytes;
}

TEST(Golden, RealCapturesDecodeToTheirReviewedDetailedLines) {
    const QDir corpus(QStringLiteral(BUSLAUSCHER_CORPUS_DIR));
    if (!corpus.exists())
        GTEST_SKIP() << "real captures not found at " BUSLAUSCHER_CORPUS_DIR "; skipping";
    const QDir golden(QStringLiteral(BUSLAUSCHER_TEST_DATA "/real"));
    const QStringList expected = golden.entryList({QStringLiteral("*.detail")});
    ASSERT_GE(expected.size(), 8);
    RunOptions detail;
    detail.output.detail = true;
    for (const QString &name : expected) {
        const QString base = name.chopped(7);
        QString path = corpus.filePath(base + QLatin1String(".capture"));
        if (!QFile::exists(path))
            path = corpus.filePath(base + QLatin1String(".txt"));
        const QByteArray bytes = capture_bytes(path);
        ASSERT_FALSE(bytes.isEmpty()) << path.toStdString();
        QFile lines(golden.filePath(name));
        ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
        const QByteArray out = decode(bytes, detail).first;
        EXPECT_EQ(out.toStdString(), lines.readAll().toStdString()) << name.toStdString();
        // every message of a real layout has its meaning; only the
        // recorder's own time marks (0xC0) are no LocoNet message
        for (const QByteArray &line : out.split('\n')) {
            if (line.startsWith("Unbekannte Meldung") || line.startsWith("HEX:")) {
                EXPECT_TRUE(line.startsWith("Unbekannte Meldung (Opcode 0xC0): C0"))
                    << line.toStdString();
            }
        }
    }
}

} // namespace
} // namespace bl
