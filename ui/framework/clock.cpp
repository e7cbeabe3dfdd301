#include "ui/framework/clock.h"

#include <chrono>

int64_t SteadyClock::NowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void VirtualClock::AdvanceTo(int64_t t)
{
    int64_t now = m_now.load();
    while (t > now && !m_now.compare_exchange_weak(now, t)) {
    }
}
