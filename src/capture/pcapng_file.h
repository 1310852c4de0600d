// A pcapng recording on disk. Like the trace file: created new (never over
// another), every block reaching the operating system in one write, whole
// or not at all; a block that cannot be written is cut back off, so the file
// ends with the last whole block and opens in Wireshark, and the failure is
// told once.
#pragma once

#include "capture/pcap_format.h"
#include "loconet/message.h"

#include <QFile>
#include <QString>
#include <functional>
#include <optional>

namespace bl::capture {

class PcapngFile {
public:
    // The reason (German) where it cannot be created; the section and the
    // interface (name, description) are written at once.
    // must_be_new: false for a FIFO that Wireshark made and reads, which is
    // waited for until Wireshark opens it (or a signal asks to end).
    std::optional<QString> open(const QString &path, const QString &interface_name,
                                const QString &description, bool must_be_new = true);
    void close();
    bool is_open() const { return file_.isOpen() || fifo_ >= 0; }
    // The bytes written to a file so far (0 for a FIFO).
    std::uint64_t size() const {
        return file_.isOpen() ? static_cast<std::uint64_t>(file_.pos()) : 0;
    }
    QString path() const { return path_; }

    // comment: the shown line, UTF-8
    void write(const loconet::Message &m, std::string_view comment);
    void set_on_failure(std::function<void(const QString &reason)> handler) {
        on_failure_ = std::move(handler);
    }

private:
    bool write_block(const std::string &block);
    std::optional<QString> open_fifo(const QString &path);
    bool write_fifo(const std::string &block);
    static bool is_fifo(const QString &path);

    QFile file_;
    // A FIFO is written directly, not through QFile, whose writes would
    // wait on through a signal while Wireshark reads nothing.
    int fifo_ = -1;
    QString path_;
    bool failed_ = false;
    std::function<void(const QString &)> on_failure_;
};

// What a capture that cannot be read (wholly) has, in German.
QString read_problem_text(const ReadProblem &problem);
// The exit status for what reading a capture met: 0 for nothing or a cut-off
// end (every whole packet was shown), 2 for a file that is no capture of
// ours.
int read_problem_status(const std::optional<ReadProblem> &problem);

} // namespace bl::capture
