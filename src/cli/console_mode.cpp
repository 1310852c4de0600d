#include "cli/console_mode.h"

#include "app/bus_access.h"
#include "app/monitor_core.h"
#include "cli/console_dialogs.h"
#include "cli/decode_command.h"
#include "connection/init_paths.h"
#include "shared/latin1.h"
#include "shared/steady_clock.h"
#include "shared/texts.h"
#include "shared/time_stamp.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>

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
// Each line typed on standard input is sent like a send row's text.
void send_typed_lines(QObject *owner, HexTextSender &sender) {
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, owner);
    auto *pending = new QByteArray;
    QObject::connect(notifier, &QObject::destroyed, [pending] { delete pending; });
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [notifier, pending, &sender] {
        char buf[1024];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            notifier->setEnabled(false); // the input has ended; the monitor goes on
            return;
        }
        pending->append(buf, n);
        qsizetype end;
        while ((end = pending->indexOf('\n')) >= 0) {
            QByteArray line = pending->left(end);
            pending->remove(0, end + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            sender.send_hex_str(QString::fromUtf8(line));
        }
    });
}
#else
void quit_on_interrupt(QObject *) {}
void send_typed_lines(QObject *, HexTextSender &) {}
#endif

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
    NoLines no_trace;
    ConsoleLines lines;
    MonitorCore core(std::move(access.port),
                     CorePlatform{dialogs, events, clock, *access.uart, init_paths},
                     LineOutputs{no_area, no_trace, &lines}, timer1);
    if (!core.startup.run(access.answers))
        return 0;
    core.reception.decoder.set_mark_errors(options.mark_errors);
    core.vars.hex_on = options.output.hex_output ? kTrue : kFalse;
    core.vars.ascii_hex_on = options.output.ascii_hex ? kTrue : kFalse;
    if (access.simulated_bus) {
        std::fprintf(stderr, "%s\n", qPrintable(texts::simulation::kDemoStatus));
        access.simulated_bus->start();
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
