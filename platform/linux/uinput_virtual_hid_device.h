#pragma once
// The virtual HID keyboard as a uinput device. It keeps the state of each channel and turns every
// change a report brings into key events, closed by SYN_REPORT: keyboard usages and the media
// functions' consumer usages become their evdev keys, mouse buttons BTN_LEFT ... BTN_EXTRA. A report
// that changes nothing writes nothing; the fourth channel and unknown report ids carry no input.

#include <array>
#include <bitset>
#include <mutex>

#include "platform/linux/device_io.h"
#include "platform/linux/uinput_device.h"
#include "platform/virtual_hid_device.h"

class UinputVirtualHidDevice : public VirtualHidDevice {
public:
    // The identity the program has always given its virtual device.
    static constexpr uint16_t kVendorId = 0xDEED;
    static constexpr uint16_t kProductId = 0xFEED;

    explicit UinputVirtualHidDevice(DeviceIo& io = SystemDeviceIo::Shared()) : m_device(io) {}

    DeviceAccess Open(const std::string& name) override;
    bool IsOpen() const override;
    void Close() override;
    bool Write(std::span<const uint8_t, kReportLength> report) override;

private:
    void KeyboardChanges(std::span<const uint8_t> bitmap, std::vector<input_event>& events);
    void MouseChanges(uint8_t buttons, std::vector<input_event>& events);
    void ConsumerChanges(unsigned usage, std::vector<input_event>& events);

    mutable std::mutex m_lock;
    UinputDevice m_device;
    std::bitset<256> m_keys;
    uint8_t m_buttons = 0;
    unsigned m_consumer = 0;
};
