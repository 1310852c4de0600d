#include "loconet/recent_events.h"

#include <gtest/gtest.h>
#include <random>

namespace bl::loconet {
namespace {

// The quick answer against the count, for runs of events with gaps around
// the window's width, from an empty ring on, with and without times that
// step back (a file cut together), asked at the newest event and later.
TEST(RecentEvents, AtLeastWithinAgreesWithTheCount) {
    std::mt19937 rng(31);
    constexpr std::int64_t kWindow = 2'000'000'000;
    for (const bool stepping_back : {false, true}) {
        int stepped = 0;
        for (int round = 0; round < 300; ++round) {
            RecentEvents r;
            std::int64_t now = 1'000'000'000;
            for (std::uint64_t event = 1; event <= 20; ++event) {
                const bool back = stepping_back && rng() % 6 == 0;
                now += back ? -static_cast<std::int64_t>(rng() % 3'000'000'000u)
                            : static_cast<std::int64_t>(rng() % 700'000'000u);
                r.add(now, event);
                stepped += back;
                for (const std::int64_t later : {std::int64_t{0}, kWindow / 2, kWindow + 1})
                    for (int n = 1; n <= static_cast<int>(RecentEvents::kKept); ++n)
                        ASSERT_EQ(r.at_least_within(n, now + later, kWindow),
                                  r.count_within(now + later, kWindow) >= n)
                            << "round " << round << ", event " << event << ", n " << n;
            }
            if (!stepping_back) {
                EXPECT_FALSE(r.stepped_back);
            }
        }
        EXPECT_EQ(stepped > 0, stepping_back);
    }
}

TEST(RecentEvents, KeepsTheLatestEightInOrder) {
    RecentEvents r;
    EXPECT_EQ(r.newest(), 0u);
    for (std::uint64_t n = 1; n <= 11; ++n)
        r.add(static_cast<std::int64_t>(n) * 100, n);
    EXPECT_EQ(r.newest(), 11u);
    EXPECT_EQ(r.within(1'100, 1'000), (std::vector<std::uint64_t>{4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(r.within(1'100, 250), (std::vector<std::uint64_t>{9, 10, 11}));
    EXPECT_FALSE(r.stepped_back);
}

} // namespace
} // namespace bl::loconet
