#include "window/rtb_moni_accessible.h"

#include "window/rtb_moni.h"

#include <QScrollBar>
#include <algorithm>

namespace bl {

RtbMoniAccessible::RtbMoniAccessible(RtbMoni *area)
    : QAccessibleWidget(area, QAccessible::EditableText) {}

QAccessibleInterface *RtbMoniAccessible::factory(const QString &, QObject *object) {
    auto *area = dynamic_cast<RtbMoni *>(object);
    return area ? new RtbMoniAccessible(area) : nullptr;
}

RtbMoni &RtbMoniAccessible::area() const { return *static_cast<RtbMoni *>(widget()); }

QAccessible::State RtbMoniAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

void *RtbMoniAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

void RtbMoniAccessible::selection(int index, int *start, int *end) const {
    *start = *end = 0;
    if (index == 0 && area().has_selection()) {
        *start = area().selection_start();
        *end = area().selection_end();
    }
}

int RtbMoniAccessible::selectionCount() const { return area().has_selection() ? 1 : 0; }

void RtbMoniAccessible::addSelection(int start, int end) { area().select(start, end); }

void RtbMoniAccessible::removeSelection(int index) {
    if (index == 0)
        area().select(area().cursor_position(), area().cursor_position());
}

void RtbMoniAccessible::setSelection(int index, int start, int end) {
    if (index == 0)
        area().select(start, end);
}

int RtbMoniAccessible::cursorPosition() const { return area().cursor_position(); }

void RtbMoniAccessible::setCursorPosition(int position) { area().select(position, position); }

QString RtbMoniAccessible::text(int start, int end) const {
    const QString all = area().shown_text();
    start = std::clamp(start, 0, static_cast<int>(all.size()));
    end = std::clamp(end, start, static_cast<int>(all.size()));
    return all.mid(start, end - start);
}

int RtbMoniAccessible::characterCount() const {
    return static_cast<int>(area().shown_text().size());
}

QRect RtbMoniAccessible::characterRect(int offset) const {
    const QRect in_view = area().character_rect(offset);
    return QRect(area().viewport()->mapToGlobal(in_view.topLeft()), in_view.size());
}

int RtbMoniAccessible::offsetAtPoint(const QPoint &point) const {
    const QPoint in_view = area().viewport()->mapFromGlobal(point);
    return area().viewport()->rect().contains(in_view) ? area().position_at(in_view) : -1;
}

void RtbMoniAccessible::scrollToSubstring(int start, int) { area().show_position(start); }

QString RtbMoniAccessible::attributes(int offset, int *start, int *end) const {
    *start = 0; // plain text: one run of no attributes
    *end = characterCount();
    Q_UNUSED(offset);
    return {};
}

} // namespace bl
