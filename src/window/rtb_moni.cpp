#include "window/rtb_moni.h"

#include "shared/texts.h"
#include "window/rtb_moni_accessible.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace bl {

namespace {
QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

bool word_character(char c) { return c != ' ' && c != '\n' && c != '\t'; }
} // namespace

RtbMoni::RtbMoni(QWidget *parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("rtbMoni"));
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Base);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    // Latin-1 lines need no shaping: laying out and drawing them costs less
    QFont unshaped = font();
    unshaped.setStyleStrategy(QFont::PreferNoShaping);
    setFont(unshaped);
    bars_ = new MirroredScrollBars(*this);
    QScrollBar *bar = verticalScrollBar();
    bar->setSingleStep(1); // a line
    horizontalScrollBar()->setSingleStep(20);
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
    index_lines();
    // a screen reader reads the area as a text
    static const bool accessible = [] {
        QAccessible::installFactory(&RtbMoniAccessible::factory);
        return true;
    }();
    Q_UNUSED(accessible);
}

bool RtbMoni::following() const { return follow_ && !has_selection(); }

void RtbMoni::keep_following() {
    if (refreshing_ || !following())
        return;
    refreshing_ = true;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    refreshing_ = false;
    viewport()->update();
}

// Whole pixels, rounded up as a text box spaces its lines.
int RtbMoni::line_height() const {
    return std::max(static_cast<int>(std::ceil(QFontMetricsF(font()).lineSpacing())), 1);
}

int RtbMoni::top_line() const { return verticalScrollBar()->value(); }

int RtbMoni::lines_in_view() const { return std::max(viewport()->height() / line_height(), 1); }

int RtbMoni::line_start(int line) const { return starts_[static_cast<std::size_t>(line)]; }

int RtbMoni::line_end(int line) const {
    const auto next = static_cast<std::size_t>(line) + 1;
    return next < starts_.size() ? starts_[next] - 1 : static_cast<int>(shown_.size());
}

std::string_view RtbMoni::text_between(int from, int to) const {
    return std::string_view(shown_).substr(static_cast<std::size_t>(from),
                                           static_cast<std::size_t>(to - from));
}

QString RtbMoni::shown_text() const { return latin1(shown_); }

QString RtbMoni::line_text(int line) const {
    if (line < 0 || line >= line_count())
        return {};
    return latin1(text_between(line_start(line), line_end(line)));
}

int RtbMoni::line_at(QPoint in_view) const {
    const int spacing = line_height();
    const int row =
        in_view.y() >= 0 ? in_view.y() / spacing : -((spacing - 1 - in_view.y()) / spacing);
    return std::clamp(top_line() + row, 0, line_count() - 1);
}

QRect RtbMoni::line_rect(int line) const {
    const int spacing = line_height();
    return {0, (line - top_line()) * spacing, viewport()->width(), spacing};
}

QTextLayout &RtbMoni::layout_of(int line) {
    return layouts_.get(first_line_number_ + line, text_between(line_start(line), line_end(line)),
                        font());
}

int RtbMoni::position_at(QPoint in_view) {
    const int line = line_at(in_view);
    const QTextLine row = layout_of(line).lineAt(0);
    const int x = in_view.x() - kMargin + horizontalScrollBar()->value();
    const int column = row.isValid() ? row.xToCursor(x) : 0;
    return std::min(line_start(line) + column, line_end(line));
}

int RtbMoni::line_of(int position) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
    return static_cast<int>(std::max<std::ptrdiff_t>(after - starts_.begin() - 1, 0));
}

QRect RtbMoni::character_rect(int position) {
    position = std::clamp(position, 0, static_cast<int>(shown_.size()));
    const int line = line_of(position);
    const QTextLine row = layout_of(line).lineAt(0);
    const int column = position - line_start(line);
    const qreal left = row.isValid() ? row.cursorToX(column) : 0;
    const qreal right = row.isValid() && position < line_end(line)
                            ? row.cursorToX(column + 1)
                            : left + fontMetrics().horizontalAdvance(QLatin1Char(' '));
    const int x = kMargin - horizontalScrollBar()->value();
    return {x + static_cast<int>(std::floor(left)), (line - top_line()) * line_height(),
            std::max(static_cast<int>(std::ceil(right - left)), 1), line_height()};
}

void RtbMoni::show_position(int position) {
    const int line = line_of(std::clamp(position, 0, static_cast<int>(shown_.size())));
    QScrollBar *bar = verticalScrollBar();
    if (line < bar->value())
        bar->setValue(line);
    else if (line >= bar->value() + lines_in_view())
        bar->setValue(line - lines_in_view() + 1);
}

// The lines of the text, found once per refresh (the area holds a few
// thousand characters).
void RtbMoni::index_lines() {
    starts_.clear();
    starts_.push_back(0);
    const char *const text = shown_.data();
    const char *const end = text + shown_.size();
    for (const char *at = text; at < end;) {
        const void *found = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
        if (!found)
            break;
        at = static_cast<const char *>(found) + 1;
        starts_.push_back(static_cast<int>(at - text));
    }
}

void RtbMoni::set_ranges() {
    const int shown = lines_in_view();
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(shown);
    const int last_at_bottom = std::max(line_count() - shown, 0);
    bar->setRange(0, last_at_bottom > 0 ? last_at_bottom + spare_rows_ : 0);
    QScrollBar *sideways = horizontalScrollBar();
    sideways->setPageStep(std::max(viewport()->width(), 1));
    sideways->setRange(0, std::max(widest_ + 2 * kMargin - viewport()->width(), 0));
}

// The lines in view are laid out now, for the sideways bar to know how wide
// they are; drawing them takes the same layouts.
void RtbMoni::measure_lines_in_view() {
    // a window left minimised on a busy bus lays out nothing: its lines are
    // measured when they are drawn
    if (!isVisible() || window()->isMinimized())
        return;
    const int top = top_line();
    const int shown = lines_in_view();
    const int last = std::min(top + shown, line_count() - 1);
    const int widest_before = widest_;
    for (int line = top; line <= last; ++line)
        widest_ = std::max(
            widest_, static_cast<int>(std::ceil(layout_of(line).lineAt(0).naturalTextWidth())));
    layouts_.keep_only(first_line_number_ + top - shown, first_line_number_ + top + 2 * shown);
    if (widest_ != widest_before)
        set_ranges();
}

void RtbMoni::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    place_text();
    keep_following();
}

void RtbMoni::changeEvent(QEvent *event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layouts_.clear();
        widest_ = 0;
        spare_rows_ = 0; // the line height changed
        set_ranges();
        measure_lines_in_view();
        viewport()->update();
    }
}

// The user scrolled: the picture moves, the lines that come into view are
// drawn. (A refresh moves the view itself.)
void RtbMoni::scrollContentsBy(int dx, int dy) {
    if (refreshing_)
        return;
    if (dx == 0 && std::abs(dy) < lines_in_view())
        viewport()->scroll(0, dy * line_height());
    else
        viewport()->update();
}

// The background is filled here, in bands: Qt's raster engine hands a fill
// of many lines to helper threads, and waking them for every new line of a
// quiet bus cost more than the fill itself.
void RtbMoni::paintEvent(QPaintEvent *event) {
    QPainter painter(viewport());
    const QBrush base = palette().base();
    const QRect area = event->rect();
    for (int y = area.top(); y <= area.bottom(); y += kFillBand)
        painter.fillRect(
            QRect(area.left(), y, area.width(), std::min(kFillBand, area.bottom() + 1 - y)), base);
    const int spacing = line_height();
    const int top = top_line();
    const int first = top + std::max(area.top(), 0) / spacing;
    const int last = std::min(top + area.bottom() / spacing, line_count() - 1);
    const qreal x = kMargin - horizontalScrollBar()->value();
    const int selection_from = std::min(anchor_, cursor_);
    const int selection_to = std::max(anchor_, cursor_);
    QTextCharFormat selected;
    selected.setBackground(palette().highlight());
    selected.setForeground(palette().highlightedText());
    painter.setPen(palette().text().color());
    const int widest_before = widest_;
    for (int line = first; line <= last; ++line) {
        QTextLayout &layout = layout_of(line);
        const qreal width = layout.lineAt(0).naturalTextWidth();
        widest_ = std::max(widest_, static_cast<int>(std::ceil(width)));
        QList<QTextLayout::FormatRange> selections;
        const QPointF at(x, (line - top) * spacing);
        if (has_selection()) {
            const int from = std::max(selection_from, line_start(line));
            const int to = std::min(selection_to, line_end(line));
            if (from < to)
                selections.push_back({from - line_start(line), to - from, selected});
            if (selection_from <= line_end(line) && selection_to > line_end(line))
                // the line break is selected too: a space's width after the text
                painter.fillRect(QRectF(at.x() + width, at.y(),
                                        fontMetrics().horizontalAdvance(QLatin1Char(' ')), spacing),
                                 palette().highlight());
        }
        layout.draw(&painter, at, selections);
    }
    if (widest_ != widest_before) // a line scrolled into view is the widest yet
        QMetaObject::invokeMethod(
            this, [this] { set_ranges(); }, Qt::QueuedConnection);
}

void RtbMoni::set_covered(int top_px, int bottom_px) {
    covered_top_ = std::max(top_px, 0);
    covered_bottom_ = std::max(bottom_px, 0);
    place_text();
}

// Following the newest line, the view moves up a few lines at a time and
// leaves the rows below the last line blank, for the lines that come next
// to fill without moving it. On a quiet bus, moving the picture up for each
// line was a third of the window's time: a memory move of half a megabyte
// that lines a quarter of a second apart find out of the caches.
int RtbMoni::follow_step() const { return std::max(lines_in_view() / kFollowStepShare, 1); }

// The blank rows below the last line once the view shows it, from the top
// line that keeps the picture where it stands.
int RtbMoni::spare_rows_after(int still_top) const {
    const int last_at_bottom = line_count() - lines_in_view();
    if (last_at_bottom <= 0)
        return 0;                    // the text fits the view
    if (still_top >= last_at_bottom) // the new lines fill blank rows
        return std::min(still_top - last_at_bottom, follow_step() - 1);
    if (last_at_bottom - still_top >= lines_in_view())
        return 0; // no line in view stays: the view is drawn whole anyway
    return follow_step() - 1;
}

// The text and its scroll bars stand in the part that is seen, so that
// drawing them never reaches under the controls that cover the area.
void RtbMoni::place_text() {
    spare_rows_ = 0; // the view's height may have changed
    const int frame = frameWidth();
    // the area's own border stays where nothing covers it
    const int top = std::max(std::min(covered_top_, height()), frame);
    const int bottom = height() - std::max(std::min(covered_bottom_, height()), frame);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int text_bottom = horizontalScrollBar()->maximum() > 0 ? bottom - bar : bottom;
    setViewportMargins(0, top - frame, bar, height() - frame - text_bottom);
    bars_->place(top, bottom);
    set_ranges();
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

// The shown text changes as the model did: lines cut from the top, new
// ones appended at the end; the selection stays on its text. Returns
// whether the text was shown anew instead.
bool RtbMoni::take_changes() {
    const auto cut = difference_.cut_characters();
    if (difference_.anew() || cut > static_cast<std::ptrdiff_t>(shown_.size())) {
        shown_ = view_text(model_.text());
        first_line_number_ += line_count() + 1; // no layout kept is of these lines
        layouts_.clear();
        widest_ = 0;
        anchor_ = cursor_ = 0;
        index_lines();
        return true;
    }
    int last_line = line_count() - 1;
    if (cut > 0) {
        shown_.erase(0, static_cast<std::size_t>(cut));
        anchor_ = std::max(anchor_ - static_cast<int>(cut), 0);
        cursor_ = std::max(cursor_ - static_cast<int>(cut), 0);
        first_line_number_ += difference_.cut_lines();
        last_line -= difference_.cut_lines();
        layouts_.forget(first_line_number_); // its start may have been cut
    }
    const std::string appended = difference_.view_appended();
    if (!appended.empty()) {
        layouts_.forget(first_line_number_ + last_line); // it may go on
        shown_ += appended;
    }
    index_lines();
    return false;
}

// Following the newest line, a refresh moves every line up: the picture of
// the lines still seen is moved as it is and only the lines that changed are
// drawn, as a terminal scrolls. Scrolled back, the lines seen stay and
// nothing is drawn. Where the cut reaches a line in view, or more lines
// passed than the view shows, the view is drawn whole.
void RtbMoni::follow_by_moving(int moved_lines, int first_changed) {
    QWidget *view = viewport();
    const int spacing = line_height();
    // right of the widest line (and a selected line break after it) there
    // is only background: that part stays as it is
    const int text_right = kMargin + widest_ + fontMetrics().horizontalAdvance(QLatin1Char(' ')) +
                           1 - horizontalScrollBar()->value();
    const int moving_width = std::min(text_right, view->width());
    if (moved_lines > 0 && moving_width > 0)
        view->scroll(0, -moved_lines * spacing, QRect(0, 0, moving_width, view->height()));
    const int changed_top = std::max((first_changed - top_line()) * spacing, 0);
    if (changed_top < view->height())
        view->update(QRect(0, changed_top, view->width(), view->height() - changed_top));
    ++refreshes_by_moving_;
}

void RtbMoni::refresh_view() {
    refresh_.stop();
    if (!dirty_)
        return;
    last_refresh_.start();
    dirty_ = false;
    // (a text shown anew says nothing about the bus: the last judgement stands)
    if (!difference_.anew())
        busy_ = difference_.appended_lines() >= lines_in_view();
    QScrollBar *bar = verticalScrollBar();
    const bool was_following = following();
    const int top_before = bar->value();
    const int cut_lines = difference_.cut_lines();
    const bool cut = difference_.cut_characters() > 0;
    const bool appended = difference_.appends();
    const int last_before = line_count() - 1 - cut_lines;
    refreshing_ = true;
    bars_->set_refreshing(true);
    const bool anew = take_changes();
    if (anew)
        spare_rows_ = 0;
    else if (was_following)
        spare_rows_ = spare_rows_after(std::max(top_before - cut_lines, 0));
    set_ranges();
    if (was_following)
        bar->setValue(bar->maximum());
    else // the same line stays at the top while lines go and come
        bar->setValue(anew ? top_before : std::max(top_before - cut_lines, 0));
    measure_lines_in_view();
    bars_->set_refreshing(false);
    refreshing_ = false;
    difference_.clear();

    const int moved = anew ? -1 : bar->value() + cut_lines - top_before;
    const bool cut_line_seen = cut && bar->value() == 0;
    if (!viewport()->isVisible() || anew || moved < 0 || moved >= lines_in_view() || cut_line_seen)
        viewport()->update();
    else if (moved > 0 || appended)
        follow_by_moving(moved, appended ? last_before : line_count());
}

void RtbMoni::set_cursor(int position, bool keep_anchor) {
    cursor_ = std::clamp(position, 0, static_cast<int>(shown_.size()));
    if (!keep_anchor)
        anchor_ = cursor_;
    viewport()->update();
}

void RtbMoni::select(int anchor, int cursor) {
    anchor_ = std::clamp(anchor, 0, static_cast<int>(shown_.size()));
    set_cursor(cursor, true);
}

void RtbMoni::select_all() { select(0, static_cast<int>(shown_.size())); }

QString RtbMoni::selected_text() const {
    const int from = std::min(anchor_, cursor_);
    return latin1(text_between(from, std::max(anchor_, cursor_)));
}

void RtbMoni::copy() const {
    if (has_selection())
        QGuiApplication::clipboard()->setText(selected_text());
}

void RtbMoni::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    set_cursor(position_at(event->position().toPoint()),
               event->modifiers().testFlag(Qt::ShiftModifier));
    selecting_ = true;
}

void RtbMoni::mouseMoveEvent(QMouseEvent *event) {
    if (!selecting_ || !event->buttons().testFlag(Qt::LeftButton))
        return;
    const QPoint at = event->position().toPoint();
    // dragged above or below the text: it scrolls a line at a time
    if (at.y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (at.y() >= viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    set_cursor(position_at(at), true);
}

void RtbMoni::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    selecting_ = false;
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (has_selection() && clipboard->supportsSelection())
        clipboard->setText(selected_text(), QClipboard::Selection);
}

// A double click selects the word under it.
void RtbMoni::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    int from = position_at(event->position().toPoint());
    int to = from;
    const auto character = [this](int at) { return shown_[static_cast<std::size_t>(at)]; };
    while (from > 0 && word_character(character(from - 1)))
        --from;
    while (to < static_cast<int>(shown_.size()) && word_character(character(to)))
        ++to;
    select(from, to);
}

void RtbMoni::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        select_all();
    else if (event->matches(QKeySequence::MoveToStartOfDocument))
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    else if (event->matches(QKeySequence::MoveToEndOfDocument))
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void RtbMoni::contextMenuEvent(QContextMenuEvent *event) {
    QMenu menu(this);
    QAction *copy_action = menu.addAction(texts::window::kCopy, this, [this] { copy(); });
    copy_action->setShortcut(QKeySequence::Copy);
    copy_action->setEnabled(has_selection());
    QAction *all = menu.addAction(texts::window::kSelectAll, this, [this] { select_all(); });
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!shown_.empty());
    menu.exec(event->globalPos());
}

} // namespace bl
