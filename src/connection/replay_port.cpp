#include "connection/replay_port.h"

#include "shared/runtime_error.h"

namespace bl {

ReplayPort::ReplayPort(std::unique_ptr<QIODevice> capture, int chunk_size)
    : capture_(std::move(capture)), chunk_size_(chunk_size) {
    pacer_.setInterval(0);
    connect(&pacer_, &QTimer::timeout, this, [this] { deliver_next_chunk(); });
}

void ReplayPort::setPortOpen(bool open) {
    open_ = open;
    if (open && threshold_ == 1)
        pacer_.start();
    else
        pacer_.stop();
}

void ReplayPort::setRThreshold(std::int16_t threshold) {
    threshold_ = threshold;
    setPortOpen(open_);
}

int ReplayPort::inBufferCount() {
    if (!open_)
        throw RuntimeError(err::kPortNotOpen, QStringLiteral("Comm1"),
                           QStringLiteral("Anschluss nicht geöffnet"));
    return static_cast<int>(waiting_.size());
}

QByteArray ReplayPort::input() {
    const qsizetype n =
        input_len_ == 0 ? waiting_.size() : std::min<qsizetype>(input_len_, waiting_.size());
    QByteArray part = waiting_.left(n);
    waiting_.remove(0, n);
    return part;
}

void ReplayPort::deliver_next_chunk() {
    if (waiting_.isEmpty() && !capture_->atEnd())
        waiting_ = capture_->read(chunk_size_);
    if (!waiting_.isEmpty() && on_comm_)
        on_comm_();
    if (finished()) {
        pacer_.stop();
        if (!finish_reported_ && on_finished_) {
            finish_reported_ = true;
            on_finished_();
        }
    }
}

} // namespace bl
