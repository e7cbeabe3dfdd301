#include "device/closure_loop.h"

#include <chrono>

ClosureLoop::ClosureLoop()
{
    m_thread = std::thread([this] {
        std::unique_lock lock(m_lock);
        for (;;) {
            m_changed.wait(lock, [&] { return m_stopping || !m_closures.empty(); });
            if (m_closures.empty())
                return;
            std::function<void()> closure = std::move(m_closures.front());
            m_closures.pop_front();
            lock.unlock();
            closure();
            lock.lock();
        }
    });
}

ClosureLoop::~ClosureLoop()
{
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
        m_changed.notify_all();
    }
    m_thread.join();
}

void ClosureLoop::Post(std::function<void()> closure)
{
    std::lock_guard lock(m_lock);
    m_closures.push_back(std::move(closure));
    m_changed.notify_all();
}

void ClosureLoop::Drain()
{
    CallOnUiThread(
        Poster(), [] {}, std::chrono::seconds(5), OnLoop());
}
