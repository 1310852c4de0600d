// A clock that moves only when looked at or when events are processed, so
// that 5-second time-outs pass in microseconds.
#pragma once

#include "shared/platform.h"

#include <functional>

namespace bl::testing {

class FakeClock : public SteadyClock {
public:
    double now = 1000.0;
    double step_per_read = 0.001;
    double seconds() override {
        now += step_per_read;
        return now;
    }
};

class FakeEventPump : public EventPump {
public:
    explicit FakeEventPump(FakeClock &clock) : clock_(clock) {}
    int passes = 0;
    double step = 0.01;
    std::function<void()> on_pass; // what other handlers do meanwhile
    void process_events() override {
        ++passes;
        clock_.now += step;
        if (on_pass)
            on_pass();
    }

private:
    FakeClock &clock_;
};

} // namespace bl::testing
