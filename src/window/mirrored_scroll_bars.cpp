#include "window/mirrored_scroll_bars.h"

#include "window/filled_scroll_bars.h"

#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

namespace bl {

namespace {

// Whether a bar has a handle to move (its text is longer than its view).
bool has_handle(const QScrollBar *bar) { return bar->maximum() > bar->minimum(); }

} // namespace

MirroredScrollBars::MirroredScrollBars(QAbstractScrollArea &area)
    : QObject(&area), area_(area), vertical_(new QScrollBar(Qt::Vertical, &area)),
      horizontal_(new QScrollBar(Qt::Horizontal, &area)) {
    fill_behind(vertical_);
    fill_behind(horizontal_);
    area_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    later_.setSingleShot(true);
    connect(&later_, &QTimer::timeout, this, [this] { show_now(); });
    for (auto [own, shown] : {std::pair{area_.verticalScrollBar(), vertical_},
                              std::pair{area_.horizontalScrollBar(), horizontal_}}) {
        // the range grows with every line: the handle may creep a little late
        connect(own, &QScrollBar::rangeChanged, this, [this] { request(false); });
        connect(own, &QScrollBar::valueChanged, this, [this] { request(!refreshing_); });
        connect(shown, &QScrollBar::valueChanged, own, &QScrollBar::setValue);
    }
}

void MirroredScrollBars::place(int top, int bottom) {
    const int frame = area_.frameWidth();
    const int bar = area_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &area_);
    const bool sideways = area_.horizontalScrollBar()->maximum() > 0;
    const int text_bottom = sideways ? bottom - bar : bottom;
    vertical_->setGeometry(area_.width() - frame - bar, top, bar, std::max(text_bottom - top, 0));
    horizontal_->setGeometry(frame, text_bottom, area_.width() - 2 * frame - bar, bar);
    horizontal_->setVisible(sideways);
    show_now();
}

void MirroredScrollBars::set_refreshing(bool on) {
    refreshing_ = on;
    if (on)
        return;
    if (!last_shown_.isValid() || last_shown_.hasExpired(kCreepMs) || handle_comes_or_goes())
        show_now();
    else
        creep();
}

bool MirroredScrollBars::handle_comes_or_goes() const {
    return has_handle(area_.verticalScrollBar()) != has_handle(vertical_) ||
           has_handle(area_.horizontalScrollBar()) != has_handle(horizontal_);
}

void MirroredScrollBars::request(bool by_user) {
    if (refreshing_)
        return; // shown with the refreshed view, in the same drawing
    if (by_user || !last_shown_.isValid() || last_shown_.hasExpired(kCreepMs))
        show_now();
    else
        creep();
}

// The next refresh of the view is expected to show the bars; the timer only
// catches up where none comes, so that it does not draw them apart.
void MirroredScrollBars::creep() {
    if (later_.isActive())
        return;
    const qint64 since = last_shown_.isValid() ? last_shown_.elapsed() : kCreepMs;
    later_.start(static_cast<int>(std::clamp<qint64>(2 * kCreepMs - since, 0, 2 * kCreepMs)));
}

void MirroredScrollBars::show_now() {
    later_.stop();
    last_shown_.start();
    mirror(area_.verticalScrollBar(), vertical_, vertical_moves_);
    mirror(area_.horizontalScrollBar(), horizontal_, horizontal_moves_);
}

// The shown bar takes the own bar's numbers without being drawn whole: a
// handle that stands on the same pixels is not drawn again, one that moved
// only where it moved.
bool MirroredScrollBars::mirror(const QScrollBar *own, QScrollBar *shown, HandleMoves &moves) {
    const QRect from =
        handle_rect(*shown, shown->minimum(), shown->maximum(), shown->pageStep(), shown->value());
    const QRect to =
        handle_rect(*shown, own->minimum(), own->maximum(), own->pageStep(), own->value());
    const bool usable = has_handle(own);
    const bool was_usable = has_handle(shown);
    const bool same = from == to && usable == was_usable;
    const QRegion changed = same                   ? QRegion()
                            : usable == was_usable ? moves.changed(*shown, from, to)
                                                   : QRegion(shown->rect());
    const QSignalBlocker quiet(shown);
    shown->setAttribute(Qt::WA_UpdatesDisabled, true);
    shown->setRange(own->minimum(), own->maximum());
    shown->setPageStep(own->pageStep());
    shown->setSingleStep(own->singleStep());
    shown->setValue(own->value());
    // enabled again without the update that setUpdatesEnabled makes
    shown->setAttribute(Qt::WA_UpdatesDisabled, false);
    if (same)
        return false;
    shown->update(changed);
    ++shown_updates_;
    return true;
}

} // namespace bl
