#pragma once
// A clock whose time moves only when someone sleeps on it or advances it: a pause of 16 ms takes no real
// time but shows as 16 ms between timestamps. Safe to use from several threads; concurrent sleeps add up.

#include <atomic>

#include "platform/monotonic_clock.h"

class ManualMonotonicClock : public MonotonicClock {
public:
    ManualMonotonicClock() = default;

    TimePoint Now() const override;
    // Moves the time forward by `duration` and returns at once.
    void SleepFor(Duration duration) override;

    void Advance(Duration duration) { SleepFor(duration); }
    // Everything slept or advanced so far.
    Duration Elapsed() const { return Duration(m_elapsed.load()); }

private:
    // Starts one second after the epoch, so that "time zero" never looks like an unset time point.
    static constexpr Duration kStart = std::chrono::seconds(1);
    std::atomic<Duration::rep> m_elapsed{0};
};
