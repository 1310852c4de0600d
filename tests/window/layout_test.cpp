#include "window/frm_monitor.h"
#include "window/resize_rule.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QStyleFactory>
#include <algorithm>
#include <gtest/gtest.h>

namespace bl {
namespace {

TEST(ResizeRule, FollowsTheInnerArea) {
    const AreaGeometry before{0, 2760, 10275, 6735};
    const struct {
        int w, h;
        AreaGeometry expected;
    } rows[] = {
        {10290, 9945, {0, 480, 10270, 9195}}, // design size
        {1, 9945, before},                    // minimised: nothing changes
        {10290, 1, before},
        {10290, 750, {0, 480, 10270, 6735}}, // too low: height kept
        {10290, 751, {0, 480, 10270, 1}},
        {20, 9945, {0, 480, 10275, 9195}}, // too narrow: width kept
        {21, 9945, {0, 480, 1, 9195}},
    };
    for (const auto &row : rows) {
        const AreaGeometry got = apply_resize_rule(row.w, row.h, before);
        EXPECT_EQ(got.left, row.expected.left);
        EXPECT_EQ(got.top, row.expected.top) << row.w << "x" << row.h;
        EXPECT_EQ(got.width, row.expected.width) << row.w << "x" << row.h;
        EXPECT_EQ(got.height, row.expected.height) << row.w << "x" << row.h;
    }
}

TEST(FrmMonitor, DesignSizeAndTheAreaBeneathTheFrameAt96Dpi) {
    FrmMonitor w;
    ASSERT_EQ(w.dpi(), 96.0) << "the offscreen screen has 96 DPI";
    w.show();
    EXPECT_EQ(w.size(), QSize(686, 663));
    // after the resize rule: top 480, width 10270, height 9195 twips
    EXPECT_EQ(w.rtbMoni->geometry(), QRect(0, 32, 685, 613));
    EXPECT_EQ(w.StatusBar1->geometry(), QRect(0, 638, 686, 25));
    EXPECT_EQ(w.children().indexOf(w.rtbMoni), 0) << "beneath every other control";
    w.resize(800, 500);
    EXPECT_EQ(w.rtbMoni->geometry(), QRect(0, 32, 799, 450));
}

// The toolbar, the frame and the status bar cover the monitor area: its text
// is shown between them, and a small window still shows every control.
TEST(FrmMonitor, TheTextStandsBetweenTheFrameAndTheStatusBar) {
    FrmMonitor w;
    w.show();
    w.rtbMoni->set_text(std::string(40 * 81, '#'));
    w.rtbMoni->refresh_view();
    const QRect text(w.rtbMoni->viewport()->mapTo(&w, QPoint(0, 0)), w.rtbMoni->viewport()->size());
    EXPECT_EQ(text.top(), w.OutFrame->geometry().bottom() + 1);
    EXPECT_LE(text.bottom(), w.StatusBar1->geometry().top() - 1);
    const QImage shown = w.grab().toImage();
    const QPoint over_area(w.width() / 2, w.rtbMoni->geometry().top()); // the area's border
    ASSERT_TRUE(w.Toolbar1->geometry().contains(over_area));
    EXPECT_EQ(shown.pixelColor(over_area), w.Toolbar1->palette().color(QPalette::Window))
        << "the toolbar is drawn over the area";

    w.resize(400, 300);
    for (QWidget *control :
         w.Toolbar1->findChildren<QWidget *>() + w.OutFrame->findChildren<QWidget *>()) {
        const QRect at(control->mapTo(&w, QPoint(0, 0)), control->size());
        EXPECT_TRUE(w.rect().contains(at)) << control->objectName().toStdString();
    }
}

// What the tables cannot say: the rows show hex in a monospaced face, and
// the icon is linked into the program.
// The area's scroll bars fill their rectangles before they draw, so that a
// creeping handle is drawn by itself, not by the window and the area beneath
// it as well: that fill must not show, in any style Qt has here.
TEST(FrmMonitor, FilledScrollBarsLookAsDrawnOverTheArea) {
    const QString style_before = QApplication::style()->name();
    for (const QString &style : QStyleFactory::keys()) {
        QApplication::setStyle(style);
        FrmMonitor w;
        w.show();
        std::string text(2000 + 40 * 81, '#'); // longer and wider than the view
        std::fill_n(text.begin(), 2000, '\n');
        w.rtbMoni->set_text(std::move(text));
        w.rtbMoni->refresh_view();
        QWidgetList filled = w.findChildren<QWidget *>();
        filled.removeIf([](QWidget *c) {
            return !c->autoFillBackground() || !qobject_cast<QScrollBar *>(c) || !c->isVisible();
        });
        ASSERT_EQ(filled.size(), 2) << "the bars beside and below the text";
        const QImage with_fill = w.grab().toImage();
        for (QWidget *c : filled)
            c->setAutoFillBackground(false);
        const QImage without = w.grab().toImage();
        EXPECT_EQ(without, with_fill) << style.toStdString();
    }
    QApplication::setStyle(style_before);
}

TEST(FrmMonitor, SendRowsAreMonospacedAndTheIconIsLinkedIn) {
    FrmMonitor w;
    for (QLineEdit *row : w.LNMsgTxt)
        EXPECT_TRUE(QFontInfo(row->font()).fixedPitch());
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/bus-lauscher.png")));
}

} // namespace
} // namespace bl
