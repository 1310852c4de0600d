#include "loconet/latin1.h"
#include "shared/time_stamp.h"
#include "shared/windows1252.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(TimeStamp, PatternWithSixDigitsAndThreeDecimals) {
    const struct {
        qint64 ms;
        const char *sep;
        const char *expected;
    } rows[] = {
        {0, ".", "000000.000"},
        {1, ".", "000000.001"},
        {59'999, ",", "000059,999"},
        // late in the day the milliseconds stay exact
        {86'399'999, ",", "086399,999"},
        {65'535'123, ".", "065535.123"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(format_time_stamp(row.ms, QString::fromUtf8(row.sep)).toStdString(),
                  row.expected);
}

TEST(Latin1, LiteralsAreOneBytePerCharacter) {
    constexpr Latin1Lit text{"Rückmelder läuft ö"};
    EXPECT_EQ(text.view().size(), 18u);
    EXPECT_EQ(static_cast<unsigned char>(text.view()[1]), 0xFCu);
    EXPECT_EQ(latin1_to_utf8(text), "Rückmelder läuft ö");
}

TEST(Windows1252, UmlautsAndSpecials) {
    EXPECT_EQ(to_windows1252(QStringLiteral("grün ä Ö ß")), QByteArray("gr\xFCn \xE4 \xD6 \xDF"));
    EXPECT_EQ(to_windows1252(QString::fromUtf8("€ – ‰")), QByteArray("\x80 \x96 \x89"));
    EXPECT_EQ(to_windows1252(QString::fromUtf8("漢")), QByteArray("?"));
    QByteArray out("x");
    append_latin1_as_windows1252(out, std::string_view("\xFC\x85", 2));
    EXPECT_EQ(out, QByteArray("x\xFC?"));
}

} // namespace
} // namespace bl
