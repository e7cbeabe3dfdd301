#pragma once
// A thread that runs posted closures in order, as the UI thread runs PostClosure's: the UI thread of
// the in-memory main window (tests, benchmarks, the console run).

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "device/ui_thread_call.h"

class ClosureLoop {
public:
    ClosureLoop();
    // Runs what is still posted, then ends the thread.
    ~ClosureLoop();
    ClosureLoop(const ClosureLoop&) = delete;
    ClosureLoop& operator=(const ClosureLoop&) = delete;

    void Post(std::function<void()> closure);
    // Returns once everything posted before it has run.
    void Drain();
    bool OnLoop() const { return std::this_thread::get_id() == m_thread.get_id(); }
    UiPoster Poster()
    {
        return [this](std::function<void()> closure) { Post(std::move(closure)); };
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_closures;
    bool m_stopping = false;
    std::thread m_thread;
};
