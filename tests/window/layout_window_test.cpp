// "Bus-Lauscher – Anlage" on real widgets: opened from the main window, fed
// by the bus; a change stands out, a double-click filters the history, a
// row chosen in the history shows the state as it was then, "Live" returns.
#include "support/app_harness.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <set>

namespace bl {
namespace {

using testing::AppHarness;

int row_of(const StateTableModel &model, int number) {
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.table().rows[static_cast<std::size_t>(row)].cells.value(0) ==
            QString::number(number))
            return row;
    return -1;
}

TEST(LayoutWindow, ShowsTheStateAndWhatChanged) {
    AppHarness h;
    h.receive("83 7C E7 0E 05 33 03 40 30 07 00 00 01 11 00 44 B2 0A 50 17");
    QTest::mouseClick(h.w().btnLayout, Qt::LeftButton);
    ASSERT_NE(h.app->layout_window(), nullptr);
    LayoutWindow &layout = *h.app->layout_window();
    EXPECT_EQ(layout.windowTitle(), QStringLiteral("Bus-Lauscher – Anlage"));
    EXPECT_TRUE(layout.station->text().startsWith(QStringLiteral("Gleisspannung: an")));
    StateTableModel &slots = layout.model(StateTable::kSlots);
    ASSERT_EQ(slots.rowCount(), 1);
    EXPECT_EQ(slots.table().rows[0].cells.value(1), QStringLiteral("3"));
    EXPECT_EQ(slots.table().rows[0].cells.value(2), QStringLiteral("in_benutzung"));

    // a change stands out: bold, with a mark before it, and a colour
    h.receive("B2 0B 50 16");
    layout.refresh();
    StateTableModel &sensors = layout.model(StateTable::kSensors);
    const int changed = row_of(sensors, 23);
    ASSERT_GE(changed, 0);
    const QModelIndex cell = sensors.index(changed, 0);
    EXPECT_GT(sensors.data(cell, StateTableModel::FreshRole).toDouble(), 0.0);
    EXPECT_TRUE(sensors.data(cell, Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(sensors.data(cell, Qt::DisplayRole).toString().startsWith(QChar(0x25CF)));

    // a speed that changes: that cell stands out, the loco's address does not
    h.receive("A0 05 20 7A"); // slot 5 to 32
    layout.refresh();
    const QModelIndex speed = slots.index(0, 4), loco = slots.index(0, 1);
    EXPECT_EQ(slots.data(speed, Qt::DisplayRole).toString(), QStringLiteral("32"));
    EXPECT_GT(slots.data(speed, StateTableModel::FreshRole).toDouble(), 0.0);
    EXPECT_TRUE(slots.data(speed, Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(slots.data(loco, StateTableModel::FreshRole).toDouble(), 0.0);
    EXPECT_TRUE(slots.data(slots.index(0, 0), Qt::DisplayRole).toString().startsWith(QChar(0x25CF)))
        << "the row carries the mark";

    // the filter language chooses rows
    QTest::keyClicks(layout.filterEdit, QStringLiteral("rm=21"));
    EXPECT_EQ(layout.tables[StateTable::kSensors]->model()->rowCount(), 1);
    EXPECT_EQ(layout.tables[StateTable::kSlots]->model()->rowCount(), 0);
    layout.filterEdit->clear();

    // a double-click on the slot's row: its loco's messages in the history
    layout.tabs->setCurrentIndex(StateTable::kSlots);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&layout));
    QTableView *view = layout.tables[StateTable::kSlots];
    const QRect rect = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_NE(h.app->history_window(), nullptr);
    EXPECT_EQ(h.app->history_window()->filterEdit->text(), QStringLiteral("lok=3"));
    EXPECT_EQ(h.app->history_window()->model().rowCount(), 2)
        << "the slot data and the speed for its slot";
}

TEST(LayoutWindow, AHistoryRowShowsTheStateAsItWasThen) {
    AppHarness h;
    h.receive("83 7C B2 0A 50 17 82 7D B2 0A 40 07");
    LayoutWindow &layout = h.app->show_layout();
    HistoryWindow &history = h.app->show_history();
    EXPECT_TRUE(layout.live());
    EXPECT_TRUE(layout.station->text().startsWith(QStringLiteral("Gleisspannung: aus")));
    history.table->selectRow(1); // after the sensor came on, power still on
    EXPECT_FALSE(layout.live());
    EXPECT_TRUE(layout.momentLabel->text().startsWith(QStringLiteral("Stand: Nr. 2,")));
    EXPECT_TRUE(layout.station->text().startsWith(QStringLiteral("Gleisspannung: an")));
    const StateTableModel &sensors = layout.model(StateTable::kSensors);
    ASSERT_EQ(sensors.rowCount(), 1);
    EXPECT_EQ(sensors.table().rows[0].cells.value(1), QStringLiteral("belegt"));
    EXPECT_GT(sensors.data(sensors.index(0, 1), StateTableModel::FreshRole).toDouble(), 0.0)
        << "what that message changed stands out";
    history.table->selectRow(3); // the sensor went off: only it changed, not power
    EXPECT_EQ(sensors.data(sensors.index(0, 1), StateTableModel::FreshRole).toDouble(), 1.0);
    history.table->selectRow(2); // power went off: the sensor stands still
    EXPECT_EQ(sensors.data(sensors.index(0, 1), StateTableModel::FreshRole).toDouble(), 0.0);
    QTest::mouseClick(layout.liveButton, Qt::LeftButton);
    EXPECT_TRUE(layout.live());
    EXPECT_EQ(layout.model(StateTable::kSensors).table().rows[0].cells.value(1),
              QStringLiteral("frei"));
}

} // namespace
} // namespace bl

namespace bl {
namespace {

StateTable table_of(const std::vector<int> &numbers, int value) {
    StateTable table;
    table.columns = {QStringLiteral("Nr."), QStringLiteral("Wert"), QStringLiteral("Zeit")};
    for (int n : numbers) {
        StateTable::Row row;
        row.cells = {QString::number(n), QString::number(value), QString()};
        row.sort_key = n;
        table.rows.push_back(row);
    }
    return table;
}

// Live tables that gain and lose rows are merged in: the model says which
// rows came and went (checked by Qt's model tester), holds the new table,
// and a row chosen in a view stays chosen while rows come before it.
TEST(StateTableModel, RowsThatComeAndGoAreMergedInNotReset) {
    StateTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QTableView view;
    view.setModel(&model);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    model.set_live(table_of({10, 20, 30}, 0), 1'000'000); // columns at first: a reset
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    view.selectRow(1); // number 20
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<int> numbers{20};
        for (int n = 1; n < 40; ++n)
            if (n != 20 && random() % 3 == 0)
                numbers.push_back(n);
        std::sort(numbers.begin(), numbers.end());
        model.set_live(table_of(numbers, round), 1'000'000 + round);
        ASSERT_EQ(model.rowCount(), static_cast<int>(numbers.size()));
        for (std::size_t r = 0; r < numbers.size(); ++r)
            ASSERT_EQ(model.data(model.index(static_cast<int>(r), 0), Qt::DisplayRole)
                          .toString()
                          .remove(QChar(0x25CF))
                          .trimmed(),
                      QString::number(numbers[r]))
                << "round " << round;
        const QModelIndexList chosen = view.selectionModel()->selectedRows();
        ASSERT_EQ(chosen.size(), 1);
        ASSERT_EQ(model.table().rows[static_cast<std::size_t>(chosen[0].row())].sort_key, 20);
    }
    EXPECT_EQ(resets, 0);
}

} // namespace
} // namespace bl

namespace bl {
namespace {

// A refresh redraws the rows whose cells changed and those still fading,
// not the whole table.
TEST(StateTableModel, ARefreshRedrawsOnlyRowsThatChangedOrFade) {
    StateTableModel model;
    std::set<int> redrawn;
    std::set<std::pair<int, int>> cells;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex &from, const QModelIndex &to) {
                         for (int r = from.row(); r <= to.row(); ++r) {
                             redrawn.insert(r);
                             for (int c = from.column(); c <= to.column(); ++c)
                                 cells.insert({r, c});
                         }
                     });
    const auto refresh = [&](const StateTable &table, std::int64_t at_us) {
        redrawn.clear();
        cells.clear();
        model.set_live(table, at_us);
        return redrawn;
    };
    const std::int64_t fade = StateTableModel::kFreshUs;
    StateTable table = table_of({10, 20, 30}, 0);
    refresh(table, 1'000'000);
    EXPECT_EQ(refresh(table, 1'500'000), std::set<int>{}) << "nothing changed";
    table.rows[1].cells[1] = QStringLiteral("7");
    EXPECT_EQ(refresh(table, 2'000'000), std::set<int>{1});
    EXPECT_EQ(cells, (std::set<std::pair<int, int>>{{1, 0}, {1, 1}})) << "the cell and the mark";
    EXPECT_EQ(refresh(table, 2'000'000 + fade / 2), std::set<int>{1}) << "fading";
    EXPECT_EQ(refresh(table, 2'000'000 + fade + 1), std::set<int>{1}) << "faded out";
    EXPECT_EQ(refresh(table, 2'000'000 + fade + 500'000), std::set<int>{});
    table.rows[2].cells[2] = QStringLiteral("14:05:09,123"); // the time only: no news
    EXPECT_EQ(refresh(table, 9'000'000), std::set<int>{2});
    EXPECT_EQ(cells, (std::set<std::pair<int, int>>{{2, 2}}));
}

} // namespace
} // namespace bl
