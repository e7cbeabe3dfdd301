#pragma once
// Gives a blocking call a time-out. hidapi's hidraw transfers block until the kernel completes them and
// take no time-out of their own; the runner makes them on its own thread and stops waiting after the
// time-out. A call that overran still finishes on the runner's thread; until it has, further calls are
// refused, since the device is still busy with it.
//
//   state     Run(call)                           call returns
//   idle      hand over; wait; true if in time    -
//   running   false at once (refused)             idle
//   overran   false at once (refused)             idle
//
// Calls must own what they touch: after an overrun the caller is gone when the call ends.

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

class BlockingCallRunner {
public:
    BlockingCallRunner();
    // Runs `finalCall` on the runner's thread after any pending call (closing the device there). Does
    // not wait for a call that overran: the thread then finishes both alone.
    ~BlockingCallRunner();
    BlockingCallRunner(const BlockingCallRunner&) = delete;
    BlockingCallRunner& operator=(const BlockingCallRunner&) = delete;

    // True when `call` ran to its end within `timeout`; false when it overran or was refused.
    bool Run(std::function<void()> call, std::chrono::milliseconds timeout);
    void SetFinalCall(std::function<void()> finalCall);

private:
    struct Shared;
    static void Loop(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};
