#include "window/cursor_blink_timeout.h"

#include "support/event_count.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace bl {
namespace {

// How often `field` is drawn in `ms` milliseconds.
int paints_within(QLineEdit &field, int ms) {
    testing::EventCount paints(QEvent::Paint);
    field.installEventFilter(&paints);
    QTest::qWait(ms);
    field.removeEventFilter(&paints);
    return paints.count;
}

// Whether the text cursor stands in the field: a dark line where it is.
bool cursor_shown(QLineEdit &field) {
    const QRect at = field.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QImage image = field.grab().toImage();
    for (int x = at.left(); x <= at.right() + 1; ++x) {
        int dark = 0;
        for (int y = at.top(); y <= at.bottom(); ++y)
            dark += qGray(image.pixel(x, y)) < 100;
        if (dark > at.height() / 2)
            return true;
    }
    return false;
}

TEST(CursorBlinkTimeout, TheCursorRestsAfterAQuietSpellAndBlinksAgainAtAKey) {
    QStyleHints *hints = QGuiApplication::styleHints();
    const int platform = hints->cursorFlashTime();
    hints->setCursorFlashTime(200); // a blink every 100 ms, for a short test
    {
        QWidget window;
        auto *field = new QLineEdit(&window);
        (new QVBoxLayout(&window))->addWidget(field);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus();
        CursorBlinkTimeout timeout(600);
        EXPECT_TRUE(timeout.blinking());
        EXPECT_GE(paints_within(*field, 400), 2) << "blinking while the user is about";
        ASSERT_TRUE(QTest::qWaitFor([&] { return !timeout.blinking(); }, 1000));
        QCoreApplication::processEvents();
        EXPECT_EQ(paints_within(*field, 400), 0) << "at rest, the field is not drawn";
        EXPECT_TRUE(cursor_shown(*field)) << "and its cursor stays shown";
        QTest::keyClick(field, Qt::Key_A);
        EXPECT_TRUE(timeout.blinking()) << "a key wakes it";
        QCoreApplication::processEvents();
        EXPECT_GE(paints_within(*field, 400), 2);
        EXPECT_EQ(field->text(), QStringLiteral("a")) << "the key still reaches the field";
        ASSERT_TRUE(QTest::qWaitFor([&] { return !timeout.blinking(); }, 1000));
        QTest::mouseClick(field, Qt::LeftButton);
        EXPECT_TRUE(timeout.blinking()) << "and so does a click";
        ASSERT_TRUE(QTest::qWaitFor([&] { return !timeout.blinking(); }, 1000));
    }
    EXPECT_EQ(hints->cursorFlashTime(), 200) << "gone, it leaves the blinking as it found it";
    hints->setCursorFlashTime(platform);
}

} // namespace
} // namespace bl
