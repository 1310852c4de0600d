#include "simulation/loconet_bus.h"

#include "simulation/loconet_message.h"

namespace bl::sim {

namespace {
constexpr int kTickMs = 10;
}

LocoNetBus::LocoNetBus(double messages_per_second, std::uint32_t seed)
    : traffic_(station_, seed), rate_(messages_per_second), noise_(seed) {
    ticker_.setInterval(kTickMs);
    connect(&ticker_, &QTimer::timeout, this, [this] { tick(); });
}

void LocoNetBus::broadcast(const QByteArray &msg) {
    for (const auto &listener : listeners_)
        listener(msg);
}

void LocoNetBus::put(const QByteArray &msg) {
    broadcast(msg);
    if (!checksum_ok(msg))
        return; // the station ignores a damaged message
    for (const QByteArray &answer : station_.handle(msg))
        broadcast(answer);
}

void LocoNetBus::start() {
    for (const QByteArray &msg : traffic_.opening())
        put(msg);
    running_.start();
    sent_ = 0;
    ticker_.start();
}

// As many messages as the rate asks for by now, so that high rates work
// with a coarse timer.
void LocoNetBus::tick() {
    const double due = rate_ * static_cast<double>(running_.elapsed()) / 1000.0;
    while (sent_ + 1 <= due) {
        put(damaged(traffic_.next()));
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
