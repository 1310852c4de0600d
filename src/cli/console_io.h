// The console monitor's terminal: the lines it prints, the hex lines typed
// on standard input, and the signals that end it.
#pragma once

#include "reception/line_sink.h"

#include <QObject>
#include <deque>
#include <functional>

namespace bl {

// Each shown line: time stamp, " - ", the text; UTF-8, written at once.
// Output that cannot be written (a full disk, a closed pipe) is told once
// through the handler.
class ConsoleLines : public LineSink {
public:
    explicit ConsoleLines(std::function<void(int errnum)> failed) : failed_(std::move(failed)) {}
    void write_line(std::string_view text) override;

private:
    std::function<void(int)> failed_;
    bool ok_ = true;
};

// The lines typed on standard input, each sent like a send row's text, one
// per pass of the event loop, so that a request to end is heard between
// them; a line longer than any message could be is refused, not kept
// without end.
class TypedLines : public QObject {
public:
    static constexpr qsizetype kLongestLine = 4096;

    using Send = std::function<void(const QString &)>;
    // Whether a line can go now; where not (an interface unplugged), the
    // lines waiting are dropped with one report, not one error each.
    using Ready = std::function<bool()>;
    TypedLines(
        Send send, QObject *parent, Ready ready = [] { return true; });
    void take(const char *bytes, qsizetype n);

private:
    void send_next();

    Send send_;
    Ready ready_;
    QByteArray line_;
    bool overlong_ = false;
    std::deque<QString> waiting_;
    bool scheduled_ = false;
};

// Ctrl-C, a polite kill and a hang-up ask the program to end (the flag of
// shared/interruption.h) and cut short the read or write that waits for
// them, so that a program without an event loop (the decoder, the start-up
// questions) ends at once.
void interrupt_on_signals();

// Reads standard input into the typed lines while the event loop runs.
void send_typed_lines(QObject *owner, TypedLines::Send send, TypedLines::Ready ready);

// Ctrl-C, a polite kill and a hang-up end the event loop (so that
// everything is closed in order and the counts are reported), and every
// wait gives up at once. A closed pipe on standard output is told as an
// error, not a silent death.
void end_on_signals(QObject *owner);

} // namespace bl
