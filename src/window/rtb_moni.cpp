#include "window/rtb_moni.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cmath>

namespace bl {

namespace {
QString shown(std::string_view latin1) {
    const std::string text = view_text(latin1);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

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
    bars_ = new MirroredScrollBars(*this);
    QScrollBar *bar = verticalScrollBar();
    // the user's scrolling decides whether the view follows; a change of
    // the range (lines, or the window's size) keeps a following view there
    connect(bar, &QScrollBar::valueChanged, this, [this, bar] {
        if (!refreshing_)
            follow_ = bar->value() == bar->maximum();
    });
    connect(bar, &QScrollBar::rangeChanged, this, [this] { keep_following(); });
    // a line wider than the area brings the sideways bar, below the text
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (bars_->sideways_shown() != (horizontalScrollBar()->maximum() > 0))
            place_text();
    });
    refresh_.setSingleShot(true);
    connect(&refresh_, &QTimer::timeout, this, [this] { refresh_view(); });
}

bool RtbMoni::following() const { return follow_ && !textCursor().hasSelection(); }

void RtbMoni::keep_following() {
    if (refreshing_ || !following())
        return;
    refreshing_ = true;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    refreshing_ = false;
}

void RtbMoni::resizeEvent(QResizeEvent *event) {
    QPlainTextEdit::resizeEvent(event);
    place_text();
    keep_following();
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
    place_text();
}

// The text and its scroll bars stand in the part that is seen, so that
// drawing them never reaches under the controls that cover the area.
void RtbMoni::place_text() {
    const int frame = frameWidth();
    // the area's own border stays where nothing covers it
    const int top = std::max(std::min(covered_top_, height()), frame);
    const int bottom = height() - std::max(std::min(covered_bottom_, height()), frame);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int text_bottom = horizontalScrollBar()->maximum() > 0 ? bottom - bar : bottom;
    setViewportMargins(0, top - frame, bar, height() - frame - text_bottom);
    bars_->place(top, bottom);
}

void RtbMoni::set_text(std::string text) {
    model_.set_text(std::move(text));
    difference_.replaced();
    changed();
}

void RtbMoni::append_text(std::string_view tail) {
    model_.append_text(tail);
    difference_.appended(tail);
    changed();
}

void RtbMoni::keep_last(std::size_t n) {
    difference_.cut(model_.text().substr(0, model_.text().size() - n), model_.text().size());
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
    const int interval = refresh_interval_ms();
    const qint64 since = last_refresh_.isValid() ? last_refresh_.elapsed() : interval;
    refresh_.start(static_cast<int>(std::max<qint64>(interval - since, 0)));
}

// The view changes as the model did: lines cut from the top, new ones
// appended at the end. The document keeps the user's cursor and selection
// on their text through both.
bool RtbMoni::update_incrementally() {
    if (difference_.anew() || difference_.cut_characters() >= document()->characterCount())
        return false;
    QTextCursor edit(document());
    edit.beginEditBlock();
    if (difference_.cut_characters() > 0) {
        edit.setPosition(static_cast<int>(difference_.cut_characters()), QTextCursor::KeepAnchor);
        edit.removeSelectedText();
    }
    edit.movePosition(QTextCursor::End);
    const std::string appended = difference_.view_appended();
    edit.insertText(QString::fromLatin1(appended.data(), static_cast<qsizetype>(appended.size())));
    edit.endEditBlock();
    return true;
}

// The text brought up to date without Qt drawing the whole view for it:
// the caller draws what changed.
bool RtbMoni::update_undrawn() {
    QWidget *view = viewport();
    view->setUpdatesEnabled(false);
    const bool incremental = update_incrementally();
    if (incremental) // only called while following the newest line
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    // enabled again without the whole-view update that setUpdatesEnabled makes
    view->setAttribute(Qt::WA_UpdatesDisabled, false);
    return incremental;
}

// Draws from the top of the first block that changed down to the bottom.
void RtbMoni::draw_from(const QTextBlock &first_changed) {
    QWidget *view = viewport();
    const qreal changed_top =
        blockBoundingGeometry(first_changed).translated(contentOffset()).top();
    view->update(
        QRect(0, static_cast<int>(std::floor(changed_top)), view->width(), view->height()));
    ++refreshes_by_moving_;
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
    const int cut_lines = difference_.cut_lines();
    if (!view->isVisible() || difference_.anew() || !top.isValid())
        return false;
    if (cut_lines >= top.blockNumber())
        return cut_lines == 0 && verticalScrollBar()->maximum() == 0 && fill_below();
    const int top_number = top.blockNumber();
    const int last_number = document()->blockCount() - 1;
    const qreal top_before = blockBoundingGeometry(top).translated(contentOffset()).top();
    if (!update_undrawn()) {
        view->update();
        return false;
    }
    const QTextBlock same = document()->findBlockByNumber(top_number - cut_lines);
    const QTextBlock first_changed = document()->findBlockByNumber(last_number - cut_lines);
    const qreal move = blockBoundingGeometry(same).translated(contentOffset()).top() - top_before;
    if (!same.isValid() || !first_changed.isValid() || move != std::round(move)) {
        view->update();
        return true;
    }
    view->scroll(0, static_cast<int>(move));
    draw_from(first_changed);
    return true;
}

// While the text is shorter than the view (after the start or "Monitor
// Löschen"), nothing moves: only the lines appended below are drawn, not the
// whole view.
bool RtbMoni::fill_below() {
    const int last_number = document()->blockCount() - 1;
    const bool incremental = update_undrawn();
    const QTextBlock first_changed = document()->findBlockByNumber(last_number);
    if (!incremental || !first_changed.isValid() || verticalScrollBar()->maximum() != 0) {
        viewport()->update(); // now it scrolls (or changed otherwise): drawn whole
        return incremental;
    }
    draw_from(first_changed);
    return true;
}

void RtbMoni::refresh_view() {
    refresh_.stop();
    if (!dirty_)
        return;
    last_refresh_.start();
    dirty_ = false;
    const int line_height = std::max(fontMetrics().lineSpacing(), 1);
    // (a text shown anew says nothing about the bus: the last judgement stands)
    if (!difference_.anew())
        busy_ = difference_.appended_lines() >= viewport()->height() / line_height;
    refreshing_ = true;
    bars_->set_refreshing(true);
    QScrollBar *bar = verticalScrollBar();
    const bool was_following = following();
    const int first_line = bar->value();
    if (was_following && follow_by_moving()) {
        // done: the picture moved up, only the new lines were drawn
    } else if (!update_incrementally()) {
        setPlainText(shown(model_.text()));
        if (!was_following)
            bar->setValue(first_line);
    } else if (!was_following) {
        // the same line stays at the top while lines go and come
        bar->setValue(std::max(first_line - difference_.cut_lines(), 0));
    }
    if (was_following)
        bar->setValue(bar->maximum());
    bars_->set_refreshing(false);
    refreshing_ = false;
    difference_.clear();
}

} // namespace bl
