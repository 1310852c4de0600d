// The message bytes of a pcap or pcapng capture, read as a stream: what the
// replay reads in place of a file of raw bytes, so that a capture of any
// size is shown through the same receive path a chunk at a time.
#pragma once

#include "capture/pcap_format.h"

#include <QIODevice>
#include <memory>

namespace bl::capture {

class CaptureDevice : public QIODevice {
public:
    explicit CaptureDevice(std::unique_ptr<QIODevice> file);
    bool isSequential() const override { return true; }
    const std::optional<ReadProblem> &problem() const { return reader_.problem(); }

protected:
    qint64 readData(char *data, qint64 most) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    std::unique_ptr<QIODevice> file_;
    QByteArray out_; // packet bytes not yet read
    CaptureReader reader_;
    bool done_ = false;
};

// Looks at the start of a capture (up to 64 KiB): the problem that keeps it
// from being shown at all (another link type, no capture), if any.
std::optional<ReadProblem> first_problem(QIODevice &file);

} // namespace bl::capture
