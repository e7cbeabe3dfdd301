#include "platform/linux/steady_monotonic_clock.h"

#include <sys/prctl.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

// The end of a pause is waited out awake rather than slept: a sleep wakes up tens of microseconds late,
// which adds up over pauses of 1 ms between packets. It is not yielded either: under load a yield can
// give the processor away for milliseconds.
constexpr auto kWaitedOut = 100us;

// The kernel stretches a thread's sleeps by its timer slack (50 us by default); once per thread, ask
// for none.
void TightenTimerSlack()
{
    thread_local const bool tightened = ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)tightened;
}

} // namespace

MonotonicClock::TimePoint SteadyMonotonicClock::Now() const
{
    return std::chrono::steady_clock::now();
}

void SteadyMonotonicClock::SleepFor(Duration duration)
{
    if (duration <= Duration::zero())
        return;
    const TimePoint deadline = Now() + duration;
    if (duration > kWaitedOut) {
        TightenTimerSlack();
        std::this_thread::sleep_until(deadline - kWaitedOut);
    }
    while (Now() < deadline) {
    }
}

SteadyMonotonicClock& SteadyMonotonicClock::Shared()
{
    static SteadyMonotonicClock clock;
    return clock;
}
