// After the one report of a lost connection (a USB interface unplugged),
// watches for the same device to come back and opens it again with the same
// settings and the same opening steps, quietly; a failed attempt waits
// longer before the next (1 s up to 30 s). A connection that ends within a
// second of opening (a server that is full) counts as a failed attempt.
#pragma once

#include "connection/port_opening.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace bl {

class Reconnect : public QObject {
public:
    static constexpr double kFirstPause = 1.0;
    static constexpr double kLongestPause = 30.0;
    static constexpr double kShortLived = 1.0;

    // The opening is the monitor's own, with boxes that say nothing: an
    // attempt that fails is no news. told gets the notes for the user.
    Reconnect(SerialControl &comm, PortOpening &quiet_opening, SteadyClock &clock,
              std::function<void(const QString &)> told);

    // The port has been opened (by the start-up or an attempt of its own).
    void opened() { opened_at_ = clock_.seconds(); }
    // The connection is lost (the fault says how): watching starts.
    void lost(const PortFault &fault);
    bool watching() const { return watch_.isActive(); }
    // Once a second while watching: is the device there again, and is it
    // time for an attempt?
    void look();

private:
    SerialControl &comm_;
    PortOpening &opening_;
    SteadyClock &clock_;
    std::function<void(const QString &)> told_;
    QTimer watch_;
    double pause_ = kFirstPause;
    double next_attempt_ = 0;
    double opened_at_ = -1;
    bool attempting_ = false;
};

} // namespace bl
