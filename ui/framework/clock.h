#pragma once
// The time source of the window system: message times, window timers, double clicks, hover and the
// multimedia timers all read one clock, so a test can replace it with a virtual one.

#include <atomic>
#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual int64_t NowMs() const = 0;
    // Whether time only moves when told to (the headless backend's clock).
    virtual bool IsVirtual() const = 0;
};

class SteadyClock : public Clock {
public:
    int64_t NowMs() const override;
    bool IsVirtual() const override { return false; }
};

// Time that stands still until Advance or AdvanceTo moves it; readable from any thread.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(int64_t startMs = 1000) : m_now(startMs) {}
    int64_t NowMs() const override { return m_now.load(); }
    bool IsVirtual() const override { return true; }

    void Advance(int64_t ms) { m_now.fetch_add(ms > 0 ? ms : 0); }
    // Moves forward to t; an earlier t changes nothing.
    void AdvanceTo(int64_t t);

private:
    std::atomic<int64_t> m_now;
};
