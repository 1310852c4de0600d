#include "support/sending_harness.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

using HexSending = testing::SendingHarness;

QString tokens(int n) {
    QStringList list;
    for (int i = 0; i < n; ++i)
        list << QStringLiteral("%1").arg(i, 2, 16, QLatin1Char('0'));
    return list.join(QLatin1Char(' '));
}

TEST(SendHexStr, TypedTextBecomesBytes) {
    const struct {
        QString text;
        const char *written; // hex; "" = nothing sent
    } rows[] = {
        {QStringLiteral("B0 00 10"), "b000105f"},
        {QStringLiteral("  B0   00 30 "), "b000307f"},
        {QStringLiteral("b0 0 10"), "b000105f"},
        {QStringLiteral("B0,00 10"), "b0105f"},
        {QStringLiteral("00B0 10h 0x10"), "b010005f"},
        {QStringLiteral("B\t0 1\n0"), "b0105f"},
        {QStringLiteral("B0 zz 10"), "b000105f"},
        {QStringLiteral(""), ""},
        {QStringLiteral("   "), "ff"},
    };
    for (const auto &row : rows) {
        HexSending h;
        h.sender.send_hex_str(row.text);
        EXPECT_EQ(h.written(), QByteArray(row.written)) << row.text.toStdString();
        EXPECT_TRUE(h.dialogs.boxes.empty());
    }
}

TEST(SendHexStr, SixtyFiveTokensFitAndMoreAreRefused) {
    HexSending fits;
    fits.sender.send_hex_str(tokens(65));
    EXPECT_EQ(fits.port->written.size(), 66);

    HexSending too_many;
    too_many.sender.send_hex_str(tokens(66));
    EXPECT_TRUE(too_many.port->written.isEmpty());
    ASSERT_EQ(too_many.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(too_many.dialogs.boxes[0].text.contains(QStringLiteral("66")));
}

TEST(SendHexStr, TokenAboveFFIsRefused) {
    // a tab is skipped inside a token, so "B0<tab>00" reads B000
    for (const char *text : {"B0 100 10", "FFFF", "B0 00 1FFFFFFFFFFFFFFFF", "B0\t00 10"}) {
        HexSending h;
        h.sender.send_hex_str(QString::fromLatin1(text));
        EXPECT_TRUE(h.port->written.isEmpty()) << text;
        ASSERT_EQ(h.dialogs.boxes.size(), 1u);
        EXPECT_TRUE(h.dialogs.boxes[0].text.contains(QStringLiteral("FF")));
    }
}

TEST(SendHexStr, OutBufferKeepsOlderEntries) {
    HexSending h;
    h.sender.send_hex_str(QStringLiteral("E7 0E 05 33"));
    h.sender.send_hex_str(QStringLiteral("B0 00"));
    EXPECT_EQ(h.vars.LN_Out[0], 0xB0);
    EXPECT_EQ(h.vars.LN_Out[2], 0x05);
    EXPECT_EQ(h.vars.LN_Out[3], 0x33);
}

TEST(HexToken, LeadingDigitsOnly) {
    EXPECT_EQ(hex_token_value(u"7f"), 0x7F);
    EXPECT_EQ(hex_token_value(u"g1"), 0);
    EXPECT_EQ(hex_token_value(u"1\t\n2"), 0x12);
    EXPECT_EQ(hex_token_value(u"123456789ABCDEF"), 0x10000);
}

} // namespace
} // namespace bl
