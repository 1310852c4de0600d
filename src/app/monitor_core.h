// The composition root: one wiring of the reception, connection and sending
// paths, for the window, the console monitor and the headless decoder. Each
// front end chooses where the lines go and hands in its platform.
#pragma once

#include "app/reception_path.h"
#include "connection/error_report.h"
#include "connection/port_opening.h"
#include "connection/reconnect.h"
#include "connection/serial_control.h"
#include "connection/startup_dialogue.h"
#include "reception/bus_health.h"
#include "reception/receive_entries.h"
#include "sending/hex_text.h"
#include "sending/train_category.h"
#include "sending/transmission.h"

#include <QTimer>
#include <functional>
#include <memory>

namespace bl {

// What the paths need of the platform.
struct CorePlatform {
    Dialogs &dialogs;
    EventPump &events;
    SteadyClock &clock;
    UartRate &uart;
    std::function<QString()> init_paths;
    BusHealth::TimeOfDay time_of_day = &QTime::currentTime;
};

// A monitor on a port: the shared state, Comm1 over the port, the receive
// entries, the port opening and start-up, and the sending side. Timer1 is
// the front end's polling timer; the port opening switches it.
class MonitorCore {
public:
    MonitorCore(
        std::unique_ptr<PortFactory> ports, const CorePlatform &platform, const LineOutputs &out,
        QTimer &timer1, std::function<void(bool)> set_category_button = [](bool) {});

    // The start-up dialogue until the port opens; false when the user ended
    // the program in it.
    bool start(const StartupAnswers &answers);

    // Notes on the connection (lost, back) go here; nowhere until set.
    void on_connection_note(std::function<void(const QString &)> handler) {
        connection_note_ = std::move(handler);
    }

    ModVariablen vars;
    SerialControl comm1;
    ReceptionPath reception;
    BusHealth health;
    ErrorReport error_report;
    ReceiveEntries entries;
    PortOpening opening;
    StartupDialogue startup;
    Transmitter transmitter;
    HexTextSender hex_sender;
    TrainCategoryCommand train_category;
    QuietDialogs quiet_dialogs;
    PortOpening quiet_opening; // the same steps, for opening again after a loss
    Reconnect reconnect;

private:
    void port_error(const PortFault &fault, Dialogs &dialogs);
    void note(const QString &text) {
        if (connection_note_)
            connection_note_(text);
    }

    std::function<void(const QString &)> connection_note_;
};

} // namespace bl
