#pragma once
// The real clock: std::chrono::steady_clock and a real sleep.

#include "platform/monotonic_clock.h"

class SteadyMonotonicClock : public MonotonicClock {
public:
    TimePoint Now() const override;
    void SleepFor(Duration duration) override;

    // One process-wide instance; it keeps no state.
    static SteadyMonotonicClock& Shared();
};
