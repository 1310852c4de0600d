#include "window/window_mode.h"

#include "app/bus_access.h"
#include "app/bus_server.h"
#include "app/finding_report.h"
#include "app/json_lines.h"
#include "app/state_report.h"
#include "capture/capture_device.h"
#include "capture/pcapng_file.h"
#include "connection/init_paths.h"
#include "shared/file_names.h"
#include "shared/say.h"
#include "shared/system_reason.h"
#include "shared/texts.h"
#include "window/cursor_blink_timeout.h"
#include "window/monitor_app.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bl {

namespace {

// Ends the program right after the window's first paint.
class ExitAfterFirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool done_ = false;
};

constexpr int kNoDisplayStatus = 2;
QtMessageHandler qt_handler = nullptr;

// Where no display can be opened, Qt ends the program with advice to
// reinstall it. The user is told in one line what does work instead.
void tell_when_no_display(QtMsgType type, const QMessageLogContext &context,
                          const QString &message) {
    if (type == QtFatalMsg) {
        say(texts::window::kNoDisplay);
        std::_Exit(kNoDisplayStatus);
    }
    // the platform plugin's own complaints are summed up in that line
    if (context.category && std::strncmp(context.category, "qt.qpa.", 7) == 0)
        return;
    qt_handler(type, context, message);
}

MonitorApp::Platform platform_for(BusAccess &access, const RunOptions &options) {
    MonitorApp::Platform platform;
    platform.history_limit = options.history;
    platform.ports = std::move(access.ports);
    platform.uart = std::move(access.uart);
    return platform;
}

// --serve: the window's bus shared over TCP; what happens to the clients
// shows in the status bar.
std::unique_ptr<BusServer> serve_if_asked(MonitorApp &app, const RunOptions &options) {
    if (options.serve.isEmpty())
        return nullptr;
    QLabel *panel = app.window().StatusPanel;
    auto server =
        std::make_unique<BusServer>(app.core(), options.serve, options.serve_read_only,
                                    [panel](const QString &what) { panel->setText(what); });
    if (!server->listening()) {
        QMessageBox::warning(&app.window(), texts::window::kWindowCaption, server->reason());
        return nullptr;
    }
    return server;
}

// What the command line asks of the window once it is shown.
// --pcap: the recording runs from the start; a file that cannot be made is
// told, and the window goes on without it.
void record_pcap_if_asked(MonitorApp &app, const RunOptions &options) {
    if (options.pcap_file.isEmpty())
        return;
    if (const auto reason = app.start_pcap(options.pcap_file))
        QMessageBox::warning(&app.window(), texts::window::kWindowCaption,
                             texts::capture::kNotCreated.arg(options.pcap_file, *reason));
}

void after_show(MonitorApp &app, const RunOptions &options) {
    app.core().set_mark_errors(options.mark_errors);
    app.core().set_filter(filter_of(options));
    if (options.exit_after_first_paint)
        app.window().installEventFilter(new ExitAfterFirstPaint(&app.window()));
    if (options.output_modes_given)
        app.set_output_modes(options.output);
    if (options.record)
        app.toggle_recording();
    record_pcap_if_asked(app, options);
    if (const auto reason = app.start_long_recordings(options))
        QMessageBox::warning(&app.window(), texts::window::kWindowCaption, *reason);
    if (options.analyse) {
        HistoryWindow &history = app.show_history();
        history.filterEdit->setText(options.filter);
        history.apply_filter();
    }
    if (options.anlage)
        app.show_layout();
    if (options.befunde)
        app.show_findings();
}

// Shows a capture as if it arrived from a USB interface: every waiting byte
// per read, through the receive event.
int run_replay(const RunOptions &options, std::unique_ptr<QIODevice> capture) {
    auto *replayed_capture = dynamic_cast<capture::CaptureDevice *>(capture.get());
    BusAccess access = replay_access(std::move(capture));
    MonitorApp app(platform_for(access, options));
    // a recording's messages keep the time and direction they were recorded with
    if (replayed_capture)
        app.core().set_stamp([replayed_capture] {
            const capture::CaptureDevice::Current &at = replayed_capture->current();
            return MessageStamp{at.time_us, at.time_us * 1000, at.outbound};
        });
    else // raw bytes carry no time of their own: they come as fast as they are read
        app.core().findings().set_timeless(true);
    app.vars().doc_path = init_paths();
    app.set_pcap_interface(options.replay_file, texts::capture::kReplayed);
    // --json: the objects on standard output while the window shows the lines
    std::optional<JsonLines> json;
    if (options.json && !options.findings)
        json.emplace(app.core().receiver(), app.core().context(), stdout, filter_of(options),
                     false);
    // --findings: each on standard output as it is found
    bool findings_cut = false;
    if (options.findings)
        app.core().findings().on_found([&options, &findings_cut](const loconet::Finding &f) {
            const std::string line = (options.json ? finding_json(f) : finding_line(f)) + "\n";
            if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size() ||
                std::fflush(stdout) != 0)
                findings_cut = true;
        });
    app.start_monitor();
    app.window().show();
    after_show(app, options);
    app.window().Timer1->stop();
    // what the recording held that could not be shown is told when it ends
    access.replay->on_finished([&app, replayed_capture, &options, &json, &findings_cut] {
        app.window().rtbMoni->refresh_view();
        if (HistoryWindow *history = app.history_window())
            history->refresh();
        int status = 0;
        if (json && !json->flush())
            status = 1;
        if (options.findings) {
            app.core().findings().finish();
            if (app.core().findings().untimed())
                say(texts::cli::kUntimed);
            if (findings_cut)
                status = 1;
        }
        if (options.state) { // the layout after the last message, or after message N
            std::optional<loconet::LayoutState> state = app.timeline().live();
            if (options.state_at != 0) {
                const auto position = app.history().position_of(options.state_at);
                state = position ? app.timeline().at(*position) : std::nullopt;
            }
            const auto f = filter_of(options);
            const filter::Filter *chosen = f ? &*f : nullptr;
            const std::string text = !state         ? std::string()
                                     : options.json ? state_json(*state, chosen) + "\n"
                                                    : state_text(*state, chosen);
            if (!state) {
                say(texts::cli::kMessageGone.arg(options.state_at));
                status = 1;
            } else if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
                       std::fflush(stdout) != 0) {
                status = 1;
            }
        }
        if (replayed_capture) {
            if (const auto &problem = replayed_capture->problem())
                say(capture::read_problem_text(*problem));
            else if (replayed_capture->passed_over() > 0)
                say(texts::capture::kPassedOver.arg(replayed_capture->passed_over()));
            status = std::max(status, capture::read_problem_status(replayed_capture->problem()));
        }
        if (options.exit_after_replay)
            QTimer::singleShot(0, qApp, [status] { QCoreApplication::exit(status); });
    });
    app.core().open_without_questions();
    return QCoreApplication::exec();
}

// The window on the simulated bus: the start-up questions are answered,
// the status bar says that the bus is simulated.
int run_demo(const RunOptions &options) {
    ElapsedSteadyClock clock;
    BusAccess access = simulated_bus_access(options, clock);
    MonitorApp app(platform_for(access, options));
    app.set_pcap_interface(QStringLiteral("demo"), texts::capture::kSimulated);
    // beside the bus's health only the short form fits; the whole note is its tip
    app.window().StatusPanel->setText(texts::simulation::kDemoStatusShort);
    app.window().StatusPanel->setToolTip(texts::simulation::kDemoStatus);
    app.window().show();
    if (!app.run_startup(access.answers))
        return 0;
    after_show(app, options);
    const auto server = serve_if_asked(app, options);
    access.simulated_bus->start();
    return QCoreApplication::exec();
}

// The window on a real serial port, after the start-up dialogue.
int run_on_port(const RunOptions &options) {
    BusAccess access = serial_port_access(options);
    MonitorApp app(platform_for(access, options));
    if (!app.run_startup(access.answers))
        return 0;
    app.window().show();
    after_show(app, options);
    const auto server = serve_if_asked(app, options);
    return QCoreApplication::exec();
}

} // namespace

int run_window(int &argc, char **argv, const RunOptions &options) {
    auto capture = std::make_unique<QFile>();
    if (!options.replay_file.isEmpty()) {
        std::FILE *file = open_for_reading(options.replay_file);
        if (!file || !capture->open(file, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            say(texts::cli::kUnreadableFile.arg(options.replay_file, german_reason(errno)));
            return 2;
        }
    }
    qt_handler = qInstallMessageHandler(tell_when_no_display);
    QApplication qt_app(argc, argv);
    qInstallMessageHandler(qt_handler);
    // Qt's own dialogs and menus (a file dialog, a text field's menu) in German
    QTranslator qt_german;
    if (qt_german.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt_german);
    // Wayland matches the window to the desktop entry (and its icon) by this
    QGuiApplication::setDesktopFileName(QStringLiteral(BUSLAUSCHER_APP_ID));
    const CursorBlinkTimeout blink_timeout;
    if (options.demo)
        return run_demo(options);
    if (options.replay_file.isEmpty())
        return run_on_port(options);
    // a pcap or pcapng capture is shown by its packets' bytes
    std::unique_ptr<QIODevice> replayed = std::move(capture);
    if (capture::format_of(capture::peek_start(*replayed, 4).toStdString()) !=
        capture::Format::Raw) {
        if (const auto problem = capture::first_problem(*replayed)) {
            say(capture::read_problem_text(*problem));
            return 2;
        }
        replayed = std::make_unique<capture::CaptureDevice>(std::move(replayed));
    }
    return run_replay(options, std::move(replayed));
}

} // namespace bl
