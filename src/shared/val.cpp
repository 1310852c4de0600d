#include "shared/val.h"

#include "loconet/hex.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace bl {

namespace {

bool skipped(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

// The characters of the text without those Val passes over.
std::u16string significant(QStringView text) {
    std::u16string out;
    for (const QChar c : text)
        if (!skipped(c))
            out.push_back(c.unicode());
    return out;
}

int digit_value(char16_t c, int radix) {
    const int v = loconet::hex_digit_value(c);
    return v < radix ? v : -1;
}

double radix_number(const std::u16string &s, std::size_t i, int radix) {
    std::uint64_t value = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        const int d = digit_value(s[i], radix);
        if (d < 0)
            break;
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
        if (value > 0xFFFFFFFFull)
            return 0; // beyond a 32-bit value: no number
        any = true;
    }
    if (!any)
        return 0;
    if (value <= 0xFFFF)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

double val(QStringView text) {
    const std::u16string s = significant(text);
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == u'&') {
        if (s[1] == u'H' || s[1] == u'h')
            return radix_number(s, 2, 16);
        if (s[1] == u'O' || s[1] == u'o')
            return radix_number(s, 2, 8);
        return 0;
    }
    std::string number;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        number.push_back(static_cast<char>(s[i++]));
    bool digits = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= u'0' && s[i] <= u'9') {
            digits = true;
            number.push_back(static_cast<char>(s[i]));
        } else if (s[i] == u'.' && !point) {
            point = true;
            number.push_back('.');
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    // an exponent counts only when digits follow it
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exponent.push_back(static_cast<char>(s[j++]));
        bool exponent_digits = false;
        for (; j < s.size() && s[j] >= u'0' && s[j] <= u'9'; ++j) {
            exponent.push_back(static_cast<char>(s[j]));
            exponent_digits = true;
        }
        if (exponent_digits)
            number += exponent;
    }
    // independent of the C locale, which a Qt program sets from the system
    double value = 0;
    const char *begin = number.c_str() + (number[0] == '+' ? 1 : 0);
    std::from_chars(begin, number.c_str() + number.size(), value);
    return std::isfinite(value) ? value : 0;
}

} // namespace bl
