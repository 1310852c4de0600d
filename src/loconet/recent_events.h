#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bl::loconet {

// The latest eight events of one sensor or switch in a burst: their times
// and message numbers, oldest overwritten first.
struct RecentEvents {
    static constexpr std::size_t kKept = 8;
    std::array<std::int64_t, kKept> at{};
    std::array<std::uint64_t, kKept> nr{}; // 0: none kept there yet
    std::uint8_t next = 0;
    bool stepped_back = false;    // a time before the one kept before it
    std::int64_t quiet_until = 0; // told already; again only after a pause

    void add(std::int64_t ns, std::uint64_t n) {
        if (newest() != 0 && ns < at[(next + kKept - 1) % kKept])
            stepped_back = true;
        at[next] = ns;
        nr[next] = n;
        next = static_cast<std::uint8_t>((next + 1) % kKept);
    }
    std::uint64_t newest() const { return nr[(next + kKept - 1) % kKept]; }

    // The events kept no more than window before now.
    int count_within(std::int64_t now, std::int64_t window) const {
        int n = 0;
        for (std::size_t i = 0; i < kKept; ++i)
            n += nr[i] != 0 && now - at[i] <= window;
        return n;
    }
    // count_within(now, window) >= n, for 1 <= n <= kKept. This runs for
    // every change of a busy sensor: while the times kept run forward, the
    // n-th newest alone decides.
    bool at_least_within(int n, std::int64_t now, std::int64_t window) const {
        if (stepped_back)
            return count_within(now, window) >= n;
        const std::size_t nth = (next + kKept - static_cast<std::size_t>(n)) % kKept;
        return nr[nth] != 0 && now - at[nth] <= window;
    }
    // Their message numbers, in order.
    std::vector<std::uint64_t> within(std::int64_t now, std::int64_t window) const {
        std::vector<std::uint64_t> found;
        for (std::size_t i = 0; i < kKept; ++i)
            if (nr[i] != 0 && now - at[i] <= window)
                found.push_back(nr[i]);
        std::sort(found.begin(), found.end());
        return found;
    }
};

} // namespace bl::loconet
