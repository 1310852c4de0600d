// The whole window program with a scripted port, scripted boxes, a fixed
// clock, and an end of the program that is only recorded.
#pragma once

#include "support/bytes.h"
#include "support/fake_dialogs.h"
#include "support/fake_port.h"
#include "support/qstring_print.h"
#include "window/monitor_app.h"

#include <QDir>
#include <QTemporaryDir>

namespace bl::testing {

// Processes the real events (clicks, timers) and moves the fake clock;
// on_pass plays the other side of the line meanwhile.
class TestPump : public EventPump {
public:
    explicit TestPump(FakeClock &clock) : clock_(clock) {}
    std::function<void()> on_pass;
    void process_events() override {
        QCoreApplication::processEvents();
        clock_.now += 0.01;
        if (on_pass)
            on_pass();
    }

private:
    FakeClock &clock_;
};

struct AppHarness {
    FakeClock *clock = new FakeClock;
    FakePort *port = new FakePort(clock);
    FakeDialogs *dialogs = new FakeDialogs;
    TestPump *pump = new TestPump(*clock);
    int ended = 0;
    QDateTime now{QDate(2024, 3, 3), QTime(14, 5, 9)};
    QString stamp = QStringLiteral("050709,123");
    QTemporaryDir folder;
    std::unique_ptr<MonitorApp> app;

    explicit AppHarness(std::size_t history_limit = HistoryStore::kDefaultLimit) {
        MonitorApp::Platform p;
        p.history_limit = history_limit;
        p.ports = std::make_unique<OnePort>(std::unique_ptr<BytePort>(port));
        p.dialogs.reset(dialogs);
        p.clock.reset(clock);
        p.events.reset(pump);
        p.end_program = [this] { ++ended; };
        p.now = [this] { return now; };
        p.time_stamp = [this] { return stamp; };
        p.locale = QLocale(QLocale::German, QLocale::Germany);
        app = std::make_unique<MonitorApp>(std::move(p));
        app->vars().doc_path = folder.path() + QLatin1Char('/');
        app->start_monitor();
        app->comm().setInputLen(0);
        app->comm().setRThreshold(1);
        app->comm().setPortOpen(true);
    }
    FrmMonitor &w() { return app->window(); }
    // bytes arriving through the receive event
    void receive(const std::string &hex) {
        port->arrive(QByteArray::fromStdString(bytes(hex)));
        for (int i = 0; i < 100 && !port->arriving.isEmpty(); ++i)
            QCoreApplication::processEvents();
    }
    std::string area() const { return latin1_to_utf8(app->window().rtbMoni->text()); }
};

inline QByteArray read_file(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace bl::testing
