#pragma once

#include <functional>

#include "fake_window.h"
#include "simulated_port.h"

// Steps a FakeWindow's timer operations on the simulated line, as TimerStepper does a Qt
// window's: each step advances the simulated clock by the running timer's period, then
// delivers that timer's tick.
class FakeWindowStepper {
public:
    FakeWindowStepper(FakeWindow& window, SimulatedPort& port) : window_(window), port_(port) {}

    // One tick of the running timer; false when none runs.
    bool tick() {
        const int id = window_.activeTimer();
        if (id == 0) {
            return false;
        }
        port_.advance(window_.timers().at(id));
        window_.tick(id);
        return true;
    }

    // Ticks until `done` holds or no timer runs; returns the ticks made (-1 when maxTicks ran out).
    int runUntil(const std::function<bool()>& done, int maxTicks = 200000) {
        for (int n = 0; n < maxTicks; ++n) {
            if (done() || !tick()) {
                return n;
            }
        }
        return -1;
    }

    // Ticks while any timer runs.
    int runToEnd(int maxTicks = 200000) {
        return runUntil([this] { return window_.activeTimer() == 0; }, maxTicks);
    }

private:
    FakeWindow& window_;
    SimulatedPort& port_;
};
