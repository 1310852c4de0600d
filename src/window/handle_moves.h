// Which part of a scroll bar a move of its handle changes. Styles draw a
// bar's groove and handle alike all along it (their gradients run across the
// bar), so a handle that creeps or grows by a pixel changes only the rows
// around its two ends. Drawing those is a few hundred pixels instead of the
// whole bar, and small enough that the raster engine does not wake its
// helper threads for them: on a quiet bus, drawing the whole bar for every
// line was 40 % of the window's time. Whether a style draws so is tried once
// per style and size, by drawing a bar both ways.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QScrollBar>
#include <QSize>

namespace bl {

// Where the handle stands, in pixels, for a bar's numbers.
QRect handle_rect(const QScrollBar &bar, int minimum, int maximum, int page, int value);

class HandleMoves {
public:
    // Rows beyond a handle's end that its edge may reach.
    static constexpr int kEdge = 3;

    // The part of `bar` to draw when its handle goes from `from` to `to`:
    // the bands around the ends that moved, or the whole bar where the
    // style draws it otherwise.
    QRegion changed(const QScrollBar &bar, const QRect &from, const QRect &to);

private:
    static QRegion bands(const QScrollBar &bar, const QRect &from, const QRect &to);
    static bool drawn_alike(const QScrollBar &bar);
    static void render_in_strips(QScrollBar &bar, QImage &image, const QRegion &region);
    static constexpr int kStrip = 64;

    const QStyle *tried_style_ = nullptr;
    QSize tried_size_;
    bool alike_ = false;
};

} // namespace bl
