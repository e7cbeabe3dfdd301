#include "device/worker_queues.h"

#include <algorithm>

void WorkerQueues::PushTask(int code)
{
    std::lock_guard lock(m_lock);
    m_tasks.push_back(code);
    m_changed.notify_all();
}

bool WorkerQueues::PushTaskUnlessQueued(int code)
{
    std::lock_guard lock(m_lock);
    if (std::find(m_tasks.begin(), m_tasks.end(), code) != m_tasks.end())
        return false;
    m_tasks.push_back(code);
    m_changed.notify_all();
    return true;
}

bool WorkerQueues::PushTaskIfEmpty(int code)
{
    std::lock_guard lock(m_lock);
    if (!m_tasks.empty())
        return false;
    m_tasks.push_back(code);
    m_changed.notify_all();
    return true;
}

std::optional<int> WorkerQueues::FrontTask() const
{
    std::lock_guard lock(m_lock);
    if (m_tasks.empty())
        return std::nullopt;
    return m_tasks.front();
}

void WorkerQueues::PopTask()
{
    std::lock_guard lock(m_lock);
    if (!m_tasks.empty())
        m_tasks.pop_front();
}

std::vector<int> WorkerQueues::Tasks() const
{
    std::lock_guard lock(m_lock);
    return {m_tasks.begin(), m_tasks.end()};
}

void WorkerQueues::PushMacro(int macroId)
{
    std::lock_guard lock(m_lock);
    m_macros.push_back(macroId);
    m_changed.notify_all();
}

bool WorkerQueues::PushMacroIfEmpty(int macroId)
{
    std::lock_guard lock(m_lock);
    if (!m_macros.empty())
        return false;
    m_macros.push_back(macroId);
    m_changed.notify_all();
    return true;
}

std::optional<int> WorkerQueues::FrontMacro() const
{
    std::lock_guard lock(m_lock);
    if (m_macros.empty())
        return std::nullopt;
    return m_macros.front();
}

void WorkerQueues::PopMacro()
{
    std::lock_guard lock(m_lock);
    if (!m_macros.empty())
        m_macros.pop_front();
}

size_t WorkerQueues::MacroCount() const
{
    std::lock_guard lock(m_lock);
    return m_macros.size();
}

void WorkerQueues::WaitUntil(const std::function<bool()>& ready, std::optional<Clock::time_point> deadline)
{
    std::unique_lock lock(m_lock);
    if (deadline)
        m_changed.wait_until(lock, *deadline, ready);
    else
        m_changed.wait(lock, ready);
}

void WorkerQueues::Wake()
{
    std::lock_guard lock(m_lock);
    m_changed.notify_all();
}
