#include "macros/filter_monitor.h"

#include "macros/filter_key_list.h"

namespace HidUsbFilter {

void Monitor::Register(std::unique_ptr<IMonitorProxy> proxy)
{
    if (!proxy)
        return;
    std::lock_guard lock(m_lock);
    for (const auto& known : m_proxies) {
        if (known->SameAs(*proxy))
            return;
    }
    m_proxies.push_back(std::move(proxy));
    m_wake.notify_all();
}

void Monitor::SetCrashHandler(std::function<void()> handler)
{
    std::lock_guard lock(m_lock);
    m_crashHandler = std::move(handler);
}

void Monitor::Start()
{
    const std::thread::id self = std::this_thread::get_id();
    if (m_thread.joinable()) {
        if (m_thread.get_id() == self) {
            m_filter.ResumeWaits();
            m_allowed = self;
            return;
        }
        if (m_allowed.load() == m_thread.get_id())
            return;
        m_thread.join(); // told to stop from its own thread, or ended after a crash
    }
    m_filter.ResumeWaits();
    // The new thread runs only once its id is the allowed one: it starts by taking the lock held here.
    std::lock_guard lock(m_lock);
    m_thread = std::thread([this] {
        {
            std::lock_guard published(m_lock);
        }
        Run(std::this_thread::get_id());
    });
    m_allowed = m_thread.get_id();
}

void Monitor::Stop()
{
    if (!m_thread.joinable())
        return;
    m_allowed = std::thread::id{};
    m_filter.CancelWaits();
    {
        std::lock_guard lock(m_lock);
        m_wake.notify_all();
    }
    if (m_thread.get_id() == std::this_thread::get_id())
        return;
    m_thread.join();
}

bool Monitor::IsRunning() const
{
    return m_allowed.load() != std::thread::id{};
}

void Monitor::Park(std::thread::id self)
{
    std::unique_lock lock(m_lock);
    m_wake.wait(lock, [&] { return m_allowed.load() != self || !m_proxies.empty(); });
}

void Monitor::Run(std::thread::id self)
{
    while (m_allowed.load() == self) {
        std::vector<IMonitorProxy*> proxies;
        {
            std::lock_guard lock(m_lock);
            for (const auto& proxy : m_proxies)
                proxies.push_back(proxy.get());
        }
        if (proxies.empty()) {
            Park(self);
            continue;
        }
        KeyFilterDevice::KeyEventRecord record{};
        const KeyFilterDevice::WaitResult result = m_filter.WaitForKeyEvent(record);
        if (result == KeyFilterDevice::WaitResult::Failed) {
            // No filter: nothing will arrive until the software keys are refreshed. Sleep until then
            // rather than asking again and again.
            std::unique_lock lock(m_lock);
            m_wake.wait(lock, [&] { return m_allowed.load() != self; });
            continue;
        }
        if (result != KeyFilterDevice::WaitResult::Delivered)
            continue;
        const FilterKeyEvent event = DecodeKeyEvent(record);
        try {
            for (IMonitorProxy* proxy : proxies) {
                if (proxy->OnKeyEvent(event.passedOn, static_cast<int>(event.keyCode), event.pressed) != 0)
                    break;
            }
        } catch (...) {
            std::function<void()> crashed;
            {
                std::lock_guard lock(m_lock);
                crashed = m_crashHandler;
            }
            std::thread::id running = self;
            m_allowed.compare_exchange_strong(running, std::thread::id{});
            if (crashed)
                crashed();
            return;
        }
    }
}

} // namespace HidUsbFilter
