#pragma once

namespace bl {

// Geometry of the monitor area in twips.
struct AreaGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The monitor area follows the window's inner area (W x H twips, toolbar and
// status bar included): top 480, width W - 20, height H - 750. A minimised
// window (W or H not above 1) changes nothing; a height of 750 or less keeps
// the old height; a width of 20 or less keeps the old width.
AreaGeometry apply_resize_rule(int inner_width, int inner_height, AreaGeometry area);

} // namespace bl
