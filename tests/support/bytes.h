#pragma once

#include "loconet/latin1.h"

#include <string>
#include <string_view>

namespace bl::testing {

// "B2 05 10" -> the three bytes
inline std::string bytes(std::string_view hex) {
    std::string out;
    int value = -1;
    for (char c : hex) {
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                         : -1;
        if (d < 0) {
            if (value >= 0)
                out.push_back(static_cast<char>(value));
            value = -1;
        } else {
            value = value < 0 ? d : value * 16 + d;
        }
    }
    if (value >= 0)
        out.push_back(static_cast<char>(value));
    return out;
}

inline std::string utf8(std::string_view latin1) { return latin1_to_utf8(latin1); }

} // namespace bl::testing
