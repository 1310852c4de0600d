#include "app/pcap_recording.h"

#include "loconet/latin1.h"
#include "shared/file_names.h"

namespace bl {

std::optional<QString> PcapRecording::start(const QString &path, const QString &interface_name,
                                            const QString &description, bool must_be_new) {
    if (auto reason = file_.open(path, interface_name, description, must_be_new))
        return reason;
    // the comment is the line the monitor showed for the message, or none
    listening_ = receiver_.listen([this](const loconet::Message &m) {
        file_.write(m, latin1_to_utf8(receiver_.shown_line()));
    });
    return std::nullopt;
}

void PcapRecording::stop() {
    listening_ = {};
    file_.close();
}

void PcapRecording::set_on_failure(std::function<void(const QString &)> handler) {
    // the listener stays (it may be running): a failed file takes no more
    file_.set_on_failure(std::move(handler));
}

QString pcap_path_for(const QString &folder, const QString &name) {
    for (int n = 1;; ++n) {
        const QString path = folder + (n == 1 ? name : QStringLiteral("%1 (%2)").arg(name).arg(n)) +
                             QStringLiteral(".pcapng");
        if (!name_taken(path) || n >= 1000)
            return path;
    }
}

} // namespace bl
