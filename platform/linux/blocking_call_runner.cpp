#include "platform/linux/blocking_call_runner.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

struct BlockingCallRunner::Shared {
    std::mutex lock;
    std::condition_variable changed;
    std::function<void()> call; // handed over, not yet started
    bool busy = false;          // a call is handed over or running
    uint64_t finished = 0;      // calls completed so far
    bool stop = false;
    std::function<void()> finalCall; // runs once, as the thread's last act
};

BlockingCallRunner::BlockingCallRunner() : m_shared(std::make_shared<Shared>())
{
    m_thread = std::thread(&BlockingCallRunner::Loop, m_shared);
}

BlockingCallRunner::~BlockingCallRunner()
{
    bool overran = false;
    {
        std::lock_guard lock(m_shared->lock);
        m_shared->stop = true;
        overran = m_shared->busy;
    }
    m_shared->changed.notify_all();
    if (overran)
        m_thread.detach();
    else
        m_thread.join();
}

void BlockingCallRunner::SetFinalCall(std::function<void()> finalCall)
{
    std::lock_guard lock(m_shared->lock);
    m_shared->finalCall = std::move(finalCall);
}

bool BlockingCallRunner::Run(std::function<void()> call, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_shared->lock);
    if (m_shared->busy || m_shared->stop)
        return false;
    m_shared->call = std::move(call);
    m_shared->busy = true;
    const uint64_t ticket = m_shared->finished + 1;
    m_shared->changed.notify_all();
    return m_shared->changed.wait_for(lock, timeout, [&] { return m_shared->finished >= ticket; });
}

void BlockingCallRunner::Loop(std::shared_ptr<Shared> shared)
{
    std::unique_lock lock(shared->lock);
    for (;;) {
        shared->changed.wait(lock, [&] { return shared->call || shared->stop; });
        if (!shared->call)
            break;
        std::function<void()> call = std::move(shared->call);
        shared->call = nullptr;
        lock.unlock();
        call();
        lock.lock();
        ++shared->finished;
        shared->busy = false;
        shared->changed.notify_all();
    }
    std::function<void()> finalCall = std::move(shared->finalCall);
    lock.unlock();
    if (finalCall)
        finalCall();
}
