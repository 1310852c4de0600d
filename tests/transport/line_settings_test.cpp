#include "transport/line_settings.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(LineSettings, ParsesTheFourTexts) {
    const auto a = parse_line_settings(QStringLiteral("2400,n,8,2"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->baud, 2400);
    EXPECT_EQ(a->parity, 'n');
    EXPECT_EQ(a->data_bits, 8);
    EXPECT_EQ(a->stop_bits, 2);
    EXPECT_EQ(parse_line_settings(QStringLiteral("115200,n,8,1"))->baud, 115200);
    for (const char *bad : {"", "19200", "19200,x,8,1", "abc,n,8,1", "19200,n,9,1", "19200,n,8,3"})
        EXPECT_FALSE(parse_line_settings(QString::fromLatin1(bad))) << bad;
}

} // namespace
} // namespace bl
