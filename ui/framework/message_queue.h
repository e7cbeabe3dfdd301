#pragma once
// The UI thread's message queue: posted messages and closures in one order, calls sent from other
// threads, and the quit request. Any thread may post; only the UI thread takes.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "ui/framework/win_types.h"

class MessageQueue {
public:
    struct Item {
        MSG msg;
        std::function<void()> closure; // set for a posted closure; msg is then empty
    };

    MessageQueue();
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // Readable while anything waits in the queue; the event loop polls it beside the display.
    int WakeFd() const { return m_wakeFd; }
    // Empties the wake descriptor; called by the UI thread before it looks at the queue.
    void DrainWake();

    void Post(const MSG& msg);
    // Puts a message before everything waiting (the characters of a key that was just translated).
    void PostFront(const MSG& msg);
    // A mouse move replaces a mouse move for the same window with the same key flags at the end of the
    // queue, so a slow handler sees the newest position instead of a backlog.
    void PostMouseMove(const MSG& msg);
    void PostClosure(std::function<void()> closure);
    void PostQuit(int exitCode);

    std::optional<Item> TakePosted();
    bool HasPosted() const;
    // The pending quit request, consumed.
    std::optional<int> TakeQuit();

    // Runs call on the UI thread and returns its result. Waits at most timeoutMs for the UI thread to
    // start the call; a call that has started is always waited for, since it may use the caller's data.
    // nullopt when the call was never started (time-out or shutdown).
    std::optional<LRESULT> SendAndWait(std::function<LRESULT()> call, int64_t timeoutMs);
    // Runs every call waiting from other threads; UI thread only. Returns whether any ran.
    bool RunSentCalls();
    // Ends every waiting send unstarted and refuses new ones; for shutting the window system down.
    void Shutdown();

private:
    struct SentCall;
    void WakeLocked();

    mutable std::mutex m_lock;
    std::condition_variable m_sentDone;
    std::deque<Item> m_posted;
    std::deque<std::shared_ptr<SentCall>> m_sent;
    std::optional<int> m_quit;
    bool m_shutdown = false;
    int m_wakeFd = -1;
};
