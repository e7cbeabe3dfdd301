#include "platform/linux/uinput_virtual_hid_device.h"

#include <linux/input-event-codes.h>

#include "platform/linux/hid_usage_codes.h"

namespace {

constexpr uint8_t kKeyboardReport = 1;
constexpr uint8_t kMouseReport = 2;
constexpr uint8_t kConsumerReport = 3;
constexpr size_t kPayloadStart = 2;
constexpr size_t kBitmapStart = kPayloadStart + 1; // after the keyboard payload's leading zero byte
constexpr size_t kBitmapLength = 32;

// Button bits of the mouse channel, bit 0 first.
constexpr uint16_t kButtons[] = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, BTN_SIDE, BTN_EXTRA};

} // namespace

DeviceAccess UinputVirtualHidDevice::Open(const std::string& name)
{
    std::lock_guard lock(m_lock);
    if (m_device.IsCreated())
        return DeviceAccess::Ok;
    UinputCapabilities caps;
    caps.name = name;
    caps.id.bustype = BUS_VIRTUAL;
    caps.id.vendor = kVendorId;
    caps.id.product = kProductId;
    const auto keys = VirtualKeyboardEvdevKeys();
    caps.keys.assign(keys.begin(), keys.end());
    caps.keys.insert(caps.keys.end(), std::begin(kButtons), std::end(kButtons));
    // Never moved: the axes only make the desktop take the buttons as a pointer's.
    caps.relativeAxes = {REL_X, REL_Y};
    caps.autoRepeat = true;
    const DeviceAccess access = m_device.Create(caps);
    m_keys.reset();
    m_buttons = 0;
    m_consumer = 0;
    return access;
}

bool UinputVirtualHidDevice::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_device.IsCreated();
}

void UinputVirtualHidDevice::Close()
{
    std::lock_guard lock(m_lock);
    m_device.Destroy();
}

bool UinputVirtualHidDevice::Write(std::span<const uint8_t, kReportLength> report)
{
    std::lock_guard lock(m_lock);
    if (!m_device.IsCreated())
        return false;
    if (report[0] != kReportTag)
        return true;
    std::vector<input_event> events;
    switch (report[1]) {
    case kKeyboardReport:
        KeyboardChanges(report.subspan(kBitmapStart, kBitmapLength), events);
        break;
    case kMouseReport:
        MouseChanges(report[kPayloadStart], events);
        break;
    case kConsumerReport:
        ConsumerChanges(report[kPayloadStart] | report[kPayloadStart + 1] << 8, events);
        break;
    default:
        break;
    }
    if (events.empty())
        return true;
    events.push_back(InputEvent(EV_SYN, SYN_REPORT, 0));
    return m_device.Emit(events);
}

void UinputVirtualHidDevice::KeyboardChanges(std::span<const uint8_t> bitmap,
                                             std::vector<input_event>& events)
{
    std::bitset<256> next;
    for (size_t usage = 0; usage < next.size(); ++usage)
        next[usage] = (bitmap[usage / 8] >> (usage % 8)) & 1;
    const std::bitset<256> changed = next ^ m_keys;
    // Keys go up before modifiers and modifiers down before keys, so a report that changes both
    // never types an unmodified key.
    for (size_t usage = 0; usage < changed.size(); ++usage) {
        if (changed[usage] && !next[usage]) {
            if (const uint16_t key = EvdevFromKeyboardUsage(static_cast<unsigned>(usage)))
                events.push_back(InputEvent(EV_KEY, key, 0));
        }
    }
    for (size_t usage = changed.size(); usage-- > 0;) {
        if (changed[usage] && next[usage]) {
            if (const uint16_t key = EvdevFromKeyboardUsage(static_cast<unsigned>(usage)))
                events.push_back(InputEvent(EV_KEY, key, 1));
        }
    }
    m_keys = next;
}

void UinputVirtualHidDevice::MouseChanges(uint8_t buttons, std::vector<input_event>& events)
{
    for (size_t bit = 0; bit < std::size(kButtons); ++bit) {
        const bool down = (buttons >> bit) & 1;
        if (down != (((m_buttons >> bit) & 1) != 0))
            events.push_back(InputEvent(EV_KEY, kButtons[bit], down ? 1 : 0));
    }
    m_buttons = buttons;
}

void UinputVirtualHidDevice::ConsumerChanges(unsigned usage, std::vector<input_event>& events)
{
    if (usage == m_consumer)
        return;
    if (const uint16_t key = EvdevFromConsumerUsage(m_consumer))
        events.push_back(InputEvent(EV_KEY, key, 0));
    if (const uint16_t key = EvdevFromConsumerUsage(usage))
        events.push_back(InputEvent(EV_KEY, key, 1));
    m_consumer = usage;
}
