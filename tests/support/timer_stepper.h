#pragma once

#include <functional>

#include "simulated_port.h"
#include "window_timers.h"

// Steps a window's timer operations by hand: each step advances the simulated clock by the
// running timer's period, then delivers that timer's tick. No event loop runs, so the real
// timers never fire on their own and nothing sleeps.
class TimerStepper {
public:
    using TickHandler = std::function<void(int id)>;

    TimerStepper(WindowTimers& timers, SimulatedPort& port, TickHandler onTick)
        : timers_(timers), port_(port), onTick_(std::move(onTick)) {}

    // One tick of the active timer; false when none runs.
    bool tick() {
        const int id = timers_.activeId();
        if (id == 0) {
            return false;
        }
        port_.advance(timers_.period(id));
        onTick_(id);
        return true;
    }

    // Ticks until `done` holds or no timer runs; returns the ticks made (-1 when maxTicks ran out).
    int runUntil(const std::function<bool()>& done, int maxTicks = 200000) {
        for (int n = 0; n < maxTicks; ++n) {
            if (done()) {
                return n;
            }
            if (!tick()) {
                return done() ? n : n;
            }
        }
        return -1;
    }

    // Ticks while any timer runs.
    int runToEnd(int maxTicks = 200000) {
        return runUntil([this] { return timers_.activeId() == 0; }, maxTicks);
    }

private:
    WindowTimers& timers_;
    SimulatedPort& port_;
    TickHandler onTick_;
};
