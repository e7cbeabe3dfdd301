#include "device/thread_basic.h"

#include <unistd.h>

CThreadBasic::~CThreadBasic()
{
    m_running.store(0);
    Join();
}

int CThreadBasic::Start()
{
    if (m_running.load() != 0)
        return 0;
    // A thread that Stop gave up on ends on its own; a new one starts after it.
    Join();
    m_interval = kInterval;
    m_loop.store(1);
    m_startTick.store(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count());
    {
        std::lock_guard lock(m_lock);
        m_done = false;
    }
    m_running.store(1);
    m_thread = std::thread([this] { Loop(); });
    return 1;
}

bool CThreadBasic::Stop()
{
    {
        std::lock_guard lock(m_lock);
        m_running.store(0);
        m_changed.notify_all();
    }
    OnStopRequested();
    std::unique_lock lock(m_lock);
    if (!m_changed.wait_for(lock, kStopWait, [&] { return m_done; }))
        return false;
    lock.unlock();
    Join();
    return true;
}

void CThreadBasic::Join()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void CThreadBasic::WaitBeforeNextStep(std::chrono::milliseconds interval)
{
    std::unique_lock lock(m_lock);
    m_changed.wait_for(lock, interval, [&] { return StopRequested(); });
}

void CThreadBasic::Loop()
{
    m_threadId.store(gettid());
    if (m_loop.load() != 0) {
        while (!StopRequested()) {
            Run();
            if (StopRequested())
                break;
            WaitBeforeNextStep(m_interval);
        }
    } else {
        Run();
    }
    std::lock_guard lock(m_lock);
    m_done = true;
    m_changed.notify_all();
}
