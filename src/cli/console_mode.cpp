#include "cli/console_mode.h"

#include "app/bus_access.h"
#include "app/bus_server.h"
#include "app/finding_report.h"
#include "app/json_lines.h"
#include "app/long_recordings.h"
#include "app/monitor_core.h"
#include "cli/console_dialogs.h"
#include "cli/console_io.h"
#include "cli/decode_command.h"
#include "connection/init_paths.h"
#include "shared/interruption.h"
#include "shared/say.h"
#include "shared/steady_clock.h"
#include "shared/system_reason.h"
#include "shared/texts.h"
#include "shared/time_stamp.h"
#include "trace/trace_recording.h"

#include <QCoreApplication>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>

namespace bl {

namespace {

// --record: the trace file as the window writes it. A fault ends the
// recording with one line on standard error; the monitoring goes on.
void record_if_asked(bool record, TraceRecording &recording, TraceFile &file, QObject *owner) {
    const auto tell = [](const QString &text) { say(text.simplified()); };
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
    ConsoleDialogs dialogs(stdin, stderr);
    QtEventPump events;
    ElapsedSteadyClock clock;
    BusAccess access = bus_access(options, clock);
    QTimer timer1;
    timer1.setInterval(100);
    timer1.start();

    DiscardingMonitorArea no_area;
    TraceFile trace_file(current_time_stamp);
    int output_error = 0;
    ConsoleLines lines([&output_error](int errnum) {
        output_error = errnum;
        QCoreApplication::exit(1);
    });
    // with --json the objects take the lines' place on standard output
    MonitorCore core(
        std::move(access.ports), CorePlatform{dialogs, events, clock, *access.uart, init_paths},
        LineOutputs{no_area, trace_file, options.json || options.findings ? nullptr : &lines},
        timer1);
    core.on_connection_note([](const QString &note) { say(note); });
    end_on_signals(&app);
    // nothing is recorded during the start-up: a signal ends it on the spot
    interruption::end_at_once = 1;
    try {
        if (!core.start(access.answers))
            return 0;
    } catch (const ConsoleDialogs::InputEnded &) {
        // nobody is left to answer: the program ends as if the window were closed
        say(texts::cli::kInputEnded);
        return 1;
    } catch (const ConsoleDialogs::Interrupted &) {
        return interruption::status_of_signal();
    }
    interruption::end_at_once = 0;
    // a signal during the opening (no question waited): ended now
    if (interruption::requested())
        return interruption::status_of_signal();
    TraceRecording recording(core.vars(), trace_file, dialogs, &QDateTime::currentDateTime,
                             QLocale::system());
    record_if_asked(options.record, recording, trace_file, &app);
    core.set_mark_errors(options.mark_errors && !options.json);
    std::optional<JsonLines> json;
    if (options.findings) // each as it is found, instead of the lines
        core.findings().on_found([&options, &output_error](const loconet::Finding &f) {
            const std::string line = (options.json ? finding_json(f) : finding_line(f)) + "\n";
            if ((std::fwrite(line.data(), 1, line.size(), stdout) != line.size() ||
                 std::fflush(stdout) != 0) &&
                output_error == 0) {
                output_error = errno != 0 ? errno : EIO;
                QCoreApplication::exit(1);
            }
        });
    QTimer findings_tick; // requests overdue while the bus is quiet
    if (options.findings) {
        QObject::connect(&findings_tick, &QTimer::timeout, &app, [&core] { core.tick_findings(); });
        findings_tick.start(1000);
    }
    if (options.json && !options.findings)
        json.emplace(core.receiver(), core.context(), stdout, filter_of(options), true);
    else
        core.set_filter(filter_of(options));
    core.set_output_modes(options.output);
    if (!options.pcap_file.isEmpty()) {
        const QString name = access.simulated_bus ? QStringLiteral("demo") : core.interface_name();
        const QString kind =
            access.simulated_bus ? texts::capture::kSimulated : core.interface_description();
        if (const auto reason = core.pcap().start(options.pcap_file, name, kind)) {
            say(texts::capture::kNotCreated.arg(options.pcap_file, *reason));
            return 2;
        }
        core.pcap().set_on_failure([&options](const QString &reason) {
            say(texts::capture::kWriteFailed.arg(options.pcap_file, reason));
        });
    }
    // the ring and the event files, their news on standard error
    LongRecordings long_recordings;
    if (!options.ring.isEmpty() || !options.trigger.isEmpty()) {
        const QString name = access.simulated_bus ? QStringLiteral("demo") : core.interface_name();
        const QString kind =
            access.simulated_bus ? texts::capture::kSimulated : core.interface_description();
        if (const auto reason = long_recordings.start(core, options, name, kind, init_paths(),
                                                      [](const QString &note) { say(note); })) {
            say(*reason);
            return 2;
        }
    }
    QTimer long_tick;
    QObject::connect(&long_tick, &QTimer::timeout, &app, [&long_recordings, &clock] {
        long_recordings.tick(static_cast<std::int64_t>(clock.seconds() * 1e9));
    });
    long_tick.start(1000);
    if (access.simulated_bus) {
        std::fprintf(stderr, "%s\n", qPrintable(texts::simulation::kDemoStatus));
        access.simulated_bus->start();
    }
    std::unique_ptr<BusServer> server;
    if (!options.serve.isEmpty()) {
        server = std::make_unique<BusServer>(core, options.serve, options.serve_read_only,
                                             [](const QString &what) { say(what); });
        if (!server->listening()) {
            say(server->reason());
            return 2;
        }
    }
    send_typed_lines(
        &app, [&core](const QString &line) { core.send_hex(line); },
        [&core] { return core.port_open(); });
    const int status = QCoreApplication::exec();
    long_recordings.finish();
    core.close_port();
    if (options.stats) {
        core.finish();
        write_bus_report(stderr, core.counts());
    }
    if (json && !json->flush() && output_error == 0)
        output_error = EIO;
    if (output_error != 0) {
        say(texts::cli::kUnwritableOutput.arg(german_reason(output_error)));
        return 1;
    }
    return status;
}

} // namespace bl
