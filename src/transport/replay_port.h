#pragma once

#include "transport/byte_port.h"

#include <QIODevice>
#include <QObject>
#include <QTimer>
#include <memory>

namespace bl {

// A port that "receives" the bytes of a capture: while open it hands them
// over a chunk per event-loop pass, like a USB interface, so the window
// stays responsive. What is written to it goes nowhere.
class ReplayPort : public QObject, public BytePort {
public:
    // Reads the capture as it goes, a chunk at a time, so that a capture of
    // any size takes no more memory than a chunk.
    explicit ReplayPort(std::unique_ptr<QIODevice> capture, int chunk_size = 4096);

    // Called once when every byte has been handed over.
    void on_finished(std::function<void()> handler) { on_finished_ = std::move(handler); }

    void open(const QString &, const LineSettings &) override;
    void close() override;
    void write(const QByteArray &) override {}
    QByteArray read() override;

private:
    void deliver_next_chunk();

    std::unique_ptr<QIODevice> capture_;
    QByteArray chunk_; // handed over, not yet read
    int chunk_size_;
    QTimer pacer_;
    bool at_end_ = false;
    bool finish_reported_ = false;
    std::function<void()> on_finished_;
};

} // namespace bl
