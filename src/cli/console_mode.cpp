#include "cli/console_mode.h"

#include "cli/console_dialogs.h"
#include "connection/init_paths.h"
#include "connection/port_opening.h"
#include "connection/serial_port_control.h"
#include "reception/decoder.h"
#include "reception/receive_entries.h"
#include "shared/latin1.h"
#include "shared/steady_clock.h"
#include "shared/time_stamp.h"
#include "window/error_report.h"

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
class ConsoleLines : public TraceSink {
public:
    void write_record(std::string_view text) override {
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
#else
void quit_on_interrupt(QObject *) {}
#endif

} // namespace

int run_console(int &argc, char **argv, const CommandLine &cl) {
    QCoreApplication app(argc, argv);
    ModVariablen vars;
    SerialPortControl comm1;
    ConsoleDialogs dialogs(stdin, stderr, [] {
        std::fputs("bus-lauscher: keine Eingabe mehr, Programmende\n", stderr);
        std::exit(1);
    });
    QtEventPump events;
    ElapsedSteadyClock clock;
    DirectUartRate uart([] { return open_dev_port(); },
                        [&comm1](int baud) { return comm1.setCustomBaudRate(baud); });
    QTimer timer1;
    timer1.setInterval(100);
    timer1.start();

    DiscardingMonitorArea no_area;
    ConsoleLines lines;
    MessageDecoder decoder(vars, no_area, lines);
    Receiver receiver(vars, [&decoder] { decoder.decode_ln_mes(); });
    ErrorReport error_report(vars, comm1, dialogs, events);
    ReceiveEntries entries(comm1, receiver, dialogs, error_report);
    QObject::connect(&timer1, &QTimer::timeout, &app, [&entries] { entries.on_tick(); });
    comm1.setOnComm([&entries] { entries.on_comm(); });
    comm1.setOnFailure([&error_report](const RuntimeError &e) { error_report.report_error(e); });

    PortOpening opening(vars, comm1, dialogs, events, clock, uart,
                        [&timer1](bool on) { on ? timer1.start() : timer1.stop(); });
    StartupDialogue startup(vars, comm1, dialogs, opening, [] { return init_paths(); });
    if (!startup.run(cl.answers))
        return 0;
    vars.hex_on = cl.decode.hex_output ? kTrue : kFalse;
    vars.ascii_hex_on = cl.decode.ascii_hex ? kTrue : kFalse;
    // the lines are the trace records, on standard output
    vars.trace_on = kTrue;
    vars.trace_name = QStringLiteral("stdout");

    quit_on_interrupt(&app);
    const int status = QCoreApplication::exec();
    if (comm1.portOpen())
        comm1.setPortOpen(false);
    return status;
}

} // namespace bl
