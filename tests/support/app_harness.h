// The whole window program with a scripted port, scripted boxes, a fixed
// clock, and an end of the program that is only recorded.
#pragma once

#include "support/bytes.h"
#include "support/fake_clock.h"
#include "support/fake_dialogs.h"
#include "support/fake_serial.h"
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
    int passes = 0;
    void process_events() override {
        ++passes;
        QCoreApplication::processEvents();
        clock_.now += 0.01;
        if (on_pass)
            on_pass();
    }

private:
    FakeClock &clock_;
};

struct AppHarness {
    FakeSerial *comm = nullptr;
    FakeDialogs *dialogs = nullptr;
    FakeClock *clock = nullptr;
    TestPump *pump = nullptr;
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
        auto fake_clock = std::make_unique<FakeClock>();
        clock = fake_clock.get();
        auto test_pump = std::make_unique<TestPump>(*clock);
        pump = test_pump.get();
        p.clock = std::move(fake_clock);
        p.events = std::move(test_pump);
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
    // The bus side answers: bytes that arrive once the program has written
    // a message ending in `after`, delivered through the receive event.
    void answer(const std::string &after, const std::string &reply) {
        const QByteArray trigger = QByteArray::fromStdString(bytes(after));
        const QByteArray answer = QByteArray::fromStdString(bytes(reply));
        comm->on_output = [this, trigger, answer](const QByteArray &) {
            if (comm->written.endsWith(trigger))
                comm->waiting += answer;
        };
        pump->on_pass = [this] {
            if (!comm->waiting.isEmpty())
                comm->on_comm();
        };
    }
};

inline QByteArray read_file(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace bl::testing
