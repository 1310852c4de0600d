#include "window/shaped_label.h"

#include "support/event_count.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace bl {
namespace {

// How many pixels of `image` are darker than the label's background.
int dark_pixels(const QImage &image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

struct Shown {
    QWidget bar;
    ShapedLabel *label = new ShapedLabel(&bar);
    testing::EventCount requests{QEvent::LayoutRequest};
    Shown() {
        auto *row = new QHBoxLayout(&bar);
        row->addWidget(label);
        row->addStretch(1);
        bar.resize(600, 40);
        bar.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&bar));
        bar.installEventFilter(&requests);
    }
    void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

TEST(ShapedLabel, TakesTheRoomItsTextNeedsAndShowsIt) {
    Shown s;
    EXPECT_EQ(s.label->natural_width(), 0) << "no text, no room";
    const QString counts = QStringLiteral("1.234 Meldungen · 4,0/s · Last 1 % (max 3 %)");
    s.label->setText(counts);
    s.settle();
    EXPECT_EQ(s.label->text(), counts);
    EXPECT_GE(s.label->natural_width(), s.label->fontMetrics().horizontalAdvance(counts));
    EXPECT_LE(s.label->natural_width(), s.label->fontMetrics().horizontalAdvance(counts) + 8);
    EXPECT_GE(s.label->width(), s.label->fontMetrics().horizontalAdvance(counts))
        << "the layout gave it the room";
    EXPECT_GE(s.label->height(), s.label->fontMetrics().height());
    const int inked = dark_pixels(s.label->grab().toImage());
    QLabel reference(counts);
    reference.setFont(s.label->font());
    reference.resize(s.label->size());
    const int inked_by_qlabel = dark_pixels(reference.grab().toImage());
    EXPECT_GT(inked, inked_by_qlabel * 9 / 10) << "the text is drawn as a label draws it";
    EXPECT_LT(inked, inked_by_qlabel * 11 / 10);
}

// Every second brings a new text; most are as wide as the one before and
// must not lay the status bar out again, but each must be drawn.
TEST(ShapedLabel, ATextAsWideAsTheOneBeforeIsOnlyDrawnAgain) {
    Shown s;
    s.label->setText(QStringLiteral("12 Meldungen"));
    s.settle();
    const QImage before = s.label->grab().toImage();
    for (const QString &next :
         {QStringLiteral("21 Meldungen"), QStringLiteral("1 Meldungen"),
          QStringLiteral("1234 Meldungen"), QStringLiteral("1234 Meldungen")}) {
        const int width_before = s.label->natural_width();
        const QString text_before = s.label->text();
        s.requests.count = 0;
        s.label->setText(next);
        s.settle();
        const bool wider_or_narrower = s.label->natural_width() != width_before;
        EXPECT_EQ(s.requests.count > 0, wider_or_narrower) << next.toStdString();
        if (next != text_before) {
            EXPECT_NE(s.label->grab().toImage(), before) << next.toStdString();
        }
    }
    EXPECT_GT(s.label->natural_width(),
              s.label->fontMetrics().horizontalAdvance(QStringLiteral("1 Meldungen")));
}

// The rectangles drawn anew.
class Painted : public QObject {
public:
    QRegion region;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent *>(event)->rect();
        return false;
    }
};

QImage on_screen(QWidget &w) {
    QCoreApplication::processEvents();
    return w.screen()->grabWindow(w.winId()).toImage();
}

// A new count draws only around its digits; on screen the label is then what
// it is shown with the new text from the start.
TEST(ShapedLabel, ATextAsWideAsTheOneBeforeIsDrawnOnlyWhereItChanged) {
    const QString from =
        QStringLiteral("1.234 Meldungen · 4,0/s · Last 1 % (max 3 %) · ohne Echo 0");
    for (const QString &to :
         {QStringLiteral("1.235 Meldungen · 4,0/s · Last 1 % (max 3 %) · ohne Echo 0"),
          QStringLiteral("1.234 Meldungen · 4,0/s · Last 1 % (max 3 %) · ohne Echo 7"),
          QStringLiteral("1.234 Meldungen · 4,0/s · Last 2 % (max 3 %) · ohne Echo 0")}) {
        Shown changed;
        changed.label->setText(from);
        changed.settle();
        const int width = changed.label->natural_width();
        Painted painted;
        changed.label->installEventFilter(&painted);
        changed.label->setText(to);
        const QImage shown = on_screen(changed.bar);
        changed.label->removeEventFilter(&painted);
        if (changed.label->natural_width() != width)
            continue; // (a font whose digits differ in width: drawn whole, as it should)
        EXPECT_LT(painted.region.boundingRect().width(), changed.label->width() / 4)
            << to.toStdString();
        Shown fresh;
        fresh.label->setText(to);
        fresh.settle();
        EXPECT_EQ(shown, on_screen(fresh.bar)) << to.toStdString();
    }
}

TEST(ShapedLabel, ALargerFontTakesMoreRoom) {
    Shown s;
    s.label->setText(QStringLiteral("342,0/s"));
    s.settle();
    const QSize small = s.label->sizeHint();
    QFont larger = s.label->font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    s.label->setFont(larger);
    s.settle();
    EXPECT_GT(s.label->sizeHint().width(), small.width() * 3 / 2);
    EXPECT_GT(s.label->sizeHint().height(), small.height());
}

} // namespace
} // namespace bl
