#include "window/grid_table_view.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace bl {

namespace {

// Each section of `header` not hidden between the pixels from and to, by
// its logical index.
template <typename Each> void each_shown(const QHeaderView *header, int from, int to, Each each) {
    const int first = std::max(header->visualIndexAt(from), 0);
    const int last = header->visualIndexAt(to);
    for (int v = first; v <= (last < 0 ? header->count() - 1 : last); ++v)
        if (const int logical = header->logicalIndex(v); !header->isSectionHidden(logical))
            each(logical);
}

} // namespace

GridTableView::GridTableView(QWidget *parent) : QTableView(parent) {
    // the cells leave the grid its pixels, as ever; Qt's pen draws nothing
    // there, the grid is filled in after them
    setGridStyle(Qt::NoPen);
}

void GridTableView::paintEvent(QPaintEvent *event) {
    QTableView::paintEvent(event);
    paint_grid(event->rect());
}

// Where QTableView draws its grid: a line below each row and right of each
// column, within the part of the view that holds cells.
void GridTableView::paint_grid(const QRect &dirty) {
    const QHeaderView *rows = verticalHeader();
    const QHeaderView *columns = horizontalHeader();
    if (!showGrid() || rows->count() == 0 || columns->count() == 0)
        return;
    const int cells_right = columns->length() - columns->offset() - 1;
    const int cells_bottom = rows->length() - rows->offset() - 1;
    const QRect area = dirty & QRect(QPoint(0, 0), QPoint(cells_right, cells_bottom));
    if (area.isEmpty())
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QColor grid = QColor::fromRgba(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    QPainter painter(viewport());
    each_shown(rows, area.top(), area.bottom(), [&](int row) {
        const int y = rowViewportPosition(row) + rowHeight(row) - 1;
        painter.fillRect(QRect(area.left(), y, area.width(), 1), grid);
    });
    each_shown(columns, area.left(), area.right(), [&](int column) {
        const int x = columnViewportPosition(column) + columnWidth(column) - 1;
        painter.fillRect(QRect(x, area.top(), 1, area.height()), grid);
    });
}

} // namespace bl
