// The two tables of numbered things the layout's state keeps: by an index
// into entries in the order they came, and each in its place by its number.
// Both must answer alike: the state hands either to the same readers.
#include "loconet/numbered.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace bl::loconet {
namespace {

struct Entry {
    int value = 0;
    bool kept = false;
};

template <typename Table> class NumberedTable : public ::testing::Test {};
using Tables = ::testing::Types<Numbered<Entry>, InPlace<Entry, 64, &Entry::kept>>;
TYPED_TEST_SUITE(NumberedTable, Tables);

template <typename Table> std::vector<int> values(const Table &table) {
    std::vector<int> out;
    for (const Entry &e : table)
        out.push_back(e.value);
    return out;
}

TYPED_TEST(NumberedTable, AnEntryIsAddedOnceAndFoundAfter) {
    TypeParam table;
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.find(7), nullptr);
    bool added = false;
    Entry *first = table.get(7, added);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(added);
    EXPECT_EQ(first->value, 0) << "a new entry starts value-initialised";
    first->value = 70;
    Entry *again = table.get(7, added);
    EXPECT_FALSE(added);
    EXPECT_EQ(again, first);
    EXPECT_EQ(table.find(7), first);
    EXPECT_TRUE(table.contains(7));
    EXPECT_EQ(table.at(7).value, 70);
    EXPECT_FALSE(table.contains(8));
    EXPECT_THROW((void)table.at(8), std::out_of_range);
    EXPECT_EQ(table.size(), 1u);
}

TYPED_TEST(NumberedTable, NumbersOutsideTheRangeAreNeitherKeptNorFound) {
    TypeParam table;
    for (const int number : {-1, -1000, TypeParam::kLimit, TypeParam::kLimit + 5}) {
        bool added = true;
        EXPECT_EQ(table.get(number, added), nullptr) << number;
        EXPECT_FALSE(added) << number;
        EXPECT_EQ(table.find(number), nullptr) << number;
        EXPECT_FALSE(table.contains(number)) << number;
    }
    bool added = false;
    EXPECT_NE(table.get(0, added), nullptr);
    EXPECT_NE(table.get(TypeParam::kLimit - 1, added), nullptr);
    EXPECT_EQ(table.size(), 2u);
}

TYPED_TEST(NumberedTable, GoneThroughInTheOrderTheyCame) {
    TypeParam table;
    for (const int number : {40, 3, 63, 3, 0, 40}) {
        bool added = false;
        Entry *e = table.get(number, added);
        if (added)
            e->value = number;
    }
    EXPECT_EQ(values(table), (std::vector<int>{40, 3, 63, 0}));
    EXPECT_EQ(table.size(), 4u);
    for (Entry &e : table) // through the table that may change its entries
        e.value += 1;
    EXPECT_EQ(values(table), (std::vector<int>{41, 4, 64, 1}));
}

TYPED_TEST(NumberedTable, ACopyStandsByItself) {
    TypeParam table;
    bool added = false;
    table.get(5, added)->value = 50;
    TypeParam copy = table;
    copy.get(5, added)->value = 51;
    copy.get(9, added)->value = 90;
    EXPECT_EQ(values(table), (std::vector<int>{50}));
    EXPECT_EQ(values(copy), (std::vector<int>{51, 90}));
    EXPECT_FALSE(table.contains(9));
}

} // namespace
} // namespace bl::loconet
