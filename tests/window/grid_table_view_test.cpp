#include "window/grid_table_view.h"

#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

QImage shown(QTableView &view, QAbstractItemModel &model) {
    view.setModel(&model);
    view.resize(420, 260);
    view.horizontalHeader()->resizeSection(1, 130);
    view.verticalHeader()->hideSection(2);
    view.selectRow(3);
    // whichever of the two windows is active and has the focus, a selection
    // looks the same
    view.setFocusPolicy(Qt::NoFocus);
    QPalette palette = view.palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view.setPalette(palette);
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    return view.grab().toImage();
}

// The grid is drawn otherwise, not differently: beside Qt's own table, with
// a hidden row, a wider column, a selected row and room right of and below
// the cells, every pixel is the same, also scrolled.
TEST(GridTableView, LooksAsQtsTableWithItsGrid) {
    QStandardItemModel model(40, 3);
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            model.setItem(r, c, new QStandardItem(QStringLiteral("Zelle %1/%2").arg(r).arg(c)));
    QTableView qt;
    GridTableView ours;
    EXPECT_EQ(shown(ours, model), shown(qt, model));
    for (QTableView *view : {static_cast<QTableView *>(&qt), static_cast<QTableView *>(&ours)})
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    EXPECT_EQ(ours.grab().toImage(), qt.grab().toImage()) << "scrolled to the end";
    QStandardItemModel few(2, 2);
    EXPECT_EQ(shown(ours, few), shown(qt, few)) << "cells ending above and left of the view's end";
}

} // namespace
} // namespace bl
