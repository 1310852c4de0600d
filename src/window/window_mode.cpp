#include "window/window_mode.h"

#include "connection/init_paths.h"
#include "connection/replay_port.h"
#include "connection/serial_port_control.h"
#include "simulation/demo.h"
#include "window/monitor_app.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>

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

// What the command line asks of the window once it is shown.
void after_show(MonitorApp &app, const CommandLine &cl) {
    if (cl.exit_after_first_paint)
        app.window().installEventFilter(new ExitAfterFirstPaint(&app.window()));
    if (cl.output_modes_given)
        app.set_output_modes(cl.decode.hex_output, cl.decode.ascii_hex);
    if (cl.record)
        app.toggle_recording();
}

// Shows a capture as if it arrived from a USB interface: every waiting byte
// per read, through the receive event.
int run_replay(const CommandLine &cl, std::unique_ptr<QFile> capture) {
    auto port = std::make_unique<ReplayPort>(std::move(capture));
    ReplayPort &replay = *port;
    MonitorApp::Platform platform;
    platform.comm = std::move(port);
    MonitorApp app(std::move(platform));
    app.vars().doc_path = init_paths();
    app.start_monitor();
    app.window().show();
    after_show(app, cl);
    app.window().Timer1->stop();
    if (cl.exit_after_replay)
        replay.setOnFinished([&app] {
            app.window().rtbMoni->refresh_view();
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        });
    replay.setInputLen(0);
    replay.setRThreshold(1);
    replay.setPortOpen(true);
    return QCoreApplication::exec();
}

// The window on the simulated bus: the start-up questions are answered,
// the status bar says that the bus is simulated.
int run_demo(const CommandLine &cl) {
    sim::Demo demo = sim::make_demo(cl.demo_rate, cl.answers.kind);
    MonitorApp::Platform platform;
    platform.comm = std::move(demo.interface);
    platform.uart = std::move(demo.uart);
    MonitorApp app(std::move(platform));
    app.window().StatusPanel->setText(sim::kDemoStatus);
    app.window().show();
    if (!app.run_startup(demo.answers))
        return 0;
    after_show(app, cl);
    demo.bus->start();
    return QCoreApplication::exec();
}

// The window on a real serial port, after the start-up dialogue.
int run_on_port(const CommandLine &cl) {
    auto port = std::make_unique<SerialPortControl>();
    SerialPortControl &comm1 = *port;
    MonitorApp::Platform platform;
    platform.comm = std::move(port);
    platform.uart = std::make_unique<DirectUartRate>(
        [] { return open_dev_port(); },
        [&comm1](int baud) { return comm1.setCustomBaudRate(baud); });
    MonitorApp app(std::move(platform));
    // an interface unplugged under way is told once; the window stays
    comm1.setOnFailure([&app](const RuntimeError &e) { app.error_reporter().report_error(e); });
    if (!app.run_startup(cl.answers))
        return 0;
    app.window().show();
    after_show(app, cl);
    return QCoreApplication::exec();
}

} // namespace

int run_window(int &argc, char **argv, const CommandLine &cl) {
    auto capture = std::make_unique<QFile>(cl.replay_file);
    if (!cl.replay_file.isEmpty() && !capture->open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bus-lauscher: Datei nicht lesbar: %s (%s)\n",
                     qPrintable(cl.replay_file), qPrintable(capture->errorString()));
        return 2;
    }
    QApplication qt_app(argc, argv);
    if (cl.demo)
        return run_demo(cl);
    return cl.replay_file.isEmpty() ? run_on_port(cl) : run_replay(cl, std::move(capture));
}

} // namespace bl
