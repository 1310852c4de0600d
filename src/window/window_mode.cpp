#include "window/window_mode.h"

#include "connection/init_paths.h"
#include "connection/replay_port.h"
#include "window/monitor_app.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace bl {

namespace {

// Shows a capture as if it arrived from a USB interface: every waiting byte
// per read, through the receive event.
void start_replay(MonitorApp &app, ReplayPort &port, bool exit_when_shown) {
    app.window().Timer1->stop();
    if (exit_when_shown)
        port.setOnFinished([&app] {
            app.window().rtbMoni->refresh_view();
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        });
    port.setInputLen(0);
    port.setRThreshold(1);
    port.setPortOpen(true);
}

} // namespace

int run_window(int &argc, char **argv, const CommandLine &cl) {
    QByteArray capture;
    if (!cl.replay_file.isEmpty()) {
        QFile file(cl.replay_file);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bus-lauscher: Datei nicht lesbar: %s (%s)\n",
                         qPrintable(cl.replay_file), qPrintable(file.errorString()));
            return 2;
        }
        capture = file.readAll();
    }
    QApplication qt_app(argc, argv);
    auto port = std::make_unique<ReplayPort>(std::move(capture));
    ReplayPort &replay = *port;
    MonitorApp::Platform platform;
    platform.comm = std::move(port);
    MonitorApp app(std::move(platform));
    app.vars().doc_path = init_paths();
    app.start_monitor();
    app.window().show();
    if (!cl.replay_file.isEmpty())
        start_replay(app, replay, cl.exit_after_replay);
    return qt_app.exec();
}

} // namespace bl
