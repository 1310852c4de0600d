// Message bytes as two upper-case hexadecimal digits, the form every line,
// send row and network peer uses.
#pragma once

namespace bl::loconet {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Writes the two digits of a byte at p; returns the position after them.
inline char *put_hex(char *p, int byte) {
    p[0] = kHexDigits[(byte >> 4) & 0xF];
    p[1] = kHexDigits[byte & 0xF];
    return p + 2;
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
