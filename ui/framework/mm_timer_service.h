#pragma once
// The periodic timers behind RKTimer: one schedule for the whole process. The service only decides when
// a tick is due; it hands each due tick to a delivery function (the window system posts it to the UI
// thread). A timer has at most one tick waiting for delivery, so a busy UI thread gets no backlog.
// A paused timer keeps its id but is off the schedule: while every timer is paused (or none exists),
// nothing wakes for them and the timer thread sleeps without a time-out (it is not even started until
// a timer runs).

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class Clock;

class MmTimerService {
public:
    using Deliver = std::function<void(unsigned id)>;

    virtual ~MmTimerService() = default;
    // Starts a periodic timer, running or paused; its id (never 0, never reused), or 0 when the period
    // is 0.
    virtual unsigned Start(unsigned periodMs, bool paused = false) = 0;
    // Stops a timer; no tick of it is delivered afterwards. Unknown ids are ignored.
    virtual void Stop(unsigned id) = 0;
    // Takes a timer off the schedule or puts it back, its next tick one period later. Pausing or
    // resuming a timer that already is so changes nothing; unknown ids are ignored.
    virtual void SetPaused(unsigned id, bool paused) = 0;
    // The delivered tick of id has been handled; the next one may be delivered.
    virtual void Acknowledge(unsigned id) = 0;
    // For a service on a virtual clock: the next due time, and delivery of what is due at now.
    virtual std::optional<int64_t> NextDue() const { return std::nullopt; }
    virtual void DeliverDue(int64_t /*now*/) {}
};

// Shared bookkeeping of both services: entries with their next due time and the waiting-tick flag.
class MmTimerSchedule {
public:
    struct Entry {
        unsigned periodMs = 0;
        int64_t next = 0;
        bool waiting = false;
        bool paused = false;
    };

    unsigned Add(unsigned periodMs, int64_t now, bool paused = false);
    void Remove(unsigned id) { m_entries.erase(id); }
    // True when the timer's state changed.
    bool SetPaused(unsigned id, bool paused, int64_t now);
    void Acknowledge(unsigned id);
    // The earliest time a running timer is due; nullopt while none runs.
    std::optional<int64_t> NextDue() const;
    // Running ids due at now that have no tick waiting; their next time moves on by whole periods past
    // now.
    std::vector<unsigned> TakeDue(int64_t now);
    bool IsEmpty() const { return m_entries.empty(); }

private:
    std::map<unsigned, Entry> m_entries;
    unsigned m_lastId = 0;
};

// The real service: one timer thread on the steady clock.
class ThreadedMmTimerService : public MmTimerService {
public:
    explicit ThreadedMmTimerService(Deliver deliver);
    ~ThreadedMmTimerService() override;

    unsigned Start(unsigned periodMs, bool paused = false) override;
    void Stop(unsigned id) override;
    void SetPaused(unsigned id, bool paused) override;
    void Acknowledge(unsigned id) override;

private:
    void Run();
    // Starts the thread once a timer runs; the lock is held.
    void StartThread();

    Deliver m_deliver;
    std::mutex m_lock;
    std::condition_variable m_changed;
    MmTimerSchedule m_schedule;
    bool m_stopping = false;
    std::thread m_thread;
};

// The headless service: no thread; the event loop asks for the next due time, moves its virtual clock
// there and calls DeliverDue.
class ClockedMmTimerService : public MmTimerService {
public:
    ClockedMmTimerService(const Clock& clock, Deliver deliver);

    unsigned Start(unsigned periodMs, bool paused = false) override;
    void Stop(unsigned id) override;
    void SetPaused(unsigned id, bool paused) override;
    void Acknowledge(unsigned id) override;
    std::optional<int64_t> NextDue() const override;
    void DeliverDue(int64_t now) override;

private:
    const Clock& m_clock;
    Deliver m_deliver;
    mutable std::mutex m_lock;
    MmTimerSchedule m_schedule;
};
