#include "platform/linux/steady_monotonic_clock.h"

#include <thread>

MonotonicClock::TimePoint SteadyMonotonicClock::Now() const
{
    return std::chrono::steady_clock::now();
}

void SteadyMonotonicClock::SleepFor(Duration duration)
{
    if (duration > Duration::zero())
        std::this_thread::sleep_for(duration);
}

SteadyMonotonicClock& SteadyMonotonicClock::Shared()
{
    static SteadyMonotonicClock clock;
    return clock;
}
