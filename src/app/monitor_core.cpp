#include "app/monitor_core.h"

#include "shared/texts.h"

#include <QDateTime>
#include <chrono>

namespace bl {

namespace {

// A message's time: the monotonic clock, which never jumps, anchored once to
// the wall clock, so that messages a few microseconds apart keep their
// order and distance even when the system's time is set meanwhile.
Receiver::Stamp anchored_stamp(SteadyClock &clock) {
    const auto steady_ns = [&clock] { return static_cast<std::int64_t>(clock.seconds() * 1e9); };
    const std::int64_t anchor_steady = steady_ns();
    const std::int64_t anchor_wall = std::chrono::duration_cast<std::chrono::microseconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count();
    return [steady_ns, anchor_steady, anchor_wall] {
        const std::int64_t now = steady_ns();
        return MessageStamp{anchor_wall + (now - anchor_steady) / 1000, now};
    };
}

} // namespace

void MonitorCore::tick_findings() {
    findings_.tick(static_cast<std::int64_t>(clock_.seconds() * 1e9),
                   QDateTime::currentMSecsSinceEpoch() * 1000);
}

MonitorCore::MonitorCore(std::unique_ptr<PortFactory> ports, const CorePlatform &p,
                         const LineOutputs &out, QTimer &timer1,
                         std::function<void(bool)> set_category_button)
    : comm1_(std::move(ports)), reception_(vars_, out, anchored_stamp(p.clock)),
      health_(reception_.receiver, reception_.counts, reception_.echoes, p.clock, p.time_of_day),
      error_report_(vars_, comm1_, p.dialogs, p.events),
      entries_(comm1_, reception_.receiver, p.dialogs, error_report_),
      opening_(vars_, comm1_, p.dialogs, p.events, p.clock, p.uart,
               [&timer1](bool on) { on ? timer1.start() : timer1.stop(); }),
      startup_(vars_, vars_, vars_, comm1_, p.dialogs, opening_, p.init_paths),
      transmitter_(vars_, comm1_, p.dialogs, p.events, p.clock),
      hex_sender_(vars_, transmitter_, p.dialogs),
      train_category_(vars_, vars_, vars_, out.area, hex_sender_, transmitter_, p.dialogs, p.events,
                      p.clock, std::move(set_category_button)),
      quiet_opening_(vars_, comm1_, quiet_dialogs_, p.events, p.clock, p.uart,
                     [&timer1](bool on) { on ? timer1.start() : timer1.stop(); }),
      reconnect_(comm1_, quiet_opening_, p.clock, [this](const QString &text) { note(text); }),
      pcap_(reception_.receiver), clock_(p.clock) {
    reception_.find(findings_);
    health_.on_missing_echo([this](std::span<const std::uint8_t> message) {
        findings_.no_echo(message, static_cast<std::int64_t>(clock_.seconds() * 1e9),
                          QDateTime::currentMSecsSinceEpoch() * 1000);
    });
    comm1_.setOnComm([this] { entries_.on_comm(); });
    transmitter_.on_sent([this](std::span<const std::uint8_t> message, std::uint16_t client) {
        reception_.receiver.sent(message, client);
    });
    Dialogs &dialogs = p.dialogs;
    comm1_.setOnPortError([this, &dialogs](const PortFault &fault) { port_error(fault, dialogs); });
    comm1_.setOnConnectionNote([this](const QString &text) { note(text); });
    QObject::connect(&timer1, &QTimer::timeout, &comm1_, [this] { entries_.on_tick(); });
}

QString MonitorCore::interface_name() const {
    if (!vars_.comport_device.isEmpty())
        return vars_.comport_device;
    return QStringLiteral("COM%1").arg(static_cast<int>(vars_.comport_nr));
}

QString MonitorCore::interface_description() const {
    if (!vars_.ln_interface)
        return texts::connection::kSerialInterfaceKind;
    return vars_.usb_interface ? texts::connection::kUsbInterfaceKind
                               : texts::connection::kComInterfaceKind;
}

bool MonitorCore::start(const StartupAnswers &answers) {
    if (!startup_.run(answers))
        return false;
    reconnect_.opened();
    return true;
}

// Every waiting byte per read, through the receive event.
void MonitorCore::open_without_questions() {
    comm1_.setInputLen(0);
    comm1_.setRThreshold(1);
    comm1_.setPortOpen(true);
}

void MonitorCore::close_port() {
    try {
        if (comm1_.portOpen())
            comm1_.setPortOpen(false);
    } catch (const RuntimeError &) {
        // a port that fails even to close is closed as far as we can tell
    }
}

void MonitorCore::set_output_modes(const OutputModes &modes) {
    vars_.hex_on = modes.hex_output ? kTrue : kFalse;
    vars_.ascii_hex_on = modes.ascii_hex ? kTrue : kFalse;
    vars_.detail_on = modes.detail ? kTrue : kFalse;
}

bool MonitorCore::send_for_client(const std::vector<int> &message, std::uint16_t client) {
    // the check byte is written anew, as for every message sent
    return comm1_.portOpen() &&
           transmitter_.send_bytes({message.begin(), message.end() - 1}, client);
}

// An interface unplugged under way is told once in a box, a network
// connection lost in the status bar; the way back is watched for at once,
// while the box is still open. A message the far end refused is told in a
// box after the code that met it; bytes it dropped are counted.
void MonitorCore::port_error(const PortFault &fault, Dialogs &dialogs) {
    switch (fault.error) {
    case PortError::DeviceGone:
        reconnect_.lost(fault);
        error_report_.tell(
            RuntimeError(err::kDeviceVanished, QStringLiteral("Comm1"), fault.reason));
        break;
    case PortError::ConnectionLost: reconnect_.lost(fault); break;
    case PortError::Refused:
        QTimer::singleShot(0, &comm1_, [&dialogs, text = fault.reason] {
            dialogs.message_box(text, texts::sending::kSendMsg, MsgIcon::Exclamation,
                                MsgButtons::Ok);
        });
        break;
    case PortError::Discarded:
        reception_.receiver.discard(std::string_view(fault.bytes.constData(),
                                                     static_cast<std::size_t>(fault.bytes.size())));
        break;
    case PortError::None: break;
    }
}

} // namespace bl
