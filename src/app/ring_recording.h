// --ring DIR: every message into pcapng files of at most a given size, at
// most a given number of them, the oldest deleted first (as dumpcap's ring
// buffer). Each file is a whole capture that opens on its own; a message is
// in exactly one file. A full disk or a vanished folder ends the ring, told
// once; monitoring goes on.
#pragma once

#include "capture/pcapng_file.h"
#include "reception/receiver.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

namespace bl {

class RingRecording {
public:
    struct Limits {
        std::uint64_t file_bytes = 10240 * 1024; // --ring-size KB
        int files = 10;                          // --ring-files
    };
    RingRecording(Receiver &receiver, const QString &folder, Limits limits,
                  const QString &interface_name, const QString &description);
    ~RingRecording() { stop(); }

    // The reason (German) where the folder or the first file cannot be made.
    std::optional<QString> start();
    // Ends the ring: the file written to ends with its last whole block.
    void stop();
    bool running() const { return running_; }
    // Told once where the ring ends by itself (German reason).
    void on_failure(std::function<void(const QString &reason)> handler) {
        on_failure_ = std::move(handler);
    }
    // The ring's files, oldest first.
    QStringList files() const { return {files_.begin(), files_.end()}; }

private:
    std::optional<QString> next_file();
    void write(const loconet::Message &m);
    void fail(const QString &reason);

    Receiver &receiver_;
    QString folder_;
    Limits limits_;
    QString interface_name_, description_;
    capture::PcapngFile file_;
    std::uint64_t packets_in_file_ = 0;
    int number_ = 0; // of the last file made
    std::deque<QString> files_;
    bool running_ = false;
    Receiver::MessageListeners::Handle listening_;
    std::function<void(const QString &)> on_failure_;
};

} // namespace bl
