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

TEST(SendHexStr, TypedTextBecomesBytesOrIsRefusedWhole) {
    const struct {
        QString text;
        const char *written; // hex; "" = nothing sent
        const char *told;    // how the box begins; "" = no box
    } rows[] = {
        {QStringLiteral("B0 00 10"), "b000105f", ""},
        {QStringLiteral("  B0   00 30 "), "b000307f", ""},
        {QStringLiteral("b0 0 10"), "b000105f", ""},
        {QStringLiteral("00B0 10h 0fH"), "b0100f50", ""},
        {QStringLiteral("B\t0 1\n0"), "b0105f", ""},
        // a row without bytes puts nothing on the bus, not even a checksum
        {QStringLiteral(""), "", "Die Zeile enthält keine Bytes"},
        {QStringLiteral("   "), "", "Die Zeile enthält keine Bytes"},
        // what is no number is refused, never sent as 00 or as its first digits
        {QStringLiteral("B0 ZZ 10"), "", "\"ZZ\" ist kein"},
        {QStringLiteral("B0 0x10"), "", "\"0x10\" ist kein"},
        {QStringLiteral("B0,00 10"), "", "\"B0,00\" ist kein"},
        {QStringLiteral("B0 10hh"), "", "\"10hh\" ist kein"},
        {QStringLiteral("B0 h"), "", "\"h\" ist kein"},
        {QStringLiteral("B0 100 10"), "", "\"100\" ist kein"},
        {QStringLiteral("B0 00 1FFFFFFFFFFFFFFFF"), "", "\"1FFFFFFFFFFFFFFFF\" ist kein"},
    };
    for (const auto &row : rows) {
        HexSending h;
        h.sender.send_hex_str(row.text);
        EXPECT_EQ(h.written(), QByteArray(row.written)) << row.text.toStdString();
        if (*row.told) {
            ASSERT_EQ(h.dialogs.boxes.size(), 1u) << row.text.toStdString();
            EXPECT_TRUE(h.dialogs.boxes[0].text.startsWith(QString::fromUtf8(row.told)))
                << h.dialogs.boxes[0].text.toStdString();
        } else {
            EXPECT_TRUE(h.dialogs.boxes.empty()) << row.text.toStdString();
        }
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

TEST(SendHexStr, OutBufferKeepsOlderEntries) {
    HexSending h;
    h.sender.send_hex_str(QStringLiteral("E7 0E 05 33"));
    h.sender.send_hex_str(QStringLiteral("B0 00"));
    EXPECT_EQ(h.vars.LN_Out[0], 0xB0);
    EXPECT_EQ(h.vars.LN_Out[2], 0x05);
    EXPECT_EQ(h.vars.LN_Out[3], 0x33);
}

} // namespace
} // namespace bl
