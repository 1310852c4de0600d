#include "simulation/loconet_bus.h"

#include "simulation/loconet_message.h"

#include <algorithm>

namespace bl::sim {

namespace {
constexpr int kTickMs = 10;
constexpr double kSecondsPerByte = 10.0 / 16457.0;
} // namespace

LocoNetBus::LocoNetBus(double messages_per_second, std::uint32_t seed)
    : traffic_(station_, seed), rate_(messages_per_second), noise_(seed) {
    ticker_.setInterval(kTickMs);
    connect(&ticker_, &QTimer::timeout, this, [this] { tick(); });
}

double LocoNetBus::now() const {
    return running_.isValid() ? static_cast<double>(running_.nsecsElapsed()) / 1e9 : 0.0;
}

// A message takes the line from when it may start (the line free, and
// itself due) for as long as its bytes take.
void LocoNetBus::transmit(const QByteArray &msg, double start) {
    line_free_at_ =
        std::max(line_free_at_, start) + static_cast<double>(msg.size()) * kSecondsPerByte;
    broadcast(msg);
    if (!checksum_ok(msg))
        return; // the station ignores a damaged message
    for (const QByteArray &answer : station_.handle(msg))
        transmit(answer, line_free_at_);
}

void LocoNetBus::broadcast(const QByteArray &msg) { listeners_.tell(msg); }

void LocoNetBus::put(const QByteArray &msg) { transmit(msg, now()); }

void LocoNetBus::start() {
    for (const QByteArray &msg : traffic_.opening())
        put(msg);
    running_.start();
    sent_ = 0;
    line_free_at_ = 0;
    ticker_.start();
}

// As many messages as the rate asks for by now, so that high rates work
// with a coarse timer, as far as the line has room for them.
void LocoNetBus::tick() {
    const double due = rate_ * now();
    while (sent_ + 1 <= due) {
        const double start = std::max(line_free_at_, (sent_ + 1) / rate_);
        if (start > now())
            break; // the line is busy: the layout waits
        transmit(damaged(traffic_.next(start)), start);
        sent_ += 1;
    }
}

QByteArray LocoNetBus::damaged(QByteArray msg) {
    if (corrupt_share_ <= 0 || std::uniform_real_distribution<double>()(noise_) >= corrupt_share_)
        return msg;
    const auto at = 1 + static_cast<qsizetype>(noise_() % static_cast<unsigned>(msg.size() - 1));
    msg[at] = static_cast<char>(msg[at] ^ (1 + static_cast<int>(noise_() % 0x7F)));
    return msg;
}

} // namespace bl::sim
