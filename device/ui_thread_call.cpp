#include "device/ui_thread_call.h"

#include <condition_variable>
#include <memory>
#include <mutex>

bool CallOnUiThread(const UiPoster& post, std::function<void()> call, std::chrono::milliseconds timeout,
                    bool onUiThread)
{
    if (onUiThread) {
        call();
        return true;
    }
    // Shared with the closure: a call that runs after the time-out finds it still there.
    struct Done {
        std::mutex lock;
        std::condition_variable changed;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    post([done, call = std::move(call)] {
        call();
        std::lock_guard lock(done->lock);
        done->done = true;
        done->changed.notify_all();
    });
    std::unique_lock lock(done->lock);
    return done->changed.wait_for(lock, timeout, [&] { return done->done; });
}
