#pragma once

#include "shared/listeners.h"
#include "simulation/background_traffic.h"
#include "simulation/command_station.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <random>

namespace bl::sim {

// The simulated LocoNet: a command station and the traffic of a running
// layout. Every message put on the bus reaches every listener, the sender
// included (LocoNet interfaces echo what they send). The bus carries no
// more than a real one: the layout's traffic waits while the line is busy
// (16457 bit/s, 10 bits a byte), whatever rate is asked for.
class LocoNetBus : public QObject {
public:
    static constexpr double kDefaultRate = 4.0; // messages per second

    explicit LocoNetBus(double messages_per_second = kDefaultRate, std::uint32_t seed = 1);

    // Damages this share (0..1) of the layout's messages: one data byte
    // changes, so that the checksum is wrong, as noise on a long bus does.
    void set_corruption(double share) { corrupt_share_ = share; }

    using MessageListeners = Listeners<const QByteArray &>;
    // Hears every message on the bus for as long as the handle lives.
    MessageListeners::Handle listen(MessageListeners::Listener listener) {
        return listeners_.add(std::move(listener));
    }
    // A complete message from a device; the station answers it.
    void put(const QByteArray &msg);
    // Starts the layout: the opening messages at once, then the traffic.
    void start();

private:
    void transmit(const QByteArray &msg, double start);
    void broadcast(const QByteArray &msg);
    double now() const;
    void tick();
    QByteArray damaged(QByteArray msg);

    CommandStation station_;
    BackgroundTraffic traffic_;
    double rate_;
    QTimer ticker_;
    QElapsedTimer running_;
    double sent_ = 0;
    double line_free_at_ = 0; // seconds of running_
    double corrupt_share_ = 0;
    std::mt19937 noise_;
    MessageListeners listeners_;
};

} // namespace bl::sim
