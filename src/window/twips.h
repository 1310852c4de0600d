#pragma once

#include <cmath>

namespace bl {

inline constexpr int kTwipsPerInch = 1440;

// Window positions and sizes are kept in twips; the screen's logical DPI
// turns them into pixels (15 twips a pixel at 96 DPI).
inline int twips_to_px(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}
inline int px_to_twips(int px, double dpi) {
    return static_cast<int>(std::lround(px * kTwipsPerInch / dpi));
}

} // namespace bl
