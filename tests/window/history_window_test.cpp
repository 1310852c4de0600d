// "Bus-Lauscher – Verlauf" on real widgets: opened from the main window, fed
// by the bus, filtered as the user types, paused, searched, emptied.
#include "support/app_harness.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

using testing::AppHarness;

HistoryWindow &opened(AppHarness &h) {
    QTest::mouseClick(h.w().btnHistory, Qt::LeftButton);
    EXPECT_NE(h.app->history_window(), nullptr);
    return *h.app->history_window();
}

TEST(HistoryWindow, OpensFromTheButtonWithEveryMessageSinceTheStart) {
    AppHarness h;
    h.receive("83 7C B2 02 50 1F");
    QTest::mouseClick(h.w().cmdStartStop, Qt::LeftButton); // the area stops, the history not
    h.receive("82 7D");
    HistoryWindow &history = opened(h);
    EXPECT_TRUE(history.isVisible());
    EXPECT_EQ(history.windowTitle(), QStringLiteral("Bus-Lauscher – Verlauf"));
    EXPECT_EQ(history.model().rowCount(), 3);
    EXPECT_EQ(history.countLabel->text(), QStringLiteral("3 von 3 Meldungen"));
    EXPECT_TRUE(h.w().cmdStartStop->toolTip().contains(QStringLiteral("Verlauf")));
}

// Counts the paint events a widget gets.
struct PaintCount : QObject {
    explicit PaintCount(QWidget *w) { w->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

// The table's scroll bars fill their background, so that a handle creeping
// as rows arrive is drawn by the bar alone, not by the table, the splitter
// and the window beneath it too: that fill must not show, in any style.
TEST(HistoryWindow, FilledScrollBarsLookAsDrawnOverTheTable) {
    const QString style_before = QApplication::style()->name();
    for (const QString &style : QStyleFactory::keys()) {
        QApplication::setStyle(style);
        AppHarness h;
        for (int i = 0; i < 200; ++i)
            h.receive("B2 05 10 58");
        HistoryWindow &history = opened(h);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&history));
        QScrollBar *bar = history.table->verticalScrollBar();
        ASSERT_TRUE(bar->autoFillBackground());
        ASSERT_TRUE(bar->isVisible()) << "more rows than the table shows";
        PaintCount beneath(history.table);
        bar->update();
        QCoreApplication::processEvents();
        EXPECT_EQ(beneath.paints, 0) << style.toStdString() << ": the bar was drawn alone";
        const QImage filled = history.grab().toImage();
        bar->setAutoFillBackground(false);
        EXPECT_EQ(history.grab().toImage(), filled) << style.toStdString();
    }
    QApplication::setStyle(style_before);
}

// A filter applies when typing pauses (not at every keystroke) or at once
// on Enter; a mistake turns the line red with a hint, and the rows stay as
// the last readable filter left them.
TEST(HistoryWindow, AFilterAppliesWhenTypingPausesOrOnEnter) {
    AppHarness h;
    h.receive("83 7C B2 02 50 1F B0 0A 30 75 B2 04 50 19");
    HistoryWindow &history = opened(h);
    QTest::keyClicks(history.filterEdit, QStringLiteral("rm=5"));
    EXPECT_EQ(history.model().rowCount(), 4) << "not yet: typing goes on";
    QTRY_COMPARE(history.model().rowCount(), 1);
    EXPECT_TRUE(history.filterHint->isHidden());
    QTest::keyClicks(history.filterEdit, QStringLiteral(" oder"));
    QTest::keyClick(history.filterEdit, Qt::Key_Return);
    EXPECT_FALSE(history.filterHint->isHidden());
    EXPECT_EQ(history.filterHint->text(),
              QStringLiteral("Zeichen 10: Nach „oder“ fehlt eine Bedingung"));
    EXPECT_TRUE(history.filterEdit->styleSheet().contains(QStringLiteral("background")));
    EXPECT_EQ(history.model().rowCount(), 1);
    QTest::keyClicks(history.filterEdit, QStringLiteral(" weiche=11"));
    QTest::keyClick(history.filterEdit, Qt::Key_Return);
    EXPECT_TRUE(history.filterHint->isHidden());
    EXPECT_EQ(history.model().rowCount(), 2);
    h.receive("B2 02 40 0F");
    // a refresh made while the filter's last step is still due waits for the
    // next one (the window's tick makes them twice a second)
    QTRY_COMPARE((history.refresh(), history.model().rowCount()), 3);
    EXPECT_EQ(history.countLabel->text(), QStringLiteral("3 von 5 Meldungen"));
}

TEST(HistoryWindow, PausedTheViewStandsStillAndWeiterCatchesUp) {
    AppHarness h;
    HistoryWindow &history = opened(h);
    h.receive("83 7C");
    history.refresh();
    QTest::mouseClick(history.pauseButton, Qt::LeftButton);
    EXPECT_EQ(history.pauseButton->text(), QStringLiteral("Weiter"));
    h.receive("82 7D 82 7D");
    history.refresh();
    EXPECT_EQ(history.model().rowCount(), 1);
    EXPECT_TRUE(history.countLabel->text().endsWith(QStringLiteral("(angehalten)")));
    QTest::mouseClick(history.pauseButton, Qt::LeftButton);
    EXPECT_EQ(history.model().rowCount(), 3);
    EXPECT_EQ(history.pauseButton->text(), QStringLiteral("Anhalten"));
}

TEST(HistoryWindow, NextErrorSelectsItAndTheFieldViewTellsIt) {
    AppHarness h;
    h.receive("83 7C B2 02 50 1E 82 7D");
    HistoryWindow &history = opened(h);
    QTest::mouseClick(history.nextErrorButton, Qt::LeftButton);
    EXPECT_TRUE(history.fieldView->toPlainText().contains(QStringLiteral("Prüfsumme: falsch")));
    EXPECT_TRUE(history.fieldView->toPlainText().contains(QStringLiteral("Bytes: B2 02 50 1E")));
    QTest::mouseClick(history.nextErrorButton, Qt::LeftButton);
    EXPECT_EQ(history.noteLabel->text(), QStringLiteral("Kein weiterer Fehler"));
    history.refresh(); // the counts go on; the note stands
    h.receive("83 7C");
    history.refresh();
    EXPECT_EQ(history.noteLabel->text(), QStringLiteral("Kein weiterer Fehler"));
}

// Paused, the view stands while the history goes on and drops its oldest:
// the rows of dropped messages leave with a note, and every step (next
// error, a resize, the field view) stays on messages that are still kept.
TEST(HistoryWindow, APausedViewStaysValidWhileTheHistoryDropsItsRows) {
    AppHarness h(100);
    h.receive("83 7C B2 02 50 1E");
    HistoryWindow &history = opened(h);
    QTest::mouseClick(history.pauseButton, Qt::LeftButton);
    for (int i = 0; i < 30; ++i)
        h.receive("83 7C 83 7C 83 7C 83 7C 83 7C 83 7C 83 7C 83 7C 83 7C 83 7C");
    QTest::mouseClick(history.nextErrorButton, Qt::LeftButton);
    history.resize(history.width() + 40, history.height() + 40);
    history.table->viewport()->repaint();
    EXPECT_EQ(history.model()
                  .data(history.model().index(0, HistoryModel::kBytes), Qt::DisplayRole)
                  .toString(),
              QString());
    history.refresh();
    EXPECT_EQ(history.model().rowCount(), 0);
    EXPECT_TRUE(history.noteLabel->text().startsWith(QStringLiteral("2 ältere Zeilen")));
    QTest::mouseClick(history.pauseButton, Qt::LeftButton);
    EXPECT_EQ(history.model().rowCount(), 100);
    EXPECT_EQ(history.model()
                  .data(history.model().index(99, HistoryModel::kNr), Qt::DisplayRole)
                  .toString(),
              QStringLiteral("302"));
}

// Following the newest rows: choosing one above holds the view; choosing
// the newest, scrolling to the bottom or "Weiter" follows again.
TEST(HistoryWindow, FollowingEndsAboveTheNewestAndComesBack) {
    AppHarness h;
    HistoryWindow &history = opened(h);
    history.resize(600, 300);
    for (int i = 0; i < 6; ++i)
        h.receive("83 7C 82 7D 83 7C 82 7D 83 7C 82 7D 83 7C 82 7D 83 7C 82 7D");
    // fewer new rows than the view shows: each refresh takes them at once
    const auto more = [&] {
        h.receive("83 7C 82 7D 83 7C");
        history.refresh();
    };
    const auto newest_in_view = [&] {
        const QRect last =
            history.table->visualRect(history.model().index(history.model().rowCount() - 1, 0));
        return history.table->viewport()->rect().intersects(last);
    };
    more();
    EXPECT_TRUE(history.following());
    history.table->selectRow(3);
    EXPECT_FALSE(history.following());
    more();
    EXPECT_FALSE(newest_in_view()) << "a row chosen above holds the view";
    QTest::keyClick(history.table, Qt::Key_End, Qt::ControlModifier);
    EXPECT_TRUE(history.following()) << "the newest row chosen";
    more();
    EXPECT_TRUE(newest_in_view());
    EXPECT_EQ(history.table->currentIndex().row(), history.model().rowCount() - 1);

    history.table->selectRow(2);
    QScrollBar *bar = history.table->verticalScrollBar();
    bar->setValue(bar->maximum()); // dragged to the bottom
    EXPECT_TRUE(history.following());
    more();
    EXPECT_TRUE(newest_in_view());

    history.table->selectRow(2);
    QTest::mouseClick(history.pauseButton, Qt::LeftButton);
    more();
    QTest::mouseClick(history.pauseButton, Qt::LeftButton); // Weiter
    more();
    EXPECT_TRUE(newest_in_view());
    EXPECT_TRUE(history.following());
}

TEST(HistoryWindow, SearchWithCtrlFAndF3) {
    AppHarness h;
    h.receive("83 7C B2 02 50 1F 82 7D B2 04 50 19");
    HistoryWindow &history = opened(h);
    history.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&history));
    QTest::keyClick(&history, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(history.searchEdit->isVisible());
    QTest::keyClicks(history.searchEdit, QStringLiteral("belegt"));
    QTest::keyClick(history.searchEdit, Qt::Key_Return);
    EXPECT_EQ(history.table->currentIndex().row(), 1);
    QTest::keyClick(&history, Qt::Key_F3);
    EXPECT_EQ(history.table->currentIndex().row(), 3);
    QTest::keyClick(&history, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(history.table->currentIndex().row(), 1);
}

TEST(HistoryWindow, AusfuehrlichAndEmptyingTheHistory) {
    AppHarness h;
    h.receive("B2 02 50 1F");
    HistoryWindow &history = opened(h);
    const auto shown = [&] {
        return history.model()
            .data(history.model().index(0, HistoryModel::kText), Qt::DisplayRole)
            .toString();
    };
    EXPECT_EQ(shown(), QStringLiteral("Rückmelder 5 = belegt"));
    QTest::mouseClick(h.w().LNM_detail_chk, Qt::LeftButton);
    EXPECT_EQ(shown(), QStringLiteral("Rückmelder 5: belegt (Melder 1, Eingang 5)"));
    QTest::mouseClick(history.clearButton, Qt::LeftButton);
    EXPECT_EQ(history.model().rowCount(), 0);
    EXPECT_EQ(h.area(), "Rückmelder 5 = belegt\r\n") << "the area stays as it is";
}

TEST(HistoryWindow, ExportWritesTheShownRowsOrSaysWhyNot) {
    AppHarness h;
    h.receive("83 7C B2 02 50 1F");
    HistoryWindow &history = opened(h);
    const QString path = h.folder.filePath(QStringLiteral("export.bin"));
    history.set_ask_export([&](QWidget *) {
        return HistoryWindow::ExportTarget{path, ExportFormat::Raw};
    });
    QTest::mouseClick(history.exportButton, Qt::LeftButton);
    EXPECT_EQ(testing::read_file(path), QByteArray::fromHex("837CB202501F"));
    EXPECT_FALSE(history.export_to(
        {h.folder.filePath(QStringLiteral("no/such/dir/x.txt")), ExportFormat::Text}));
    ASSERT_EQ(h.dialogs->boxes.size(), 1u);
}

} // namespace
} // namespace bl
