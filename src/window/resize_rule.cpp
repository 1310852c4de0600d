#include "window/resize_rule.h"

namespace bl {

namespace {
constexpr int kAreaTop = 480;
constexpr int kWidthMargin = 20;
constexpr int kHeightMargin = 750;
} // namespace

AreaGeometry apply_resize_rule(int w, int h, AreaGeometry area) {
    if (w <= 1 || h <= 1)
        return area;
    area.top = kAreaTop;
    if (w > kWidthMargin)
        area.width = w - kWidthMargin;
    if (h > kHeightMargin)
        area.height = h - kHeightMargin;
    return area;
}

} // namespace bl
