// "Bus-Lauscher – Befunde" on real widgets: counted in the status bar, a
// click opens the list, a finding chosen shows its message in the history
// and the layout as it was then; the history's filter takes "befund".
#include "support/app_harness.h"

#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::AppHarness;

QString cell(const QAbstractItemModel &model, int row, int column) {
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

TEST(FindingsWindow, CountedListedAndShownWhereTheyHappened) {
    AppHarness h;
    h.app->show_health();
    EXPECT_TRUE(h.w().FindingsPanel->isHidden()) << "nothing found, nothing shown";
    h.receive("83 7C BF 00 03 43 B4 3F 00 74"); // loco 3 asked for, refused
    h.app->show_health();
    EXPECT_FALSE(h.w().FindingsPanel->isHidden());
    EXPECT_EQ(h.w().FindingsPanel->text(), QStringLiteral("1 Warnung"));

    QTest::mouseClick(h.w().FindingsPanel, Qt::LeftButton);
    ASSERT_NE(h.app->findings_window(), nullptr);
    FindingsWindow &list = *h.app->findings_window();
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Bus-Lauscher – Befunde"));
    ASSERT_EQ(list.model().rowCount(), 1);
    EXPECT_EQ(cell(list.model(), 0, FindingsModel::kSeverity), QStringLiteral("Warnung"));
    EXPECT_EQ(cell(list.model(), 0, FindingsModel::kKind), QStringLiteral("abgelehnt"));
    EXPECT_EQ(cell(list.model(), 0, FindingsModel::kNr), QStringLiteral("3"));
    EXPECT_TRUE(
        cell(list.model(), 0, FindingsModel::kText).startsWith(QStringLiteral("Abgelehnt")));

    // chosen: its message in the history, the layout as it was then
    list.table->selectionModel()->setCurrentIndex(
        list.model().index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_NE(h.app->history_window(), nullptr);
    HistoryWindow &history = *h.app->history_window();
    const QModelIndex current = history.table->currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(cell(history.model(), current.row(), HistoryModel::kNr), QStringLiteral("3"));
    ASSERT_NE(h.app->layout_window(), nullptr);
    EXPECT_FALSE(h.app->layout_window()->live());

    // a request left unanswered is found once its time has run out
    h.receive("BB 05 00 41");
    h.app->show_health();
    EXPECT_EQ(h.w().FindingsPanel->text(), QStringLiteral("1 Warnung"));
    h.clock->now += 2;
    h.app->show_health();
    EXPECT_EQ(h.w().FindingsPanel->text(), QStringLiteral("2 Warnungen"));
    list.refresh();
    ASSERT_EQ(list.model().rowCount(), 2);
    EXPECT_EQ(cell(list.model(), 1, FindingsModel::kKind), QStringLiteral("unbeantwortet"));

    // the history's filter: the messages findings name
    history.filterEdit->setText(QStringLiteral("befund=abgelehnt"));
    history.apply_filter();
    while (history.filtering())
        QCoreApplication::processEvents();
    ASSERT_EQ(history.model().rowCount(), 2) << "the refusal and its request";
    EXPECT_EQ(cell(history.model(), 0, HistoryModel::kNr), QStringLiteral("2"));
    history.filterEdit->setText(QStringLiteral("befund"));
    history.apply_filter();
    while (history.filtering())
        QCoreApplication::processEvents();
    EXPECT_EQ(history.model().rowCount(), 3);
}

} // namespace
} // namespace bl
