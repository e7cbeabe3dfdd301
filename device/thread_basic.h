#pragma once
// The worker thread object of the main window: a thread that calls one step again and again.
//
//   Start   running already: nothing, 0. Otherwise: interval 16 ms, loop on, start tick taken, done
//           event reset, running flag set, thread started; 1.
//   thread  loop on: step, then wait the interval, for as long as the running flag stays set; loop
//           off: the step once. Then the done event is set.
//   Stop    clears the running flag, wakes the wait, waits at most 1 s for the done event.
//
// The wait between two steps is a hook: by default it sleeps the interval (cut short by Stop); a
// derived loop with nothing to do may block until it has (the device worker does, so that an idle
// program does not wake every 16 ms).
//
// A step that is still running when Stop gives up keeps running; the owner joins it before the
// objects the step uses go away (Join, which the device worker's destructor calls).

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class CThreadBasic {
public:
    static constexpr std::chrono::milliseconds kInterval{16};
    static constexpr std::chrono::milliseconds kStopWait{1000};

    CThreadBasic() = default;
    // Joins the thread: a derived class must stop and join it in its own destructor, while what its
    // step uses still exists.
    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    int Start();
    // True when the thread has ended within the wait (it is then joined).
    bool Stop();
    // Waits for the thread however long its step takes; nothing when it was never started.
    void Join();

    bool IsRunning() const { return m_running.load() != 0; }
    // The steady clock's milliseconds when the thread was started: the thread's exit code.
    int64_t StartTick() const { return m_startTick.load(); }
    // The kernel's id of the thread (0 before the first Start), for measuring its wake-ups.
    pid_t NativeThreadId() const { return m_threadId.load(); }

protected:
    // The step.
    virtual void Run() = 0;
    // Between two steps, on the thread. Returns after `interval`, or at once when Stop was asked for.
    virtual void WaitBeforeNextStep(std::chrono::milliseconds interval);
    // Called by Stop after the running flag was cleared, so that an overriding wait can wake up.
    virtual void OnStopRequested() {}

    bool StopRequested() const { return m_running.load() == 0; }

private:
    void Loop();

    std::atomic<int> m_running{0};
    std::atomic<int> m_loop{0};
    std::chrono::milliseconds m_interval{kInterval};
    std::atomic<int64_t> m_startTick{0};
    std::atomic<pid_t> m_threadId{0};

    std::mutex m_lock; // the done event and the default wait
    std::condition_variable m_changed;
    bool m_done = true;
    std::thread m_thread;
};
