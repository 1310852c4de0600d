// --pcap and the window's "pcapng" button: every message framed or sent,
// from the start of the recording, into a pcapng file for Wireshark, each
// with the line the monitor showed for it as its comment.
#pragma once

#include "capture/pcapng_file.h"
#include "reception/receiver.h"

#include <QString>
#include <optional>

namespace bl {

class PcapRecording {
public:
    explicit PcapRecording(Receiver &receiver) : receiver_(receiver) {}

    // The reason (German) where the file cannot be created.
    std::optional<QString> start(const QString &path, const QString &interface_name,
                                 const QString &description, bool must_be_new = true);
    void stop();
    bool running() const { return file_.is_open(); }
    QString path() const { return file_.path(); }
    // A block that cannot be written ends the recording, told once.
    void set_on_failure(std::function<void(const QString &reason)> handler);

private:
    Receiver &receiver_;
    capture::PcapngFile file_;
    Receiver::MessageListeners::Handle listening_;
};

// The file name of a recording started from the window: beside the trace
// files, named like them, never over another.
QString pcap_path_for(const QString &folder, const QString &name);

} // namespace bl
