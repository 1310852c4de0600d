// A text cursor stops blinking after a few seconds without typing or a
// click, and blinks again at the next one, as Windows and GNOME do with
// theirs. A monitor is left running for days with the cursor in a send row:
// each blink draws the row and the frame around it anew, a fifth of what the
// window costs on a quiet bus. Stopped, the cursor stays shown.
#pragma once

#include <QObject>
#include <QTimer>

namespace bl {

class CursorBlinkTimeout : public QObject {
public:
    static constexpr int kQuietMs = 5000; // as Windows' caret timeout

    // Watches the whole application's keyboard and mouse.
    explicit CursorBlinkTimeout(int quiet_ms = kQuietMs, QObject *parent = nullptr);
    // The platform's blinking again, for whatever comes after.
    ~CursorBlinkTimeout() override;

    bool blinking() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stop_blinking();

    int flash_ms_; // the platform's blink period
    QTimer quiet_;
};

} // namespace bl
