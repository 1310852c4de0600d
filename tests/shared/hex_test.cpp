#include "shared/hex.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

struct HexRow {
    double value;
    const char *expected;
};

void PrintTo(const HexRow &row, std::ostream *os) { *os << row.value; }

class HexTest : public ::testing::TestWithParam<HexRow> {};

TEST_P(HexTest, TwoDigitRule) { EXPECT_EQ(hex_(GetParam().value), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Values, HexTest,
                         ::testing::Values(HexRow{0, "00"}, HexRow{10, "0A"}, HexRow{15, "0F"},
                                           HexRow{16, "10"}, HexRow{165, "A5"}, HexRow{255, "FF"},
                                           HexRow{256, "0100"}, HexRow{4096, "01000"},
                                           HexRow{4.5, "04"}, HexRow{5.5, "06"},
                                           HexRow{126.5, "7E"}, HexRow{127.5, "80"},
                                           HexRow{3.49, "03"}, HexRow{3.51, "04"}));

} // namespace
} // namespace bl
