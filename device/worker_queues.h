#pragma once
// The worker's two queues: task codes and macro-play requests (macro ids), both FIFO, both guarded by
// one lock, because the UI thread and the key filter's thread append while the worker reads and
// removes. The first entry of each stays queued while the worker serves it, so that "only when empty"
// also means "not while one runs".
//
// The worker waits here between steps: WaitUntil blocks until its condition holds (checked under the
// queue lock whenever a queue changes or Wake is called), or until a deadline.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

class WorkerQueues {
public:
    using Clock = std::chrono::steady_clock;

    // --- Tasks ---
    void PushTask(int code);
    // Appends unless the code is queued already (arrival and removal); true when appended.
    bool PushTaskUnlessQueued(int code);
    // Appends only when the queue is empty (a lighting change while a job runs is left out); true
    // when appended.
    bool PushTaskIfEmpty(int code);
    std::optional<int> FrontTask() const;
    void PopTask();
    std::vector<int> Tasks() const;

    // --- Macro-play requests ---
    void PushMacro(int macroId);
    // Appends only when no request is queued or playing; true when appended.
    bool PushMacroIfEmpty(int macroId);
    std::optional<int> FrontMacro() const;
    void PopMacro();
    size_t MacroCount() const;

    // --- Waiting ---
    // Blocks until `ready` holds, or until `deadline` when one is given. `ready` runs with the queue
    // lock held: it may look at the queues (the *Locked views) and at atomics, nothing that locks.
    void WaitUntil(const std::function<bool()>& ready, std::optional<Clock::time_point> deadline);
    // Makes a waiting WaitUntil check its condition again (after a flag it reads has changed).
    void Wake();
    bool TasksEmptyLocked() const { return m_tasks.empty(); }
    bool MacrosEmptyLocked() const { return m_macros.empty(); }

private:
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<int> m_tasks;
    std::deque<int> m_macros;
};
