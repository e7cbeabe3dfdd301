#include "ui/framework/mm_timer_service.h"

#include <chrono>
#include <vector>

#include "ui/framework/clock.h"

unsigned MmTimerSchedule::Add(unsigned periodMs, int64_t now, bool paused)
{
    if (periodMs == 0)
        return 0;
    const unsigned id = ++m_lastId;
    m_entries[id] = Entry{periodMs, now + periodMs, false, paused};
    return id;
}

bool MmTimerSchedule::SetPaused(unsigned id, bool paused, int64_t now)
{
    const auto it = m_entries.find(id);
    if (it == m_entries.end() || it->second.paused == paused)
        return false;
    it->second.paused = paused;
    if (!paused)
        it->second.next = now + it->second.periodMs;
    return true;
}

void MmTimerSchedule::Acknowledge(unsigned id)
{
    if (auto it = m_entries.find(id); it != m_entries.end())
        it->second.waiting = false;
}

std::optional<int64_t> MmTimerSchedule::NextDue() const
{
    std::optional<int64_t> next;
    for (const auto& [id, e] : m_entries) {
        if (!e.paused && (!next || e.next < *next))
            next = e.next;
    }
    return next;
}

std::vector<unsigned> MmTimerSchedule::TakeDue(int64_t now)
{
    std::vector<unsigned> due;
    for (auto& [id, e] : m_entries) {
        if (e.paused || e.next > now)
            continue;
        if (!e.waiting) {
            e.waiting = true;
            due.push_back(id);
        }
        // Missed periods are dropped rather than delivered in a burst.
        const int64_t behind = (now - e.next) / e.periodMs + 1;
        e.next += behind * e.periodMs;
    }
    return due;
}

ThreadedMmTimerService::ThreadedMmTimerService(Deliver deliver) : m_deliver(std::move(deliver)) {}

ThreadedMmTimerService::~ThreadedMmTimerService()
{
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

unsigned ThreadedMmTimerService::Start(unsigned periodMs, bool paused)
{
    unsigned id;
    {
        std::lock_guard lock(m_lock);
        id = m_schedule.Add(periodMs, SteadyClock().NowMs(), paused);
        if (id != 0 && !paused)
            StartThread();
    }
    m_changed.notify_all();
    return id;
}

void ThreadedMmTimerService::StartThread()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { Run(); });
}

void ThreadedMmTimerService::SetPaused(unsigned id, bool paused)
{
    {
        std::lock_guard lock(m_lock);
        if (!m_schedule.SetPaused(id, paused, SteadyClock().NowMs()))
            return;
        if (!paused)
            StartThread();
    }
    m_changed.notify_all();
}

void ThreadedMmTimerService::Stop(unsigned id)
{
    {
        std::lock_guard lock(m_lock);
        m_schedule.Remove(id);
    }
    m_changed.notify_all();
}

void ThreadedMmTimerService::Acknowledge(unsigned id)
{
    std::lock_guard lock(m_lock);
    m_schedule.Acknowledge(id);
}

void ThreadedMmTimerService::Run()
{
    const SteadyClock clock;
    std::unique_lock lock(m_lock);
    while (!m_stopping) {
        const auto next = m_schedule.NextDue();
        if (!next) {
            // Nothing runs: sleep until a timer starts or resumes, or the service ends.
            m_changed.wait(lock);
            continue;
        }
        const int64_t now = clock.NowMs();
        if (*next > now) {
            m_changed.wait_for(lock, std::chrono::milliseconds(*next - now));
            continue;
        }
        const std::vector<unsigned> due = m_schedule.TakeDue(now);
        lock.unlock();
        for (unsigned id : due)
            m_deliver(id);
        lock.lock();
    }
}

ClockedMmTimerService::ClockedMmTimerService(const Clock& clock, Deliver deliver)
    : m_clock(clock), m_deliver(std::move(deliver))
{
}

unsigned ClockedMmTimerService::Start(unsigned periodMs, bool paused)
{
    std::lock_guard lock(m_lock);
    return m_schedule.Add(periodMs, m_clock.NowMs(), paused);
}

void ClockedMmTimerService::SetPaused(unsigned id, bool paused)
{
    std::lock_guard lock(m_lock);
    m_schedule.SetPaused(id, paused, m_clock.NowMs());
}

void ClockedMmTimerService::Stop(unsigned id)
{
    std::lock_guard lock(m_lock);
    m_schedule.Remove(id);
}

void ClockedMmTimerService::Acknowledge(unsigned id)
{
    std::lock_guard lock(m_lock);
    m_schedule.Acknowledge(id);
}

std::optional<int64_t> ClockedMmTimerService::NextDue() const
{
    std::lock_guard lock(m_lock);
    return m_schedule.NextDue();
}

void ClockedMmTimerService::DeliverDue(int64_t now)
{
    std::vector<unsigned> due;
    {
        std::lock_guard lock(m_lock);
        due = m_schedule.TakeDue(now);
    }
    for (unsigned id : due)
        m_deliver(id);
}
