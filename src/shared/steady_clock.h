#pragma once

#include "shared/platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace bl {

// Seconds since the program started, from the monotonic clock.
class ElapsedSteadyClock : public SteadyClock {
public:
    ElapsedSteadyClock() { timer_.start(); }
    double seconds() override { return static_cast<double>(timer_.nsecsElapsed()) / 1e9; }

private:
    QElapsedTimer timer_;
};

class QtEventPump : public EventPump {
public:
    void process_events() override { QCoreApplication::processEvents(); }
};

} // namespace bl
