#include "connection/serial_settings.h"
#include "shared/val.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(Val, ReadsTheNumberAtTheStart) {
    const struct {
        const char *text;
        double value;
    } rows[] = {
        {"127", 127},       {"  12x", 12},  {"12x", 12},    {"-", 0},      {"", 0},
        {"1 2 7", 127},     {"\t1\n5", 15}, {"+7", 7},      {"- 7", -7},   {"--7", 0},
        {"1.5", 1.5},       {".5", 0.5},    {"1.2.3", 1.2}, {"1e2", 100},  {"1E+2x", 100},
        {"25D-1", 2.5},     {"3e", 3},      {"&H7F", 127},  {"&h7f", 127}, {"&HFFFF", -1},
        {"&H10000", 65536}, {"&O17", 15},   {"&O8", 0},     {"&", 0},      {"x12", 0},
        {"&HFFFFFFFF", -1},
    };
    for (const auto &row : rows)
        EXPECT_EQ(val(QString::fromLatin1(row.text)), row.value) << row.text;
}

TEST(SerialSettings, ParsesTheFourTexts) {
    const auto a = parse_settings(QStringLiteral("2400,n,8,2"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->baud, 2400);
    EXPECT_EQ(a->parity, 'n');
    EXPECT_EQ(a->data_bits, 8);
    EXPECT_EQ(a->stop_bits, 2);
    EXPECT_EQ(parse_settings(QStringLiteral("115200,n,8,1"))->baud, 115200);
    for (const char *bad : {"", "19200", "19200,x,8,1", "abc,n,8,1", "19200,n,9,1", "19200,n,8,3"})
        EXPECT_FALSE(parse_settings(QString::fromLatin1(bad))) << bad;
#ifndef _WIN32
    EXPECT_EQ(device_for_com_port(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(device_for_com_port(3), QStringLiteral("/dev/ttyS2"));
#endif
}

} // namespace
} // namespace bl
