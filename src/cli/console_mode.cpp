#include "cli/console_mode.h"

#include "app/bus_access.h"
#include "app/bus_server.h"
#include "app/monitor_core.h"
#include "cli/console_dialogs.h"
#include "cli/decode_command.h"
#include "connection/init_paths.h"
#include "shared/latin1.h"
#include "shared/steady_clock.h"
#include "shared/texts.h"
#include "shared/time_stamp.h"
#include "trace/trace_recording.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#ifndef _WIN32
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace bl {

namespace {

// Each shown line: time stamp, " - ", the text; UTF-8, written at once.
class ConsoleLines : public LineSink {
public:
    void write_line(std::string_view text) override {
        std::string line = current_time_stamp().toStdString();
        line += " - ";
        append_latin1_as_utf8(line, text);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    }
};

#ifndef _WIN32
int interrupt_pipe[2] = {-1, -1};
void on_interrupt(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(interrupt_pipe[1], &byte, 1);
}

// Ctrl-C (and a polite kill) end the event loop, so that everything is
// closed in order.
void quit_on_interrupt(QObject *owner) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, interrupt_pipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(interrupt_pipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner,
                     [] { QCoreApplication::exit(0); });
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
}
// The lines typed on standard input, each byte looked at once; a line
// longer than any message could be is refused, not kept without end.
class TypedLines {
public:
    static constexpr qsizetype kLongestLine = 4096;

    explicit TypedLines(HexTextSender &sender) : sender_(sender) {}
    void take(const char *bytes, qsizetype n) {
        for (qsizetype i = 0; i < n; ++i) {
            const char c = bytes[i];
            if (c == '\n') {
                if (!overlong_)
                    send();
                line_.clear();
                overlong_ = false;
            } else if (!overlong_ && line_.size() >= kLongestLine) {
                overlong_ = true;
                line_.clear();
                std::fprintf(stderr, "bus-lauscher: %s\n",
                             qPrintable(texts::cli::kLineTooLong.arg(kLongestLine)));
            } else if (!overlong_) {
                line_.append(c);
            }
        }
    }

private:
    void send() {
        if (line_.endsWith('\r'))
            line_.chop(1);
        sender_.send_hex_str(QString::fromUtf8(line_));
    }

    HexTextSender &sender_;
    QByteArray line_;
    bool overlong_ = false;
};

// Each line typed on standard input is sent like a send row's text.
void send_typed_lines(QObject *owner, HexTextSender &sender) {
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, owner);
    auto lines = std::make_shared<TypedLines>(sender);
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
void quit_on_interrupt(QObject *) {}
void send_typed_lines(QObject *, HexTextSender &) {}
#endif

// --record: the trace file as the window writes it. A fault ends the
// recording with one line on standard error; the monitoring goes on.
void record_if_asked(bool record, TraceRecording &recording, TraceFile &file, QObject *owner) {
    const auto tell = [](const QString &text) {
        std::fprintf(stderr, "bus-lauscher: %s\n", qPrintable(text.simplified()));
    };
    file.set_on_failure([&recording, tell](const QString &reason) {
        tell(texts::trace::kTraceWriteFailed.arg(recording.path(), reason));
        recording.end_after_failure();
    });
    auto *watch = new QTimer(owner);
    QObject::connect(watch, &QTimer::timeout, owner, [&recording, tell] {
        if (!recording.file_missing())
            return;
        tell(texts::trace::kTraceVanished.arg(recording.path()));
        recording.end_after_failure();
    });
    watch->start(1000);
    if (record)
        recording.toggle();
}

} // namespace

int run_console(int &argc, char **argv, const RunOptions &options) {
    QCoreApplication app(argc, argv);
    // unbuffered, so that lines typed later are not hidden in a buffer
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    ConsoleDialogs dialogs(stdin, stderr, [] {
        std::fprintf(stderr, "bus-lauscher: %s\n", qPrintable(texts::cli::kInputEnded));
        std::exit(1);
    });
    QtEventPump events;
    ElapsedSteadyClock clock;
    BusAccess access =
        options.demo ? simulated_bus_access(options, clock) : serial_port_access(options);
    QTimer timer1;
    timer1.setInterval(100);
    timer1.start();

    DiscardingMonitorArea no_area;
    TraceFile trace_file(current_time_stamp);
    ConsoleLines lines;
    MonitorCore core(std::move(access.ports),
                     CorePlatform{dialogs, events, clock, *access.uart, init_paths},
                     LineOutputs{no_area, trace_file, &lines}, timer1);
    core.on_connection_note(
        [](const QString &note) { std::fprintf(stderr, "bus-lauscher: %s\n", qPrintable(note)); });
    if (!core.startup.run(access.answers))
        return 0;
    TraceRecording recording(core.vars, trace_file, dialogs, &QDateTime::currentDateTime,
                             QLocale::system());
    record_if_asked(options.record, recording, trace_file, &app);
    core.reception.decoder.set_mark_errors(options.mark_errors);
    core.vars.hex_on = options.output.hex_output ? kTrue : kFalse;
    core.vars.ascii_hex_on = options.output.ascii_hex ? kTrue : kFalse;
    if (access.simulated_bus) {
        std::fprintf(stderr, "%s\n", qPrintable(texts::simulation::kDemoStatus));
        access.simulated_bus->start();
    }
    std::unique_ptr<BusServer> server;
    if (!options.serve.isEmpty()) {
        server = std::make_unique<BusServer>(core, options.serve_read_only);
        server->server().on_log([](const QString &what) {
            std::fprintf(stderr, "bus-lauscher: %s\n", qPrintable(what));
        });
        if (const auto reason = server->listen(options.serve)) {
            std::fprintf(stderr, "bus-lauscher: %s\n", qPrintable(*reason));
            return 2;
        }
    }
    send_typed_lines(&app, core.hex_sender);
    quit_on_interrupt(&app);
    const int status = QCoreApplication::exec();
    if (core.comm1.portOpen())
        core.comm1.setPortOpen(false);
    if (options.stats) {
        core.reception.receiver.finish();
        write_bus_report(stderr, core.reception.counts);
    }
    return status;
}

} // namespace bl
