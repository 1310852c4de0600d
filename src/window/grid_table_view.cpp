#include "window/grid_table_view.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace bl {

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
    const int first_row = std::max(rows->visualIndexAt(area.top()), 0);
    const int last_row = rows->visualIndexAt(area.bottom());
    for (int v = first_row; v <= (last_row < 0 ? rows->count() - 1 : last_row); ++v) {
        const int row = rows->logicalIndex(v);
        if (rows->isSectionHidden(row))
            continue;
        const int y = rowViewportPosition(row) + rowHeight(row) - 1;
        painter.fillRect(QRect(area.left(), y, area.width(), 1), grid);
    }
    const int first_column = std::max(columns->visualIndexAt(area.left()), 0);
    const int last_column = columns->visualIndexAt(area.right());
    for (int v = first_column; v <= (last_column < 0 ? columns->count() - 1 : last_column); ++v) {
        const int column = columns->logicalIndex(v);
        if (columns->isSectionHidden(column))
            continue;
        const int x = columnViewportPosition(column) + columnWidth(column) - 1;
        painter.fillRect(QRect(x, area.top(), 1, area.height()), grid);
    }
}

} // namespace bl
