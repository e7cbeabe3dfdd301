#include "platform/fake/fake_hid_notifier.h"

bool FakeHidNotifier::Start(Sink sink)
{
    std::lock_guard lock(m_lock);
    m_sink = std::move(sink);
    return true;
}

void FakeHidNotifier::Stop()
{
    std::lock_guard lock(m_lock);
    m_sink = nullptr;
}

void FakeHidNotifier::Raise(HidDeviceEventKind kind, const std::string& name)
{
    Sink sink;
    {
        std::lock_guard lock(m_lock);
        sink = m_sink;
    }
    if (sink)
        sink({kind, name});
}
