#pragma once

#include <chrono>

#include "common/Event.h"

// The time the device manager's probes keep: what time it is, and a pause that a stop ends
// early. The manager uses the steady clock; tests give a clock of their own.
class IProbeClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~IProbeClock() = default;

    virtual TimePoint now() = 0;
    // Waits for duration unless stop is signalled first; false when it was (or is).
    virtual bool pause(std::chrono::milliseconds duration, synchronization::Event& stop) = 0;
};

// The system's steady clock.
class SteadyProbeClock : public IProbeClock {
public:
    TimePoint now() override { return std::chrono::steady_clock::now(); }
    bool pause(std::chrono::milliseconds duration, synchronization::Event& stop) override {
        return !stop.wait(duration);
    }
};
