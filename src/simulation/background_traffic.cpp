#include "simulation/background_traffic.h"

#include "loconet/addresses.h"
#include "loconet/opcodes.h"
#include "simulation/loconet_message.h"

namespace bl::sim {

using namespace loconet;

BackgroundTraffic::BackgroundTraffic(const CommandStation &station, std::uint32_t seed)
    : station_(station), rng_(seed) {
    trains_ = {{3, 0, 0, 1, 1}, {1234, 0, 0x20, 9, 9}, {57, 0, 0, 17, 17}, {212, 0, 0x20, 25, 25}};
    switch_set_at_.fill(-kSwitchSeconds);
}

int BackgroundTraffic::random(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

int BackgroundTraffic::slot_of(const Train &t) const {
    return std::max(station_.slot_of(t.address), 0);
}

QList<QByteArray> BackgroundTraffic::opening() {
    QList<QByteArray> out{message({kOpcGpOn})};
    for (const Train &t : trains_)
        out << message({kOpcLocoAdr, loco_high(t.address), loco_low(t.address)});
    return out;
}

QByteArray BackgroundTraffic::drive(Train &t) {
    const int slot = slot_of(t);
    switch (random(6)) {
    case 0:
        t.dirf ^= 0x10; // headlight
        return message({kOpcLocoDirf, slot, t.dirf});
    case 1: return message({kOpcLocoSnd, slot, random(16)});
    default:
        t.speed = std::clamp(t.speed + random(31) - 10, 0, 110);
        return message({kOpcLocoSpd, slot, t.speed});
    }
}

// A running train occupies the next sensor of its route and frees the one
// behind it.
QByteArray BackgroundTraffic::move(Train &t) {
    const int previous = t.sensor == t.block_first ? t.block_first + 7 : t.sensor - 1;
    const auto report = [](int sensor, bool occupied) {
        const TwoBytes b = sensor_bytes(sensor);
        return message({kOpcInputRep, b.b1, b.b2 | (occupied ? 0x10 : 0) | 0x40});
    };
    queued_ << report(previous, false);
    const QByteArray occupied = report(t.sensor, true);
    t.sensor = t.sensor == t.block_first + 7 ? t.block_first : t.sensor + 1;
    return occupied;
}

QByteArray BackgroundTraffic::kennbox(const Train &t) {
    const int sender = 1 + random(8);
    if (random(2) == 0)
        return message(
            {kOpcTrainIdReport, 0x08, 0x00, 0x20 | (sender >> 7), sender & 0x7F, 0, t.speed});
    return message({kOpcTrainIdReport, 0x08, random(4),
                    0x40 | (random(2) ? 0x20 : 0) | (sender >> 7), sender & 0x7F,
                    loco_high(t.address), loco_low(t.address)});
}

// Messages the monitor lists as bytes: peer transfers, extended functions.
QByteArray BackgroundTraffic::other() {
    if (random(2) == 0)
        return message({kOpcPeerXfer, 0x10, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                        0x00, 0x00, 0x00, 0x00});
    return message({kOpcExpCmd, 0x20, slot_of(trains_[0]), 0x08, random(128)});
}

QByteArray BackgroundTraffic::next(double now_s) {
    if (!queued_.isEmpty())
        return queued_.takeFirst();
    Train &t = trains_[static_cast<std::size_t>(random(static_cast<int>(trains_.size())))];
    const int pick = random(100);
    if (pick < 40)
        return drive(t);
    if (pick < 65) {
        if (t.speed == 0 || now_s - t.moved_at < kBlockSeconds)
            return drive(t);
        t.moved_at = now_s;
        return move(t);
    }
    if (pick < 77) {
        const int sw = random(kSwitches);
        double &set_at = switch_set_at_[static_cast<std::size_t>(sw)];
        if (now_s - set_at < kSwitchSeconds)
            return drive(t);
        set_at = now_s;
        switch_state_ ^= 1 << sw;
        const int dir = (switch_state_ >> sw) & 1 ? 0x20 : 0x00;
        const TwoBytes b = switch_bytes(sw + 1);
        queued_ << message({kOpcSwReq, b.b1, b.b2 | dir});
        return message({kOpcSwReq, b.b1, b.b2 | dir | 0x10});
    }
    if (pick < 81)
        return message({kOpcSwState, random(12), 0x00});
    if (pick < 91)
        return kennbox(t);
    if (pick < 95)
        return message({kOpcRqSlData, slot_of(t), 0x00});
    return other();
}

} // namespace bl::sim
