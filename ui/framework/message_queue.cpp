#include "ui/framework/message_queue.h"

#include <chrono>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

#include "ui/framework/messages.h"

struct MessageQueue::SentCall {
    enum class State { Queued, Running, Done, Abandoned };
    std::function<LRESULT()> call;
    LRESULT result = 0;
    State state = State::Queued;
};

MessageQueue::MessageQueue() : m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

MessageQueue::~MessageQueue()
{
    Shutdown();
    if (m_wakeFd >= 0)
        close(m_wakeFd);
}

void MessageQueue::WakeLocked()
{
    const uint64_t one = 1;
    // A full counter already means "readable"; nothing is lost when the write fails.
    [[maybe_unused]] const ssize_t n = write(m_wakeFd, &one, sizeof one);
}

void MessageQueue::DrainWake()
{
    uint64_t value;
    [[maybe_unused]] const ssize_t n = read(m_wakeFd, &value, sizeof value);
}

void MessageQueue::Post(const MSG& msg)
{
    std::lock_guard lock(m_lock);
    m_posted.push_back({msg, {}});
    WakeLocked();
}

void MessageQueue::PostFront(const MSG& msg)
{
    std::lock_guard lock(m_lock);
    m_posted.push_front({msg, {}});
    WakeLocked();
}

void MessageQueue::PostMouseMove(const MSG& msg)
{
    std::lock_guard lock(m_lock);
    if (!m_posted.empty()) {
        Item& last = m_posted.back();
        if (!last.closure && last.msg.message == WM_MOUSEMOVE && last.msg.hwnd == msg.hwnd &&
            last.msg.wParam == msg.wParam) {
            last.msg = msg;
            return;
        }
    }
    m_posted.push_back({msg, {}});
    WakeLocked();
}

void MessageQueue::PostClosure(std::function<void()> closure)
{
    std::lock_guard lock(m_lock);
    m_posted.push_back({MSG{}, std::move(closure)});
    WakeLocked();
}

void MessageQueue::PostQuit(int exitCode)
{
    std::lock_guard lock(m_lock);
    m_quit = exitCode;
    WakeLocked();
}

std::optional<MessageQueue::Item> MessageQueue::TakePosted()
{
    std::lock_guard lock(m_lock);
    if (m_posted.empty())
        return std::nullopt;
    Item item = std::move(m_posted.front());
    m_posted.pop_front();
    return item;
}

bool MessageQueue::HasPosted() const
{
    std::lock_guard lock(m_lock);
    return !m_posted.empty();
}

std::optional<int> MessageQueue::TakeQuit()
{
    std::lock_guard lock(m_lock);
    return std::exchange(m_quit, std::nullopt);
}

std::optional<LRESULT> MessageQueue::SendAndWait(std::function<LRESULT()> call, int64_t timeoutMs)
{
    auto sent = std::make_shared<SentCall>();
    sent->call = std::move(call);
    std::unique_lock lock(m_lock);
    if (m_shutdown)
        return std::nullopt;
    m_sent.push_back(sent);
    WakeLocked();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (sent->state != SentCall::State::Done && sent->state != SentCall::State::Abandoned) {
        if (sent->state == SentCall::State::Queued) {
            if (m_sentDone.wait_until(lock, deadline) == std::cv_status::timeout &&
                sent->state == SentCall::State::Queued) {
                sent->state = SentCall::State::Abandoned;
                std::erase(m_sent, sent);
            }
        } else {
            m_sentDone.wait(lock);
        }
    }
    if (sent->state == SentCall::State::Abandoned)
        return std::nullopt;
    return sent->result;
}

bool MessageQueue::RunSentCalls()
{
    bool ran = false;
    for (;;) {
        std::shared_ptr<SentCall> sent;
        {
            std::lock_guard lock(m_lock);
            if (m_sent.empty())
                return ran;
            sent = m_sent.front();
            m_sent.pop_front();
            sent->state = SentCall::State::Running;
        }
        const LRESULT result = sent->call();
        {
            std::lock_guard lock(m_lock);
            sent->result = result;
            sent->state = SentCall::State::Done;
        }
        m_sentDone.notify_all();
        ran = true;
    }
}

void MessageQueue::Shutdown()
{
    {
        std::lock_guard lock(m_lock);
        m_shutdown = true;
        for (auto& sent : m_sent)
            sent->state = SentCall::State::Abandoned;
        m_sent.clear();
    }
    m_sentDone.notify_all();
}
