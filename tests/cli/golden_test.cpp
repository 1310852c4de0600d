// Captures of our own under tests/data/ through the headless decoder: each
// NAME.capture has its expected output, reviewed once by hand, in
// NAME.lines (default), NAME.hex (--hex-output) and NAME.plain
// (--no-ascii-hex), where present.
#include "cli/decode_command.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace bl {
namespace {

QByteArray decode(const QByteArray &capture, const OutputModes &modes) {
    std::FILE *in = fmemopen(const_cast<char *>(capture.constData()),
                             static_cast<std::size_t>(capture.size()), "rb");
    char *out_buf = nullptr;
    std::size_t out_size = 0;
    std::FILE *out = open_memstream(&out_buf, &out_size);
    EXPECT_EQ(run_decode(in, out, modes, false), 0);
    std::fclose(in);
    std::fclose(out);
    QByteArray result(out_buf, static_cast<qsizetype>(out_size));
    std::free(out_buf);
    return result;
}

TEST(Golden, EveryCaptureDecodesToItsReviewedLines) {
    const QDir data(QStringLiteral(BUSLAUSCHER_TEST_DATA));
    const QStringList captures = data.entryList({QStringLiteral("*.capture")});
    ASSERT_GE(captures.size(), 2);
    const struct {
        const char *suffix;
        OutputModes modes;
    } kinds[] = {{".lines", {false, true}}, {".hex", {true, true}}, {".plain", {false, false}}};
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
            EXPECT_EQ(decode(bytes, kind.modes).toStdString(), expected.readAll().toStdString())
                << (base + QLatin1String(kind.suffix)).toStdString();
        }
    }
    EXPECT_GE(compared, captures.size());
}

} // namespace
} // namespace bl
