#include "connection/reconnect.h"

#include "shared/texts.h"

#include <algorithm>

namespace bl {

namespace tx = texts::connection;

Reconnect::Reconnect(SerialControl &comm, PortOpening &quiet_opening, SteadyClock &clock,
                     std::function<void(const QString &)> told)
    : comm_(comm), opening_(quiet_opening), clock_(clock), told_(std::move(told)) {
    watch_.setInterval(1000);
    connect(&watch_, &QTimer::timeout, this, [this] { look(); });
}

void Reconnect::lost(const PortFault &fault) {
    const double now = clock_.seconds();
    if (opened_at_ >= 0 && now - opened_at_ < kShortLived) {
        next_attempt_ = now + pause_;
        pause_ = std::min(pause_ * 2, kLongestPause);
    } else {
        pause_ = kFirstPause;
        next_attempt_ = now;
    }
    told_(
        (fault.error == PortError::ConnectionLost ? tx::kNetworkLostNote : tx::kConnectionLostNote)
            .arg(comm_.deviceName()));
    watch_.start();
}

// Once a second: is the device there again, and is it time for an attempt?
void Reconnect::look() {
    if (attempting_ || comm_.portOpen() || clock_.seconds() < next_attempt_ ||
        !comm_.devicePresent())
        return;
    attempting_ = true;
    told_(tx::kReconnectingNote.arg(comm_.deviceName()));
    std::int16_t err = 1;
    opening_.open_interface(err);
    attempting_ = false;
    if (err == 0) {
        opened();
        watch_.stop();
        told_(tx::kConnectionBackNote.arg(comm_.deviceName()));
        return;
    }
    if (comm_.portOpen())
        comm_.setPortOpen(false);
    next_attempt_ = clock_.seconds() + pause_;
    pause_ = std::min(pause_ * 2, kLongestPause);
}

} // namespace bl
