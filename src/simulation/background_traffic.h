#pragma once

#include "simulation/command_station.h"

#include <QByteArray>
#include <QList>
#include <array>
#include <random>
#include <vector>

namespace bl::sim {

// What other devices on a busy layout put on the bus: throttles driving
// their locomotives (speed, direction, functions), feedback sensors as the
// trains move, switch commands and queries, train-identification reports
// (0xE4, length 8) and now and then a message the monitor has no words for.
class BackgroundTraffic {
public:
    explicit BackgroundTraffic(const CommandStation &station, std::uint32_t seed = 1);

    // The messages that start a session: track power, the throttles taking
    // their locomotives (each answered by the station).
    QList<QByteArray> opening();
    // A running train needs a few seconds from one sensor to the next, and
    // a switch is set again only after a while, however busy the bus is:
    // what a busier bus carries more of is the throttles' messages. (A demo
    // at the line's limit would otherwise show flapping sensors and
    // switches commanded again and again.)
    static constexpr double kBlockSeconds = 3.0;
    static constexpr double kSwitchSeconds = 4.0;
    static constexpr int kSwitches = 12;

    // The next message of the running layout, at now_s seconds of its
    // running.
    QByteArray next(double now_s);

private:
    struct Train {
        int address;
        int speed = 0;
        int dirf = 0;                     // direction and F0-F4
        int sensor;                       // the sensor the train will reach next
        int block_first;                  // its route: sensors block_first .. block_first + 7
        double moved_at = -kBlockSeconds; // when it reached its last sensor
    };
    int random(int n);
    int slot_of(const Train &t) const;
    QByteArray drive(Train &t);
    QByteArray move(Train &t);
    QByteArray kennbox(const Train &t);
    QByteArray other();

    const CommandStation &station_;
    std::mt19937 rng_;
    std::vector<Train> trains_;
    QList<QByteArray> queued_;
    int switch_state_ = 0;
    std::array<double, kSwitches> switch_set_at_;
};

} // namespace bl::sim
