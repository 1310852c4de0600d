// What the program's logic needs of the platform besides the serial port:
// modal boxes, event processing and a steady clock. The window wires Qt to
// these; tests and the console front end wire their own.
#pragma once

#include <QString>
#include <optional>

namespace bl {

enum class MsgIcon { None, Critical, Exclamation };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgResult message_box(const QString &text, const QString &title, MsgIcon icon,
                                  MsgButtons buttons) = 0;
    // nullopt when the box is cancelled
    virtual std::optional<QString> input_box(const QString &prompt, const QString &title,
                                             const QString &default_text) = 0;
};

// Boxes that say nothing and answer No: for attempts whose failure is no news.
class QuietDialogs : public Dialogs {
public:
    MsgResult message_box(const QString &, const QString &, MsgIcon, MsgButtons buttons) override {
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
    }
    std::optional<QString> input_box(const QString &, const QString &, const QString &) override {
        return std::nullopt;
    }
};

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void process_events() = 0;
};

// Seconds with a fraction, never going back (waits and time-outs).
class SteadyClock {
public:
    virtual ~SteadyClock() = default;
    virtual double seconds() = 0;
};

} // namespace bl
