#include "window/cursor_blink_timeout.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

namespace bl {

CursorBlinkTimeout::CursorBlinkTimeout(int quiet_ms, QObject *parent)
    : QObject(parent), flash_ms_(QGuiApplication::styleHints()->cursorFlashTime()) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(quiet_ms);
    connect(&quiet_, &QTimer::timeout, this, [this] { stop_blinking(); });
    qApp->installEventFilter(this);
    quiet_.start();
}

CursorBlinkTimeout::~CursorBlinkTimeout() {
    qApp->removeEventFilter(this);
    QGuiApplication::styleHints()->setCursorFlashTime(flash_ms_);
}

bool CursorBlinkTimeout::blinking() const {
    return QGuiApplication::styleHints()->cursorFlashTime() != 0;
}

// A text field reads the period anew when it changes: 0 leaves its cursor
// shown without a timer.
void CursorBlinkTimeout::stop_blinking() { QGuiApplication::styleHints()->setCursorFlashTime(0); }

bool CursorBlinkTimeout::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
        quiet_.start();
        if (!blinking())
            QGuiApplication::styleHints()->setCursorFlashTime(flash_ms_);
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace bl
