#include "reception/receive_entries.h"

namespace bl {

void ReceiveEntries::on_comm() {
    if (comm_.commEvent() != kCommEventReceive)
        return;
    try {
        const QByteArray bytes = comm_.input();
        receiver_.framing_steps(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const RuntimeError &e) {
        dialogs_.message_box(e.description, QString::number(e.number), MsgIcon::Critical,
                             MsgButtons::Ok);
    }
}

void ReceiveEntries::on_tick() {
    try {
        // After a report the port is closed; polling it again would only
        // bring the same box every 100 ms.
        if (!comm_.portOpen())
            return;
        // a read brings one byte where the interface was opened for that,
        // and all that came where the input length is 0: none is dropped
        while (comm_.inBufferCount() > 0) {
            const QByteArray read = comm_.input();
            receiver_.framing_steps(
                std::string_view(read.constData(), static_cast<std::size_t>(read.size())));
        }
    } catch (const RuntimeError &e) {
        reporter_.report_error(e);
    }
}

} // namespace bl
