#include "shared/val.h"

#include <QString>

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

} // namespace
} // namespace bl
