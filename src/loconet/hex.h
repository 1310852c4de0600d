// Message bytes as two upper-case hexadecimal digits, the form every line,
// send row and network peer uses.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace bl::loconet {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Writes the two digits of a byte at p; returns the position after them.
inline char *put_hex(char *p, int byte) {
    p[0] = kHexDigits[(byte >> 4) & 0xF];
    p[1] = kHexDigits[byte & 0xF];
    return p + 2;
}

// The bytes of a range as two digits each, separated by blanks, and one
// blank after the last too where asked; returns the position after them.
template <typename Range> char *put_hex_list(char *p, const Range &bytes, bool blank_after_last) {
    bool first = true;
    for (const auto b : bytes) {
        if (!first)
            *p++ = ' ';
        first = false;
        p = put_hex(p, static_cast<int>(b));
    }
    if (blank_after_last && !first)
        *p++ = ' ';
    return p;
}

// The list of a message's bytes (at most 127) appended to out, anything with
// append(std::string_view).
template <typename Out, typename Range>
void append_hex_list(Out &out, const Range &bytes, bool blank_after_last) {
    constexpr std::size_t kMost = 128;
    const auto count = static_cast<std::size_t>(std::size(bytes));
    if (count > kMost) { // no message is this long, but a caller's range may be
        std::string many(3 * count, ' ');
        many.resize(static_cast<std::size_t>(put_hex_list(many.data(), bytes, blank_after_last) -
                                             many.data()));
        out.append(std::string_view(many));
        return;
    }
    char digits[3 * kMost];
    const char *end = put_hex_list(digits, bytes, blank_after_last);
    out.append(
        std::string_view(digits, std::min(static_cast<std::size_t>(end - digits), 3 * count)));
}

// "B2 05 10 58"
template <typename Range> std::string hex_list(const Range &bytes) {
    std::string out(3 * static_cast<std::size_t>(std::size(bytes)), ' ');
    out.resize(static_cast<std::size_t>(put_hex_list(out.data(), bytes, false) - out.data()));
    return out;
}

// The value of one hexadecimal digit, or -1.
constexpr int hex_digit_value(int c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace bl::loconet
