#include "app/monitor_core.h"

#include "shared/texts.h"

namespace bl {

MonitorCore::MonitorCore(std::unique_ptr<BytePort> port, const CorePlatform &p,
                         const LineOutputs &out, QTimer &timer1,
                         std::function<void(bool)> set_category_button)
    : comm1(std::move(port)), reception(vars, out),
      health(reception.counts, p.clock, p.time_of_day),
      error_report(vars, comm1, p.dialogs, p.events),
      entries(comm1, reception.receiver, p.dialogs, error_report),
      opening(vars, comm1, p.dialogs, p.events, p.clock, p.uart,
              [&timer1](bool on) { on ? timer1.start() : timer1.stop(); }),
      startup(vars, comm1, p.dialogs, opening, p.init_paths),
      transmitter(vars, comm1, p.dialogs, p.events, p.clock),
      hex_sender(vars, transmitter, p.dialogs),
      train_category(vars, out.area, hex_sender, transmitter, p.events, p.clock,
                     std::move(set_category_button)),
      quiet_opening(vars, comm1, quiet_dialogs, p.events, p.clock, p.uart,
                    [&timer1](bool on) { on ? timer1.start() : timer1.stop(); }),
      reconnect(comm1, quiet_opening, p.clock, [this](const QString &text) { note(text); }) {
    comm1.setOnComm([this] { entries.on_comm(); });
    reception.receiver.add_observer(&health);
    transmitter.on_sent([this](std::vector<int> message) { health.sent(std::move(message)); });
    // an interface unplugged under way is told once in a box, a network
    // connection lost in the status bar; then the way back is watched for
    comm1.setOnFailure([this](const RuntimeError &e) {
        if (!comm1.port().network())
            error_report.report_error(e);
        reconnect.lost();
    });
    comm1.port().on_status([this](const QString &text) { note(text); });
    Dialogs &dialogs = p.dialogs;
    comm1.port().on_trouble([this, &dialogs](const QString &text) {
        QTimer::singleShot(0, &comm1, [&dialogs, text] {
            dialogs.message_box(text, texts::sending::kSendTitle, MsgIcon::Exclamation,
                                MsgButtons::Ok);
        });
    });
    QObject::connect(&timer1, &QTimer::timeout, &comm1, [this] { entries.on_tick(); });
}

} // namespace bl
