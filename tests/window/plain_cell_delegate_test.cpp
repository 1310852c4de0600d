#include "window/grid_table_view.h"
#include "window/plain_cell_delegate.h"

#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

// How many pixels of `image` within `r` have the colour `c`, and how many
// are darker than mid-grey (ink).
struct Count {
    int coloured = 0, inked = 0;
};
Count count(const QImage &image, const QRect &r, QColor c) {
    Count n;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            n.coloured += p.rgb() == c.rgb();
            n.inked += qGray(p.rgb()) < 128;
        }
    return n;
}

// A cell: its background where the model gives one (a changed Anlage cell,
// a marked history row), the highlight where selected, the text inked and
// cut at the cell's edge, never beyond it.
TEST(PlainCellDelegate, DrawsBackgroundHighlightAndTextWithinTheCell) {
    QStandardItemModel model(3, 2);
    const QColor fresh(255, 230, 120);
    auto *changed = new QStandardItem(QStringLiteral("57"));
    changed->setBackground(fresh);
    changed->setForeground(Qt::black);
    QFont bold;
    bold.setBold(true);
    changed->setFont(bold);
    model.setItem(0, 0, changed);
    model.setItem(1, 0, new QStandardItem(QStringLiteral("ein sehr langer Text, viel zu lang")));
    model.setItem(2, 0, new QStandardItem(QStringLiteral("gewählt")));
    GridTableView view;
    view.setItemDelegate(new PlainCellDelegate(&view));
    view.setModel(&model);
    view.horizontalHeader()->resizeSection(0, 60);
    view.resize(300, 200);
    view.selectRow(2);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage shown = view.viewport()->grab().toImage();
    const auto cell = [&](int row, int column) {
        return view.visualRect(model.index(row, column)).adjusted(0, 0, -1, -1);
    };
    const QColor highlight = view.palette().color(QPalette::Highlight);
    const Count changed_cell = count(shown, cell(0, 0), fresh);
    EXPECT_GT(changed_cell.coloured, cell(0, 0).width() * cell(0, 0).height() / 2);
    EXPECT_GT(changed_cell.inked, 10) << "its text";
    EXPECT_EQ(count(shown, cell(0, 1), fresh).coloured, 0) << "its neighbour has none";
    EXPECT_GT(count(shown, cell(1, 0), Qt::white).inked, 30) << "the long text, cut";
    EXPECT_EQ(count(shown, cell(1, 1), Qt::white).inked, 0) << "not beyond its cell";
    for (const int column : {0, 1}) {
        const Count selected = count(shown, cell(2, column), highlight);
        EXPECT_GT(selected.coloured, cell(2, column).width() * cell(2, column).height() / 2)
            << "column " << column;
    }
}

} // namespace
} // namespace bl
