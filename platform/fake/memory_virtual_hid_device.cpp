#include "platform/fake/memory_virtual_hid_device.h"

#include <algorithm>

void MemoryVirtualHidDevice::SetOpenResult(DeviceAccess result)
{
    std::lock_guard lock(m_lock);
    m_openResult = result;
}

void MemoryVirtualHidDevice::SetWriteFails(bool fails)
{
    std::lock_guard lock(m_lock);
    m_writeFails = fails;
}

void MemoryVirtualHidDevice::SetWriteObserver(std::function<void(const Report&)> observer)
{
    std::lock_guard lock(m_lock);
    m_observer = std::move(observer);
}

std::vector<MemoryVirtualHidDevice::Entry> MemoryVirtualHidDevice::Entries() const
{
    std::lock_guard lock(m_lock);
    return m_entries;
}

std::vector<MemoryVirtualHidDevice::Report> MemoryVirtualHidDevice::Reports() const
{
    std::lock_guard lock(m_lock);
    std::vector<Report> reports;
    for (const Entry& entry : m_entries)
        reports.push_back(entry.report);
    return reports;
}

void MemoryVirtualHidDevice::Clear()
{
    std::lock_guard lock(m_lock);
    m_entries.clear();
}

std::string MemoryVirtualHidDevice::Name() const
{
    std::lock_guard lock(m_lock);
    return m_name;
}

int MemoryVirtualHidDevice::OpenCount() const
{
    std::lock_guard lock(m_lock);
    return m_openCount;
}

DeviceAccess MemoryVirtualHidDevice::Open(const std::string& name)
{
    std::lock_guard lock(m_lock);
    if (m_open)
        return DeviceAccess::Ok;
    if (m_openResult != DeviceAccess::Ok)
        return m_openResult;
    m_open = true;
    ++m_openCount;
    m_name = name;
    return DeviceAccess::Ok;
}

bool MemoryVirtualHidDevice::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_open;
}

void MemoryVirtualHidDevice::Close()
{
    std::lock_guard lock(m_lock);
    m_open = false;
}

bool MemoryVirtualHidDevice::Write(std::span<const uint8_t, kReportLength> report)
{
    std::function<void(const Report&)> observer;
    Entry entry;
    {
        std::lock_guard lock(m_lock);
        if (!m_open || m_writeFails)
            return false;
        std::copy(report.begin(), report.end(), entry.report.begin());
        entry.time = m_clock ? m_clock->Now() : MonotonicClock::TimePoint{};
        m_entries.push_back(entry);
        observer = m_observer;
    }
    if (observer)
        observer(entry.report);
    return true;
}
