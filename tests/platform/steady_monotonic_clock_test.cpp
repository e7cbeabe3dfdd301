#include <gtest/gtest.h>

#include "platform/linux/steady_monotonic_clock.h"

using namespace std::chrono_literals;

// Device pauses are lower bounds: a pause may end late, never early, whatever part of it is slept and
// whatever part is waited out.
TEST(SteadyMonotonicClockTest, SleepsAtLeastAsLongAsAsked)
{
    SteadyMonotonicClock& clock = SteadyMonotonicClock::Shared();
    for (const MonotonicClock::Duration pause :
         {MonotonicClock::Duration(30us), MonotonicClock::Duration(100us), MonotonicClock::Duration(1ms),
          MonotonicClock::Duration(3ms)}) {
        const MonotonicClock::TimePoint start = clock.Now();
        clock.SleepFor(pause);
        EXPECT_GE(clock.Now() - start, pause) << std::chrono::nanoseconds(pause).count() << " ns";
    }
}
