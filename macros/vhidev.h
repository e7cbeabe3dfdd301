#pragma once
// The virtual HID keyboard as the program drives it: four input channels, each a report id and its
// current payload, sent as 64-byte reports (byte 0 = 5, byte 1 = the report id, the payload from byte
// 2; without a report id the payload from byte 1).
//
//   channel    id  payload
//   keyboard   1   33 bytes: byte 0 zero, bytes 1-32 a bitmap of usages 0-255 (usage u: byte 1 + u/8,
//                  bit u%8; modifiers 0xE0-0xE7 in byte 29)
//   mouse      2   4 bytes: button bits (0 left, 1 right, 2 middle, 3 button 4, 4 button 5), three zeros
//   consumer   3   2 bytes: one consumer usage, little-endian; 0 none
//   fourth     4   2 bytes, always 0
//
// One lock covers each change of a channel together with its report, so channels changed from the
// filter monitor and the macro player at once never lose a bit or send a report out of order.

#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/virtual_hid_device.h"

class IVHidevProxy {
public:
    virtual ~IVHidevProxy() = default;
    // One report of `reportId` with `payload`; false when it could not be written.
    virtual bool SendReport(std::span<const uint8_t> payload, uint8_t reportId) = 0;
};

class VHidev : public IVHidevProxy {
public:
    static constexpr uint8_t kKeyboardReport = 1;
    static constexpr uint8_t kMouseReport = 2;
    static constexpr uint8_t kConsumerReport = 3;
    static constexpr uint8_t kFourthReport = 4;

    static constexpr uint8_t kButtonLeft = 0x01;
    static constexpr uint8_t kButtonRight = 0x02;
    static constexpr uint8_t kButtonMiddle = 0x04;
    static constexpr uint8_t kButton4 = 0x08;
    static constexpr uint8_t kButton5 = 0x10;

    // `name` (UTF-8) is what the device is created under: the device name.
    VHidev(VirtualHidDevice& device, std::string name) : m_device(device), m_name(std::move(name)) {}

    // Opens the device unless it is open already; whether it is open. A device opened anew starts
    // with every channel at rest.
    bool FindVirtualDevice();
    // Why the last open failed (Ok after a success).
    DeviceAccess LastAccess() const;
    void Close();

    bool SendReport(std::span<const uint8_t> payload, uint8_t reportId) override;

    // Sets or clears usage `usage` (0-255) of the bitmap and sends the keyboard channel.
    bool SetKey(unsigned usage, bool pressed);
    // Sends the consumer channel with `usage` (0 = none).
    bool SetConsumerUsage(unsigned usage);
    // Sets or clears button bits `mask` and sends the mouse channel.
    bool SetMouseButtons(uint8_t mask, bool pressed);
    // Every channel to rest, each sent: keyboard, mouse, consumer, fourth.
    void ReleaseAll();

private:
    bool SendLocked(std::span<const uint8_t> payload, uint8_t reportId);
    void ResetChannels();

    mutable std::mutex m_lock;
    VirtualHidDevice& m_device;
    const std::string m_name;
    DeviceAccess m_access = DeviceAccess::Ok;
    std::vector<uint8_t> m_keyboard = std::vector<uint8_t>(33);
    std::vector<uint8_t> m_mouse = std::vector<uint8_t>(4);
    std::vector<uint8_t> m_consumer = std::vector<uint8_t>(2);
    std::vector<uint8_t> m_fourth = std::vector<uint8_t>(2);
};
