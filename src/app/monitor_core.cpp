#include "app/monitor_core.h"

#include "shared/texts.h"

namespace bl {

MonitorCore::MonitorCore(std::unique_ptr<PortFactory> ports, const CorePlatform &p,
                         const LineOutputs &out, QTimer &timer1,
                         std::function<void(bool)> set_category_button)
    : comm1(std::move(ports)), reception(vars, out),
      health(reception.counts, p.clock, p.time_of_day),
      error_report(vars, comm1, p.dialogs, p.events),
      entries(comm1, reception.receiver, p.dialogs, error_report),
      opening(vars, comm1, p.dialogs, p.events, p.clock, p.uart,
              [&timer1](bool on) { on ? timer1.start() : timer1.stop(); }),
      startup(vars, comm1, p.dialogs, opening, p.init_paths),
      transmitter(vars, comm1, p.dialogs, p.events, p.clock),
      hex_sender(vars, transmitter, p.dialogs),
      train_category(vars, out.area, hex_sender, transmitter, p.dialogs, p.events, p.clock,
                     std::move(set_category_button)),
      quiet_opening(vars, comm1, quiet_dialogs, p.events, p.clock, p.uart,
                    [&timer1](bool on) { on ? timer1.start() : timer1.stop(); }),
      reconnect(comm1, quiet_opening, p.clock, [this](const QString &text) { note(text); }) {
    comm1.setOnComm([this] { entries.on_comm(); });
    reception.receiver.add_observer(&health);
    transmitter.on_sent([this](std::vector<int> message) { health.sent(std::move(message)); });
    Dialogs &dialogs = p.dialogs;
    comm1.setOnPortError([this, &dialogs](const PortFault &fault) { port_error(fault, dialogs); });
    comm1.setOnConnectionNote([this](const QString &text) { note(text); });
    QObject::connect(&timer1, &QTimer::timeout, &comm1, [this] { entries.on_tick(); });
}

bool MonitorCore::start(const StartupAnswers &answers) {
    if (!startup.run(answers))
        return false;
    reconnect.opened();
    return true;
}

// An interface unplugged under way is told once in a box, a network
// connection lost in the status bar; the way back is watched for at once,
// while the box is still open. A message the far end refused is told in a
// box after the code that met it; bytes it dropped are counted.
void MonitorCore::port_error(const PortFault &fault, Dialogs &dialogs) {
    switch (fault.error) {
    case PortError::DeviceGone:
        reconnect.lost(fault);
        error_report.tell(
            RuntimeError(err::kDeviceVanished, QStringLiteral("Comm1"), fault.reason));
        break;
    case PortError::ConnectionLost: reconnect.lost(fault); break;
    case PortError::Refused:
        QTimer::singleShot(0, &comm1, [&dialogs, text = fault.reason] {
            dialogs.message_box(text, texts::sending::kSendMsg, MsgIcon::Exclamation,
                                MsgButtons::Ok);
        });
        break;
    case PortError::Discarded:
        reception.receiver.discard(std::string_view(fault.bytes.constData(),
                                                    static_cast<std::size_t>(fault.bytes.size())));
        break;
    case PortError::None: break;
    }
}

} // namespace bl
