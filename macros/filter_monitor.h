#pragma once
// The key filter's monitor: a thread that waits for the filter's key events and offers each to the
// registered proxies in order, until one takes it.
//
// Stop cancels the filter's waits and returns once the thread has ended. Called on the monitor thread
// itself (a proxy that refreshes the software keys), it only tells the thread to end after the event it
// is offering; a Start on that thread then keeps it running instead.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/key_filter_device.h"

namespace HidUsbFilter {

class IMonitorProxy {
public:
    virtual ~IMonitorProxy() = default;
    // Non-zero when the event was taken: later proxies do not see it.
    virtual int OnKeyEvent(int passedOn, int keyCode, bool pressed) = 0;
    virtual bool SameAs(const IMonitorProxy& other) const = 0;
};

// Calls `handler` of `owner` with the key code and the pressed state.
template <typename T> class MonitorProxy : public IMonitorProxy {
public:
    using Handler = int (T::*)(int keyCode, bool pressed);

    MonitorProxy(T* owner, Handler handler, int key = 0) : m_owner(owner), m_handler(handler), m_key(key) {}

    int OnKeyEvent(int /*passedOn*/, int keyCode, bool pressed) override
    {
        return (m_owner->*m_handler)(keyCode, pressed);
    }
    bool SameAs(const IMonitorProxy& other) const override
    {
        const auto* same = dynamic_cast<const MonitorProxy*>(&other);
        return same && same->m_owner == m_owner && same->m_handler == m_handler && same->m_key == m_key;
    }

private:
    T* m_owner;
    Handler m_handler;
    int m_key;
};

class Monitor {
public:
    explicit Monitor(KeyFilterDevice& filter) : m_filter(filter) {}
    ~Monitor() { Stop(); }
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    // A proxy equal to one already registered is dropped.
    void Register(std::unique_ptr<IMonitorProxy> proxy);
    // Runs on the monitor thread when a proxy threw; the thread ends right after it.
    void SetCrashHandler(std::function<void()> handler);

    void Start();
    void Stop();
    bool IsRunning() const;

private:
    void Run(std::thread::id self);
    // Blocks until this thread is told to stop.
    void Park(std::thread::id self);

    KeyFilterDevice& m_filter;
    mutable std::mutex m_lock; // the proxies, the crash handler and parking
    std::condition_variable m_wake;
    std::vector<std::unique_ptr<IMonitorProxy>> m_proxies;
    std::function<void()> m_crashHandler;
    std::thread m_thread;
    std::atomic<std::thread::id> m_allowed{};
};

} // namespace HidUsbFilter
