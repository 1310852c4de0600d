#include "shared/hex.h"

#include <cmath>
#include <cstdint>

namespace bl {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";

std::string hex_digits(std::uint64_t v) {
    std::string s;
    do {
        s.insert(s.begin(), kDigits[v & 0xF]);
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

void append_hex_byte(std::string &out, int value) {
    if (value >= 0 && value <= 0xFF) {
        out.push_back(kDigits[value >> 4]);
        out.push_back(kDigits[value & 0xF]);
    } else {
        out += hex_(value);
    }
}

} // namespace bl
