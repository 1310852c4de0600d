// The composition root: one wiring of the reception, connection and sending
// paths, for the window, the console monitor and the headless decoder. Each
// front end chooses where the lines go and hands in its platform.
#pragma once

#include "app/options.h"
#include "app/pcap_recording.h"
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
    // Opens the port as a USB interface's is opened, without questions (a
    // replay of a capture).
    void open_without_questions();
    void close_port();
    bool port_open() const { return comm1_.portOpen(); }

    // Notes on the connection (lost, back) go here; nowhere until set.
    void on_connection_note(std::function<void(const QString &)> handler) {
        connection_note_ = std::move(handler);
    }

    // The module variables: display modes, trace state, the interface.
    ModVariablen &vars() { return vars_; }
    // The output modes as the two check boxes set them, and the marking of
    // messages whose checksum is wrong.
    void set_output_modes(const OutputModes &modes);
    void set_mark_errors(bool on) { reception_.decoder.set_mark_errors(on); }
    void set_filter(std::optional<filter::Filter> f) {
        reception_.decoder.set_filter(std::move(f));
    }

    // Every message framed or sent, for as long as the handle lives.
    Receiver::MessageListeners::Handle listen(Receiver::MessageListeners::Listener listener) {
        return reception_.receiver.listen(std::move(listener));
    }
    const loconet::BusCounts &counts() const { return reception_.counts; }
    // The receive path's parts, for what follows every message (--json).
    Receiver &receiver() { return reception_.receiver; }
    const loconet::BusContext &context() const { return reception_.context; }
    // Messages framed from here on carry these times (a recording's own).
    void set_stamp(Receiver::Stamp stamp) { reception_.receiver.set_stamp(std::move(stamp)); }
    BusHealth &health() { return health_; }
    // What went wrong on the bus, found as the messages pass.
    const loconet::Findings &findings() const { return findings_; }
    loconet::Findings &findings() { return findings_; }
    // Time passes (once a second): requests overdue, groups that ended.
    void tick_findings();
    // The end of the bytes: a message still being collected is given up.
    void finish() { reception_.receiver.finish(); }

    // A send row's text.
    void send_hex(const QString &text) { hex_sender_.send_hex_str(text); }
    // "Zugkat. setzen"
    void set_train_category(const QString &address, const QString &category) {
        train_category_.run(address, category);
    }
    // A whole message (check byte included) of network client n; false when
    // it could not go on the bus.
    bool send_for_client(const std::vector<int> &message, std::uint16_t client);
    // Whether a client's message would go on the line at once, without
    // waiting (reading the bus never waits for sending).
    bool ready_to_send() const { return transmitter_.ready(); }

    // --pcap and the window's "pcapng": a recording for Wireshark.
    PcapRecording &pcap() { return pcap_; }
    // The port as the recording names its interface, and its kind.
    QString interface_name() const;
    QString interface_description() const;

    // For who looks underneath (tests): the control and the way back.
    SerialControl &comm1() { return comm1_; }
    Reconnect &reconnect() { return reconnect_; }

private:
    void port_error(const PortFault &fault, Dialogs &dialogs);
    void note(const QString &text) {
        if (connection_note_)
            connection_note_(text);
    }

    ModVariablen vars_;
    SerialControl comm1_;
    loconet::Findings findings_; // before the path that feeds it
    ReceptionPath reception_;
    BusHealth health_;
    ErrorReport error_report_;
    ReceiveEntries entries_;
    PortOpening opening_;
    StartupDialogue startup_;
    Transmitter transmitter_;
    HexTextSender hex_sender_;
    TrainCategoryCommand train_category_;
    QuietDialogs quiet_dialogs_;
    PortOpening quiet_opening_; // the same steps, for opening again after a loss
    Reconnect reconnect_;
    PcapRecording pcap_;
    std::function<void(const QString &)> connection_note_;
    SteadyClock &clock_;
};

} // namespace bl
