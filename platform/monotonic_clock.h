#pragma once
// Time for code that paces a device: the pauses between reports and the time-outs of transfers. The
// real clock sleeps; the manual one (platform/fake) only moves its time, so tests see exact timestamps
// without waiting.

#include <chrono>

class MonotonicClock {
public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~MonotonicClock() = default;

    // Never goes backwards.
    virtual TimePoint Now() const = 0;
    // Returns once at least `duration` has passed; a negative duration returns at once.
    virtual void SleepFor(Duration duration) = 0;
};
