#include "platform/fake/manual_monotonic_clock.h"

MonotonicClock::TimePoint ManualMonotonicClock::Now() const
{
    return TimePoint(kStart + Elapsed());
}

void ManualMonotonicClock::SleepFor(Duration duration)
{
    if (duration > Duration::zero())
        m_elapsed.fetch_add(duration.count());
}
