#include "window/handle_moves.h"
#include "window/rtb_moni.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace bl {
namespace {

QRect handle_of(const QScrollBar &bar) {
    return handle_rect(bar, bar.minimum(), bar.maximum(), bar.pageStep(), bar.value());
}

QScrollBar *shown_vertical_bar(RtbMoni &area) {
    for (QScrollBar *bar : area.findChildren<QScrollBar *>(Qt::FindDirectChildrenOnly))
        if (bar->orientation() == Qt::Vertical)
            return bar;
    return nullptr;
}

// The area on screen at a size that shows some twenty lines; its vertical bar.
QScrollBar *shown_with_its_bar(RtbMoni &area) {
    area.resize(400, 300);
    area.show();
    return QTest::qWaitForWindowExposed(&area) ? shown_vertical_bar(area) : nullptr;
}

QImage on_screen(QWidget &w) {
    QCoreApplication::processEvents();
    return w.screen()->grabWindow(w.winId()).toImage();
}

// Each style Qt has here, as the application's, and back to the one before.
class EveryStyle : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        before_ = QApplication::style()->name();
        QApplication::setStyle(QString::fromStdString(GetParam()));
    }
    void TearDown() override { QApplication::setStyle(before_); }

private:
    QString before_;
};

// A handle creeping as lines come and go is drawn only around its ends; on
// screen the bar must be what drawing it whole gives.
TEST_P(EveryStyle, AScrollBarDrawnWhereItsHandleMovedEqualsItDrawnWhole) {
    RtbMoni area;
    QScrollBar *shown = shown_with_its_bar(area);
    ASSERT_NE(shown, nullptr);
    for (int round = 0; round < 60; ++round) {
        for (int i = 0; i <= round % 3; ++i)
            area.append_text("Zeile " + std::to_string(round) + "." + std::to_string(i) + "\r\n");
        if (area.text().size() > 900)
            area.keep_last(static_cast<std::size_t>(700 + (round * 37) % 200));
        area.refresh_view();
        const QImage drawn = on_screen(area);
        shown->update();
        ASSERT_EQ(drawn, on_screen(area)) << "round " << round;
    }
}

// The handle's creep as lines come shows at most once a second, with a
// refresh; a handle coming and a scroll by the user show at once, and a bar
// left behind catches up by itself when no refresh comes.
TEST(MirroredScrollBars, AHandleCreepingAsLinesComeShowsOnceASecond) {
    RtbMoni area;
    QScrollBar *shown = shown_with_its_bar(area);
    ASSERT_NE(shown, nullptr);
    const QScrollBar *own = area.verticalScrollBar();
    for (int i = 0; i < 60; ++i)
        area.append_text("Zeile " + std::to_string(i) + "\r\n");
    area.refresh_view();
    ASSERT_GT(own->maximum(), 0);
    EXPECT_EQ(shown->maximum(), own->maximum()) << "a handle coming shows at once";
    const int updates = area.scroll_bars().shown_updates();
    area.append_text("noch eine Zeile\r\n");
    area.refresh_view();
    EXPECT_LT(shown->maximum(), own->maximum()) << "a line later, it waits";
    EXPECT_EQ(area.scroll_bars().shown_updates(), updates) << "and is not drawn";
    area.verticalScrollBar()->setValue(3);
    EXPECT_EQ(shown->value(), 3) << "a scroll by the user shows at once";
    EXPECT_EQ(shown->maximum(), own->maximum());
    area.append_text("und noch eine\r\n");
    area.refresh_view();
    EXPECT_NE(shown->maximum(), own->maximum());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown->maximum() == own->maximum(); },
                                3 * MirroredScrollBars::kCreepMs))
        << "without a refresh, it catches up by itself";
}

std::vector<std::string> style_names() {
    std::vector<std::string> names;
    for (const QString &key : QStyleFactory::keys())
        names.push_back(key.toStdString());
    return names;
}

INSTANTIATE_TEST_SUITE_P(RtbMoni, EveryStyle, ::testing::ValuesIn(style_names()),
                         [](const auto &style) { return style.param; });

// A style that marks the middle of the handle draws rows away from its ends
// anew when it moves: such a bar is drawn whole.
class GripStyle : public QProxyStyle {
public:
    GripStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control != CC_ScrollBar)
            return;
        const QRect handle = subControlRect(control, option, SC_ScrollBarSlider, widget);
        painter->fillRect(QRect(handle.left(), handle.center().y() - 1, handle.width(), 3),
                          Qt::red);
    }
};

TEST(HandleMoves, OnlyTheRowsAroundTheMovedEndsWhereTheStyleAllows) {
    QApplication::setStyle(QStringLiteral("Fusion"));
    GripStyle grip;
    for (QStyle *style : {QApplication::style(), static_cast<QStyle *>(&grip)}) {
        QScrollBar bar(Qt::Vertical);
        bar.setStyle(style);
        bar.resize(14, 300);
        bar.setRange(0, 100);
        bar.setPageStep(50);
        bar.setValue(100);
        const QRect from = handle_of(bar);
        bar.setRange(0, 102); // two lines more, still at the end
        bar.setValue(102);
        const QRect to = handle_of(bar);
        ASSERT_NE(from, to);
        HandleMoves moves;
        const QRegion changed = moves.changed(bar, from, to);
        if (style == &grip) {
            EXPECT_EQ(changed, QRegion(bar.rect())) << "a grip in the middle moves too";
            continue;
        }
        EXPECT_TRUE(changed.contains(QPoint(5, to.top())));
        EXPECT_TRUE(changed.contains(QPoint(5, from.top())));
        EXPECT_FALSE(changed.contains(QPoint(5, to.center().y()))) << "the middle stays";
        int rows = 0;
        for (const QRect &r : changed)
            rows += r.height();
        const int band = 2 * HandleMoves::kEdge + 1;
        EXPECT_LE(rows, std::abs(from.top() - to.top()) + 2 * band) << "two bands, not the bar";
        EXPECT_EQ(moves.changed(bar, QRect(), to), QRegion(bar.rect())) << "no handle before";
    }
}

} // namespace
} // namespace bl
