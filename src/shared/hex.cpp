#include "shared/hex.h"

#include "loconet/hex.h"

#include <cmath>
#include <cstdint>

namespace bl {

namespace {

std::string hex_digits(std::uint64_t v) {
    std::string s;
    do {
        s.insert(s.begin(), loconet::kHexDigits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    return s;
}
} // namespace

std::string hex_(double value) {
    const double rounded = std::nearbyint(value); // default mode: ties to even
    const auto whole = static_cast<std::int64_t>(rounded);
    const std::uint64_t bits = whole < 0
                                   ? static_cast<std::uint32_t>(static_cast<std::int32_t>(whole))
                                   : static_cast<std::uint64_t>(whole);
    std::string digits = hex_digits(bits);
    return digits.size() == 2 ? digits : "0" + digits;
}

} // namespace bl
