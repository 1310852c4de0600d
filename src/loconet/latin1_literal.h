// Texts of the monitor are held one byte per character in ISO 8859-1 (see
// loconet/latin1.h); this is how they are written in the source.
#pragma once

#include <cstddef>
#include <string_view>

namespace bl {

// A string literal written in UTF-8 in the source, turned into Latin-1 at
// compile time. Only one- and two-byte UTF-8 sequences (U+0000..U+00FF) are
// allowed; anything else fails to compile.
template <std::size_t N> struct Latin1Lit {
    char buf[N]{};
    std::size_t len = 0;

    consteval Latin1Lit(const char (&utf8)[N]) {
        for (std::size_t i = 0; i + 1 < N; ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                buf[len++] = static_cast<char>(c);
            } else if ((c == 0xC2 || c == 0xC3) && i + 2 < N) {
                const auto next = static_cast<unsigned char>(utf8[++i]);
                if ((next & 0xC0) != 0x80)
                    throw "malformed UTF-8 in a Latin-1 literal";
                buf[len++] = static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
            } else {
                throw "character outside Latin-1 in a Latin-1 literal";
            }
        }
    }
    constexpr operator std::string_view() const { return {buf, len}; }
    constexpr std::string_view view() const { return {buf, len}; }
};

// "Text"_de: a Latin-1 text written in UTF-8 in the source.
template <Latin1Lit S> constexpr std::string_view operator""_de() { return S.view(); }

} // namespace bl
