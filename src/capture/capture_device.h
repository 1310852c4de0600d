// The message bytes of a pcap or pcapng capture, read as a stream: what the
// replay reads in place of a file of raw bytes, so that a capture of any
// size is shown through the same receive path a chunk at a time. A read
// never spans two packets, so that what is framed from it can be given the
// time and direction of the packet it came in (current()).
#pragma once

#include "capture/pcap_format.h"

#include <QIODevice>
#include <deque>
#include <memory>

namespace bl::capture {

class CaptureDevice : public QIODevice {
public:
    explicit CaptureDevice(std::unique_ptr<QIODevice> file);
    bool isSequential() const override { return true; }
    const std::optional<ReadProblem> &problem() const { return reader_.problem(); }
    std::uint64_t passed_over() const { return reader_.passed_over(); }

    // The packet the last read came from (its bytes not kept).
    struct Current {
        std::int64_t time_us = 0;
        bool outbound = false;
    };
    const Current &current() const { return current_; }

protected:
    qint64 readData(char *data, qint64 most) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    struct Waiting {
        QByteArray bytes;
        Current at;
    };
    std::unique_ptr<QIODevice> file_;
    std::deque<Waiting> packets_; // read from the file, not yet handed out
    CaptureReader reader_;
    Current current_;
    bool done_ = false;
};

// The first n bytes of a file (fewer only where it is shorter), however
// they arrive (a pipe hands them over in pieces), left to be read again.
QByteArray peek_start(QIODevice &file, qsizetype n);

// Looks at the start of a capture (up to 64 KiB): the problem that keeps it
// from being shown at all (another link type, no capture), if any.
std::optional<ReadProblem> first_problem(QIODevice &file);

} // namespace bl::capture
