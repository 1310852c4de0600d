// The whole window program with a scripted port, scripted boxes, a fixed
// clock, and an end of the program that is only recorded.
#pragma once

#include "support/bytes.h"
#include "support/fake_dialogs.h"
#include "support/fake_serial.h"
#include "window/monitor_app.h"

#include <QDir>
#include <QTemporaryDir>

namespace bl::testing {

struct AppHarness {
    FakeSerial *comm = nullptr;
    FakeDialogs *dialogs = nullptr;
    int ended = 0;
    QDateTime now{QDate(2024, 3, 3), QTime(14, 5, 9)};
    QString stamp = QStringLiteral("050709,123");
    QTemporaryDir folder;
    std::unique_ptr<MonitorApp> app;

    AppHarness() {
        auto serial = std::make_unique<FakeSerial>();
        auto boxes = std::make_unique<FakeDialogs>();
        comm = serial.get();
        dialogs = boxes.get();
        MonitorApp::Platform p;
        p.comm = std::move(serial);
        p.dialogs = std::move(boxes);
        p.end_program = [this] { ++ended; };
        p.now = [this] { return now; };
        p.time_stamp = [this] { return stamp; };
        p.locale = QLocale(QLocale::German, QLocale::Germany);
        app = std::make_unique<MonitorApp>(std::move(p));
        app->vars().doc_path = folder.path() + QLatin1Char('/');
        app->start_monitor();
        comm->open = true;
        comm->input_len = 0;
    }
    FrmMonitor &w() { return app->window(); }
    // bytes arriving through the receive event
    void receive(const std::string &hex) {
        comm->waiting += QByteArray::fromStdString(bytes(hex));
        comm->on_comm();
    }
    std::string area() const { return latin1_to_utf8(app->window().rtbMoni->text()); }
};

inline QByteArray read_file(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace bl::testing
