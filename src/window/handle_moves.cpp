#include "window/handle_moves.h"

#include <QImage>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <array>
#include <cstdlib>

namespace bl {

QRect handle_rect(const QScrollBar &bar, int minimum, int maximum, int page, int value) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_None;
    option.activeSubControls = QStyle::SC_None;
    option.orientation = bar.orientation();
    option.minimum = minimum;
    option.maximum = maximum;
    option.sliderPosition = value;
    option.sliderValue = value;
    option.singleStep = bar.singleStep();
    option.pageStep = page;
    option.upsideDown = false;
    if (bar.orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                       &bar);
}

QRegion HandleMoves::changed(const QScrollBar &bar, const QRect &from, const QRect &to) {
    if (from.isEmpty() || to.isEmpty())
        return bar.rect();
    if (bar.style() != tried_style_ || bar.size() != tried_size_) {
        tried_style_ = bar.style();
        tried_size_ = bar.size();
        alike_ = drawn_alike(bar);
    }
    return alike_ ? bands(bar, from, to) : QRegion(bar.rect());
}

// Along the bar: the rows between where each end was and is, and kEdge
// beyond them.
QRegion HandleMoves::bands(const QScrollBar &bar, const QRect &from, const QRect &to) {
    const bool vertical = bar.orientation() == Qt::Vertical;
    const auto band = [&](int a, int b) {
        const int low = std::min(a, b) - kEdge, length = std::abs(a - b) + 2 * kEdge + 1;
        return vertical ? QRect(0, low, bar.width(), length) : QRect(low, 0, length, bar.height());
    };
    QRegion region = vertical ? band(from.top(), to.top()) : band(from.left(), to.left());
    region += vertical ? band(from.bottom(), to.bottom()) : band(from.right(), to.right());
    return region & bar.rect();
}

// Drawn a few rows at a time: the raster engine hands fills of 96 rows and
// more to its helper threads, and waking them for the many fills of the
// bar's pictures made trying the area's bar take 3.0 ms instead of 0.9 ms
// (once, when its first handle shows).
void HandleMoves::render_in_strips(QScrollBar &bar, QImage &image, const QRegion &region) {
    for (int top = 0; top < bar.height(); top += kStrip)
        if (const QRegion strip = region & QRect(0, top, bar.width(), kStrip); !strip.isEmpty())
            // (render puts the region's corner at the given point)
            bar.render(&image, strip.boundingRect().topLeft(), strip);
}

// A bar like the given one goes through handle moves of every kind (shorter
// at the end, to the middle, longer, back); each time the bands drawn over
// the last picture must give the picture of the bar drawn whole.
bool HandleMoves::drawn_alike(const QScrollBar &bar) {
    QScrollBar probe(bar.orientation());
    probe.setStyle(bar.style());
    probe.setPalette(bar.palette());
    probe.setFont(bar.font());
    probe.setEnabled(true);
    probe.resize(bar.size());
    probe.setAttribute(Qt::WA_OpaquePaintEvent, bar.testAttribute(Qt::WA_OpaquePaintEvent));
    struct Numbers {
        int maximum, value;
    };
    // a page of about a third: a handle long enough to have a middle
    const std::array<Numbers, 5> moves{{{100, 100}, {104, 104}, {104, 50}, {100, 3}, {100, 100}}};
    const int page = 50;
    QImage drawn(bar.size(), QImage::Format_ARGB32_Premultiplied);
    QImage whole(bar.size(), QImage::Format_ARGB32_Premultiplied);
    QRect last;
    for (const Numbers &n : moves) {
        probe.setRange(0, n.maximum);
        probe.setPageStep(page);
        probe.setValue(n.value);
        const QRect now = handle_rect(probe, 0, n.maximum, page, n.value);
        if (now.isEmpty())
            return false; // too small a bar to have a handle
        whole.fill(Qt::transparent);
        render_in_strips(probe, whole, QRegion(probe.rect()));
        if (last.isNull())
            drawn = whole;
        else if (const QRegion changed = bands(probe, last, now); !changed.isEmpty())
            render_in_strips(probe, drawn, changed);
        if (drawn != whole)
            return false;
        last = now;
    }
    return true;
}

} // namespace bl
