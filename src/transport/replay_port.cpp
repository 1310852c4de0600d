#include "transport/replay_port.h"

namespace bl {

ReplayPort::ReplayPort(std::unique_ptr<QIODevice> capture, int chunk_size)
    : capture_(std::move(capture)), chunk_size_(chunk_size) {
    pacer_.setInterval(0);
    connect(&pacer_, &QTimer::timeout, this, [this] { deliver_next_chunk(); });
}

void ReplayPort::open(const QString &, const LineSettings &) {
    set_state(PortState::Connected);
    pacer_.start();
}

void ReplayPort::close() {
    set_state(PortState::Unconnected);
    pacer_.stop();
}

QByteArray ReplayPort::read() { return std::exchange(chunk_, {}); }

// The next chunk once the last one has been read, so that no more than a
// chunk waits at a time.
void ReplayPort::deliver_next_chunk() {
    if (!chunk_.isEmpty())
        return;
    // read until a read gives nothing: atEnd() is true for a pipe or a
    // device before anything has been read
    if (!at_end_) {
        chunk_ = capture_->read(chunk_size_);
        at_end_ = chunk_.isEmpty();
    }
    if (!chunk_.isEmpty()) {
        readable();
        return;
    }
    pacer_.stop();
    if (!finish_reported_ && on_finished_) {
        finish_reported_ = true;
        on_finished_();
    }
}

} // namespace bl
