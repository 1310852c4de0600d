// One output line (Latin-1), built in place: the renderings write into it
// without allocating. Every append is bounded, so that no message, however
// malformed, can write past it; a line that would not fit ends where the
// room does.
#pragma once

#include "loconet/latin1_literal.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace bl {

struct LineText {
    static constexpr std::size_t kCapacity = 1024;
    char buf[kCapacity];
    std::size_t n = 0;

    std::string_view view() const { return {buf, n}; }
    bool empty() const { return n == 0; }
    void clear() { n = 0; }
    std::size_t room() const { return kCapacity - n; }

    // A line that would not fit ends in "..." where the room does, never
    // silently.
    void append(std::string_view s) {
        if (s.size() > room()) {
            append_cut(s);
            return;
        }
        const std::size_t k = s.size();
        // the words of a line are short: copied in place, not by a call
        char *to = buf + n;
        const char *from = s.data();
        std::size_t rest = k;
        for (; rest >= 8; rest -= 8, to += 8, from += 8)
            std::memcpy(to, from, 8);
        // the tail in fixed sizes too: a copy of a variable size is a call
        if (rest >= 4) {
            std::memcpy(to, from, 4);
            to += 4, from += 4, rest -= 4;
        }
        if (rest >= 2) {
            std::memcpy(to, from, 2);
            to += 2, from += 2, rest -= 2;
        }
        if (rest)
            *to = *from;
        n += k;
    }
    void append(char c) {
        if (n < kCapacity)
            buf[n++] = c;
        else
            mark_cut();
    }
    void append_cut(std::string_view s) {
        const std::size_t k = std::min(room(), s.size());
        std::memcpy(buf + n, s.data(), k);
        n += k;
        mark_cut();
    }
    void mark_cut() { std::memcpy(buf + kCapacity - 3, "...", 3); }
    void number(long value) {
        if (value >= 0 && value < 100 && room() >= 2) { // most numbers a line holds
            if (value >= 10)
                buf[n++] = static_cast<char>('0' + value / 10);
            buf[n++] = static_cast<char>('0' + value % 10);
            return;
        }
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
};

} // namespace bl
