#include "platform/fake/memory_key_filter_device.h"

void MemoryKeyFilterDevice::SetOpenFails(bool fails)
{
    std::lock_guard lock(m_lock);
    m_openFails = fails;
}

void MemoryKeyFilterDevice::SetAccessDenied(bool denied)
{
    std::lock_guard lock(m_lock);
    m_accessDenied = denied;
}

void MemoryKeyFilterDevice::InjectKey(unsigned keyCode, bool pressed, uint8_t passedOn)
{
    std::lock_guard lock(m_lock);
    m_events.push_back(KeyEventRecord{static_cast<uint8_t>(keyCode & 0xFF),
                                      static_cast<uint8_t>(keyCode >> 8), passedOn,
                                      static_cast<uint8_t>(pressed ? 1 : 0)});
    m_changed.notify_all();
}

std::vector<MemoryKeyFilterDevice::Request> MemoryKeyFilterDevice::Requests() const
{
    std::lock_guard lock(m_lock);
    return m_requests;
}

void MemoryKeyFilterDevice::ClearRequests()
{
    std::lock_guard lock(m_lock);
    m_requests.clear();
}

std::vector<unsigned> MemoryKeyFilterDevice::WatchedKeys() const
{
    std::lock_guard lock(m_lock);
    std::vector<unsigned> keys;
    for (auto it = m_requests.rbegin(); it != m_requests.rend(); ++it) {
        if (it->code != kSetKeyList)
            continue;
        for (size_t i = 0; i + 4 <= it->input.size(); i += 4) {
            const unsigned code = it->input[i] | it->input[i + 1] << 8;
            if (code != 0)
                keys.push_back(code);
        }
        break;
    }
    return keys;
}

int MemoryKeyFilterDevice::Waiting() const
{
    std::lock_guard lock(m_lock);
    return m_waiting;
}

size_t MemoryKeyFilterDevice::Pending() const
{
    std::lock_guard lock(m_lock);
    return m_events.size();
}

bool MemoryKeyFilterDevice::Open()
{
    std::lock_guard lock(m_lock);
    m_open = !m_openFails;
    return m_open;
}

void MemoryKeyFilterDevice::Close()
{
    std::lock_guard lock(m_lock);
    m_open = false;
    m_changed.notify_all();
}

bool MemoryKeyFilterDevice::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_open;
}

bool MemoryKeyFilterDevice::Control(uint32_t code, std::span<const uint8_t> input)
{
    std::lock_guard lock(m_lock);
    if (!m_open)
        return false;
    m_requests.push_back(Request{code, std::vector<uint8_t>(input.begin(), input.end())});
    return true;
}

KeyFilterDevice::WaitResult MemoryKeyFilterDevice::WaitForKeyEvent(KeyEventRecord& record)
{
    std::unique_lock lock(m_lock);
    if (!m_open)
        return WaitResult::Failed;
    ++m_waiting;
    m_changed.wait(lock, [&] { return m_cancelled || !m_open || !m_events.empty(); });
    --m_waiting;
    if (m_cancelled)
        return WaitResult::Cancelled;
    if (!m_open)
        return WaitResult::Failed;
    record = m_events.front();
    m_events.pop_front();
    return WaitResult::Delivered;
}

void MemoryKeyFilterDevice::CancelWaits()
{
    std::lock_guard lock(m_lock);
    m_cancelled = true;
    m_changed.notify_all();
}

void MemoryKeyFilterDevice::ResumeWaits()
{
    std::lock_guard lock(m_lock);
    m_cancelled = false;
}

bool MemoryKeyFilterDevice::KeyboardAccessDenied() const
{
    std::lock_guard lock(m_lock);
    return m_accessDenied;
}
