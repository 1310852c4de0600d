#include "cli/console_mode.h"

#include "cli/console_dialogs.h"
#include "connection/init_paths.h"
#include "connection/port_opening.h"
#include "connection/serial_port_control.h"
#include "reception/decoder.h"
#include "reception/receive_entries.h"
#include "sending/hex_text.h"
#include "shared/latin1.h"
#include "shared/steady_clock.h"
#include "shared/time_stamp.h"
#include "simulation/demo.h"
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

int run_console(int &argc, char **argv, const CommandLine &cl) {
    QCoreApplication app(argc, argv);
    // unbuffered, so that lines typed later are not hidden in a buffer
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    ModVariablen vars;
    ConsoleDialogs dialogs(stdin, stderr, [] {
        std::fputs("bus-lauscher: keine Eingabe mehr, Programmende\n", stderr);
        std::exit(1);
    });
    QtEventPump events;
    ElapsedSteadyClock clock;

    // the port: a real one, or the simulated bus with its questions answered
    sim::Demo demo;
    std::unique_ptr<SerialPortControl> real_port;
    std::unique_ptr<UartRate> real_uart;
    SerialControl *comm = nullptr;
    UartRate *uart = nullptr;
    StartupAnswers answers = cl.answers;
    if (cl.demo) {
        demo = sim::make_demo(cl.demo_rate, cl.answers.kind);
        comm = demo.interface.get();
        uart = demo.uart.get();
        answers = demo.answers;
    } else {
        real_port = std::make_unique<SerialPortControl>();
        SerialPortControl *port = real_port.get();
        real_uart = std::make_unique<DirectUartRate>(
            [] { return open_dev_port(); },
            [port](int baud) { return port->setCustomBaudRate(baud); });
        comm = port;
        uart = real_uart.get();
    }
    QTimer timer1;
    timer1.setInterval(100);
    timer1.start();

    DiscardingMonitorArea no_area;
    ConsoleLines lines;
    MessageDecoder decoder(vars, no_area, lines);
    Receiver receiver(vars, [&decoder] { decoder.decode_ln_mes(); });
    ErrorReport error_report(vars, *comm, dialogs, events);
    ReceiveEntries entries(*comm, receiver, dialogs, error_report);
    QObject::connect(&timer1, &QTimer::timeout, &app, [&entries] { entries.on_tick(); });
    comm->setOnComm([&entries] { entries.on_comm(); });
    if (real_port)
        real_port->setOnFailure(
            [&error_report](const RuntimeError &e) { error_report.report_error(e); });

    PortOpening opening(vars, *comm, dialogs, events, clock, *uart,
                        [&timer1](bool on) { on ? timer1.start() : timer1.stop(); });
    StartupDialogue startup(vars, *comm, dialogs, opening, [] { return init_paths(); });
    if (!startup.run(answers))
        return 0;
    vars.hex_on = cl.decode.hex_output ? kTrue : kFalse;
    vars.ascii_hex_on = cl.decode.ascii_hex ? kTrue : kFalse;
    // the lines are the trace records, on standard output
    vars.trace_on = kTrue;
    vars.trace_name = QStringLiteral("stdout");
    if (cl.demo) {
        std::fprintf(stderr, "%s\n", qPrintable(sim::kDemoStatus));
        demo.bus->start();
    }

    Transmitter transmitter(vars, *comm, dialogs, events, clock);
    HexTextSender sender(vars, transmitter, dialogs);
    send_typed_lines(&app, sender);
    quit_on_interrupt(&app);
    const int status = QCoreApplication::exec();
    if (comm->portOpen())
        comm->setPortOpen(false);
    return status;
}

} // namespace bl
