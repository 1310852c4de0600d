#include "cli/console_io.h"

#include "loconet/latin1.h"
#include "shared/interruption.h"
#include "shared/say.h"
#include "shared/texts.h"
#include "shared/time_stamp.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>

#ifndef _WIN32
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace bl {

void ConsoleLines::write_line(std::string_view text) {
    if (!ok_)
        return;
    std::string line = current_time_stamp().toStdString();
    line += " - ";
    append_latin1_as_utf8(line, text);
    line += '\n';
    errno = 0;
    if (std::fwrite(line.data(), 1, line.size(), stdout) == line.size() && std::fflush(stdout) == 0)
        return;
    ok_ = false;
    if (failed_)
        failed_(errno ? errno : EIO);
}

TypedLines::TypedLines(Send send, QObject *parent, Ready ready)
    : QObject(parent), send_(std::move(send)), ready_(std::move(ready)) {}

void TypedLines::take(const char *bytes, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            if (!overlong_) {
                if (line_.endsWith('\r'))
                    line_.chop(1);
                waiting_.push_back(QString::fromUtf8(line_));
            }
            line_.clear();
            overlong_ = false;
        } else if (!overlong_ && line_.size() >= kLongestLine) {
            overlong_ = true;
            line_.clear();
            say(texts::cli::kLineTooLong.arg(kLongestLine));
        } else if (!overlong_) {
            line_.append(c);
        }
    }
    if (!waiting_.empty() && !scheduled_) {
        scheduled_ = true;
        QTimer::singleShot(0, this, [this] { send_next(); });
    }
}

void TypedLines::send_next() {
    scheduled_ = false;
    if (waiting_.empty() || interruption::requested())
        return;
    if (!ready_()) {
        say(texts::cli::kTypedLinesDropped.arg(waiting_.size()));
        waiting_.clear();
        return;
    }
    const QString line = waiting_.front();
    waiting_.pop_front();
    send_(line);
    if (!waiting_.empty()) {
        scheduled_ = true;
        QTimer::singleShot(0, this, [this] { send_next(); });
    }
}

#ifndef _WIN32
namespace {
int signal_pipe[2] = {-1, -1};
void on_signal(int sig) {
    if (interruption::end_at_once)
        ::_exit(128 + sig);
    interruption::request(sig);
    if (signal_pipe[1] < 0)
        return;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signal_pipe[1], &byte, 1);
}
// Without SA_RESTART: a read that waits for the user gives up with EINTR.
void handle_ending_signals() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &action, nullptr);
}
} // namespace

void interrupt_on_signals() {
    std::signal(SIGPIPE, SIG_IGN);
    handle_ending_signals();
}

void end_on_signals(QObject *owner) {
    std::signal(SIGPIPE, SIG_IGN);
    if (signal_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signal_pipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner,
                     [] { QCoreApplication::exit(0); });
    handle_ending_signals();
    // a signal that came before the loop was there ends it at once
    if (interruption::requested())
        QTimer::singleShot(0, owner, [] { QCoreApplication::exit(0); });
}

void send_typed_lines(QObject *owner, TypedLines::Send send, TypedLines::Ready ready) {
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, owner);
    auto *lines = new TypedLines(std::move(send), owner, std::move(ready));
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [notifier, lines] {
        char buf[65536];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            notifier->setEnabled(false); // the input has ended; the monitor goes on
            return;
        }
        lines->take(buf, n);
    });
}
#else
void interrupt_on_signals() {}
void end_on_signals(QObject *) {}
void send_typed_lines(QObject *, TypedLines::Send, TypedLines::Ready) {}
#endif

} // namespace bl
