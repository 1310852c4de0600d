#include "window/rtb_moni.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cmath>

namespace bl {

namespace {
// The view shows CR LF as one break; the model keeps it as it is.
QString view_text(std::string_view latin1) {
    QString shown = QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.remove(QLatin1Char('\r'));
    return shown;
}

// A scroll bar the user sees shows the widget's own (hidden) one.
void mirror(const QScrollBar *own, QScrollBar *shown) {
    const QSignalBlocker quiet(shown);
    shown->setRange(own->minimum(), own->maximum());
    shown->setPageStep(own->pageStep());
    shown->setSingleStep(own->singleStep());
    shown->setValue(own->value());
}
} // namespace

// The shown bar follows the own one as the user scrolls; while the view
// follows the newest line it is drawn anew at most every kBarsMs, as the
// handle only creeps (drawing a scroll bar is the dearest part of a refresh).
void RtbMoni::follow(QScrollBar *own, QScrollBar *shown) {
    // the range grows with every line: the handle may creep a little late
    connect(own, &QScrollBar::rangeChanged, shown, [this] { request_scroll_bars(true); });
    // the user scrolled: shown at once
    connect(own, &QScrollBar::valueChanged, shown, [this] {
        if (!refreshing_)
            request_scroll_bars(false);
    });
    connect(shown, &QScrollBar::valueChanged, own, &QScrollBar::setValue);
}

bool RtbMoni::following() const {
    return verticalScrollBar()->value() == verticalScrollBar()->maximum() &&
           !textCursor().hasSelection();
}

void RtbMoni::request_scroll_bars(bool creeping) {
    if ((!creeping && !following()) || !bars_shown_.isValid() || bars_shown_.hasExpired(kBarsMs))
        show_scroll_bars();
    else if (!bars_later_.isActive())
        bars_later_.start();
}

void RtbMoni::show_scroll_bars() {
    bars_shown_.start();
    mirror(verticalScrollBar(), shown_vertical_);
    mirror(horizontalScrollBar(), shown_horizontal_);
}

RtbMoni::RtbMoni(QWidget *parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("rtbMoni"));
    setReadOnly(true); // the user can select and copy, not type
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Latin-1 lines need no shaping: laying out and drawing them costs less
    QFont unshaped = font();
    unshaped.setStyleStrategy(QFont::PreferNoShaping);
    setFont(unshaped);
    // the widget's own bars would stand under the covering controls
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    shown_vertical_ = new QScrollBar(Qt::Vertical, this);
    shown_horizontal_ = new QScrollBar(Qt::Horizontal, this);
    follow(verticalScrollBar(), shown_vertical_);
    follow(horizontalScrollBar(), shown_horizontal_);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (shown_horizontal_->isVisible() != (horizontalScrollBar()->maximum() > 0))
            place_scroll_bars();
    });
    refresh_.setSingleShot(true);
    connect(&refresh_, &QTimer::timeout, this, [this] { refresh_view(); });
    bars_later_.setSingleShot(true);
    bars_later_.setInterval(kBarsMs);
    connect(&bars_later_, &QTimer::timeout, this, [this] { show_scroll_bars(); });
}

// The background is filled here, in bands: Qt's raster engine hands a fill
// of many lines to helper threads, and waking them for every new line of a
// quiet bus cost more than the fill itself.
void RtbMoni::paintEvent(QPaintEvent *event) {
    {
        QPainter painter(viewport());
        const QBrush base = viewport()->palette().base();
        const QRect area = event->rect();
        for (int y = area.top(); y <= area.bottom(); y += kFillBand)
            painter.fillRect(
                QRect(area.left(), y, area.width(), std::min(kFillBand, area.bottom() + 1 - y)),
                base);
    }
    QPlainTextEdit::paintEvent(event);
}

void RtbMoni::set_covered(int top_px, int bottom_px) {
    covered_top_ = std::max(top_px, 0);
    covered_bottom_ = std::max(bottom_px, 0);
    place_scroll_bars();
}

// The text and its scroll bars stand in the part that is seen, so that
// drawing them never reaches under the controls that cover the area.
void RtbMoni::place_scroll_bars() {
    const int frame = frameWidth();
    // the area's own border stays where nothing covers it
    const int top = std::max(std::min(covered_top_, height()), frame);
    const int bottom = height() - std::max(std::min(covered_bottom_, height()), frame);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool sideways = horizontalScrollBar()->maximum() > 0;
    const int text_bottom = sideways ? bottom - bar : bottom;
    setViewportMargins(0, top - frame, bar, height() - frame - text_bottom);
    shown_vertical_->setGeometry(width() - frame - bar, top, bar, std::max(text_bottom - top, 0));
    shown_horizontal_->setGeometry(frame, text_bottom, width() - 2 * frame - bar, bar);
    shown_horizontal_->setVisible(sideways);
    show_scroll_bars();
}

void RtbMoni::set_text(std::string text) {
    model_.set_text(std::move(text));
    replaced_ = true;
    changed();
}

void RtbMoni::append_text(std::string_view tail) {
    model_.append_text(tail);
    // more than the area holds: the view is shown anew anyway
    if (!replaced_) {
        appended_ += tail;
        if (appended_.size() > kMostToAppend) {
            replaced_ = true;
            appended_.clear();
        }
    }
    changed();
}

// What the view loses at its top: the model's cut less its CRs, which the
// view does not show.
void RtbMoni::keep_last(std::size_t n) {
    const std::string_view gone = model_.text().substr(0, model_.text().size() - n);
    if (!replaced_) {
        // a cut that reaches into text the view has not got yet: shown anew
        if (gone.size() + appended_.size() > model_.text().size()) {
            replaced_ = true;
        } else {
            cut_chars_ +=
                static_cast<qsizetype>(gone.size()) - std::count(gone.begin(), gone.end(), '\r');
            cut_lines_ += static_cast<int>(std::count(gone.begin(), gone.end(), '\n'));
        }
    }
    model_.keep_last(n);
    changed();
}

void RtbMoni::move_insertion_point_to_end() {
    model_.move_insertion_point_to_end();
    changed();
}

// The view comes up to date as soon as the event that changed the model is
// done, but no sooner than a fifth of a second after its last refresh: a
// quiet bus needs no second wake-up for a line, a busy one is shown in
// batches.
void RtbMoni::changed() {
    dirty_ = true;
    if (refresh_.isActive())
        return;
    const qint64 since = last_refresh_.isValid() ? last_refresh_.elapsed() : kRefreshMs;
    refresh_.start(static_cast<int>(std::max<qint64>(kRefreshMs - since, 0)));
}

// The view changes as the model did: lines cut from the top, new ones
// appended at the end. The document keeps the user's cursor and selection
// on their text through both.
bool RtbMoni::update_incrementally() {
    if (replaced_ || cut_chars_ >= document()->characterCount())
        return false;
    QTextCursor edit(document());
    edit.beginEditBlock();
    if (cut_chars_ > 0) {
        edit.setPosition(static_cast<int>(cut_chars_), QTextCursor::KeepAnchor);
        edit.removeSelectedText();
    }
    edit.movePosition(QTextCursor::End);
    edit.insertText(view_text(appended_));
    edit.endEditBlock();
    return true;
}

// Following the newest line, a refresh moves every line up: the picture of
// the lines still seen is moved as it is and only the lines that changed are
// drawn, as a terminal scrolls. The document layout would have the whole
// view drawn anew for every line added or cut; that is held back while the
// text changes and the view moves. Where the cut reaches a line in view, or
// the move is not whole pixels, the view is drawn whole.
bool RtbMoni::follow_by_moving() {
    QWidget *view = viewport();
    const QTextBlock top = firstVisibleBlock();
    if (!view->isVisible() || replaced_ || !top.isValid() || cut_lines_ >= top.blockNumber())
        return false;
    const int top_number = top.blockNumber();
    const int last_number = document()->blockCount() - 1;
    const qreal top_before = blockBoundingGeometry(top).translated(contentOffset()).top();
    view->setUpdatesEnabled(false);
    const bool incremental = update_incrementally();
    if (incremental)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    // enabled again without the whole-view update that setUpdatesEnabled makes
    view->setAttribute(Qt::WA_UpdatesDisabled, false);
    if (!incremental) {
        view->update();
        return false;
    }
    const QTextBlock same = document()->findBlockByNumber(top_number - cut_lines_);
    const QTextBlock first_changed = document()->findBlockByNumber(last_number - cut_lines_);
    const qreal move = blockBoundingGeometry(same).translated(contentOffset()).top() - top_before;
    if (!same.isValid() || !first_changed.isValid() || move != std::round(move)) {
        view->update();
        return true;
    }
    view->scroll(0, static_cast<int>(move));
    const qreal changed_top =
        blockBoundingGeometry(first_changed).translated(contentOffset()).top();
    view->update(
        QRect(0, static_cast<int>(std::floor(changed_top)), view->width(), view->height()));
    return true;
}

void RtbMoni::refresh_view() {
    refresh_.stop();
    if (!dirty_)
        return;
    last_refresh_.start();
    dirty_ = false;
    refreshing_ = true;
    QScrollBar *bar = verticalScrollBar();
    const bool was_following = following();
    const int first_line = bar->value();
    if (was_following && follow_by_moving()) {
        // done: the picture moved up, only the new lines were drawn
    } else if (!update_incrementally()) {
        setPlainText(view_text(model_.text()));
        if (!was_following)
            bar->setValue(first_line);
    } else if (!was_following) {
        // the same line stays at the top while lines go and come
        bar->setValue(std::max(first_line - cut_lines_, 0));
    }
    if (was_following)
        bar->setValue(bar->maximum());
    refreshing_ = false;
    request_scroll_bars(was_following);
    appended_.clear();
    cut_chars_ = 0;
    cut_lines_ = 0;
    replaced_ = false;
}

} // namespace bl
