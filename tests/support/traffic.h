// Realistic mixed LocoNet traffic for tests and benchmarks: power, throttles,
// switches and their state queries, sensors, slot reads, Kennbox reports,
// long acknowledges and unrendered messages, all with correct checksums.
#pragma once

#include "loconet/message.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace bl::testing {

inline void append_message(std::string &out, const std::vector<int> &msg) {
    for (int b : msg)
        out.push_back(static_cast<char>(b));
    out.push_back(static_cast<char>(loconet::checksum(msg.begin(), msg.end())));
}

// healthy: a bus where nothing goes wrong (no power switched off, every loco
// request answered, no refusal), for what findings cost where there are none
inline std::string mixed_traffic(std::size_t messages, std::uint32_t seed = 7,
                                 bool healthy = false) {
    std::mt19937 rng(seed);
    auto r = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string out;
    out.reserve(messages * 6);
    for (std::size_t i = 0; i < messages; ++i) {
        const int slot = 1 + r(8);
        switch (r(20)) {
        case 0: append_message(out, {0x83}); break;
        case 1: append_message(out, {healthy ? 0x83 : 0x82}); break;
        case 2:
        case 3:
        case 4: append_message(out, {0xA0, slot, r(128)}); break;
        case 5:
        case 6: append_message(out, {0xA1, slot, r(64)}); break;
        case 7: append_message(out, {0xA2, slot, r(16)}); break;
        case 8:
        case 9: append_message(out, {0xB0, r(128), r(64)}); break;
        case 10:
        case 11:
        case 12: append_message(out, {0xB2, r(128), r(64)}); break;
        case 13:
            append_message(out, {0xBC, r(128), r(16)});
            append_message(out, {0xB4, 0x3C, r(2) * 0x20});
            break;
        case 14: append_message(out, {0xBB, slot, 0}); break;
        case 15: {
            const int loco = r(128);
            append_message(out, {0xBF, 0, loco});
            if (healthy)
                append_message(out, {0xE7, 0x0E, slot, 0x03, loco, 0, 0, 0x07, 0, 0, 0, 0, 0});
            break;
        }
        case 16:
            append_message(out, {0xE7, 0x0E, slot, 0x33, r(128), r(128), r(64), 0x07, r(128),
                                 r(128), r(16), 0, 0});
            break;
        case 17:
            append_message(out, {0xE4, 0x08, r(2), 0x20 + 0x40 * r(2), r(128), r(2), r(128)});
            break;
        case 18: append_message(out, {0xB4, 0x6F, healthy ? 0x01 : 0x7F}); break;
        default: append_message(out, {0xE5, 0x10, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}); break;
        }
    }
    return out;
}

} // namespace bl::testing
