#include "macros/vhidev.h"

#include <algorithm>
#include <array>

namespace {

constexpr size_t kMaxPayloadWithId = VirtualHidDevice::kReportLength - 2;
constexpr size_t kMaxPayloadWithoutId = VirtualHidDevice::kReportLength - 1;

} // namespace

bool VHidev::FindVirtualDevice()
{
    std::lock_guard lock(m_lock);
    if (m_device.IsOpen())
        return true;
    m_access = m_device.Open(m_name);
    if (m_access != DeviceAccess::Ok)
        return false;
    ResetChannels();
    return true;
}

DeviceAccess VHidev::LastAccess() const
{
    std::lock_guard lock(m_lock);
    return m_access;
}

void VHidev::Close()
{
    std::lock_guard lock(m_lock);
    m_device.Close();
    ResetChannels();
}

void VHidev::ResetChannels()
{
    std::fill(m_keyboard.begin(), m_keyboard.end(), 0);
    std::fill(m_mouse.begin(), m_mouse.end(), 0);
    std::fill(m_consumer.begin(), m_consumer.end(), 0);
}

bool VHidev::SendReport(std::span<const uint8_t> payload, uint8_t reportId)
{
    std::lock_guard lock(m_lock);
    return SendLocked(payload, reportId);
}

bool VHidev::SendLocked(std::span<const uint8_t> payload, uint8_t reportId)
{
    std::array<uint8_t, VirtualHidDevice::kReportLength> buffer{};
    buffer[0] = VirtualHidDevice::kReportTag;
    if (reportId != 0) {
        buffer[1] = reportId;
        const size_t length = std::min(payload.size(), kMaxPayloadWithId);
        std::copy_n(payload.begin(), length, buffer.begin() + 2);
    } else {
        const size_t length = std::min(payload.size(), kMaxPayloadWithoutId);
        std::copy_n(payload.begin(), length, buffer.begin() + 1);
    }
    return m_device.Write(buffer);
}

bool VHidev::SetKey(unsigned usage, bool pressed)
{
    if (usage > 255)
        return false;
    std::lock_guard lock(m_lock);
    const auto bit = static_cast<uint8_t>(1u << (usage % 8));
    uint8_t& byte = m_keyboard[1 + usage / 8];
    byte = pressed ? byte | bit : byte & ~bit;
    return SendLocked(m_keyboard, kKeyboardReport);
}

bool VHidev::SetConsumerUsage(unsigned usage)
{
    std::lock_guard lock(m_lock);
    m_consumer[0] = static_cast<uint8_t>(usage & 0xFF);
    m_consumer[1] = static_cast<uint8_t>((usage >> 8) & 0xFF);
    return SendLocked(m_consumer, kConsumerReport);
}

bool VHidev::SetMouseButtons(uint8_t mask, bool pressed)
{
    std::lock_guard lock(m_lock);
    m_mouse[0] = pressed ? m_mouse[0] | mask : m_mouse[0] & ~mask;
    return SendLocked(m_mouse, kMouseReport);
}

void VHidev::ReleaseAll()
{
    std::lock_guard lock(m_lock);
    ResetChannels();
    SendLocked(m_keyboard, kKeyboardReport);
    SendLocked(m_mouse, kMouseReport);
    SendLocked(m_consumer, kConsumerReport);
    SendLocked(m_fourth, kFourthReport);
}
