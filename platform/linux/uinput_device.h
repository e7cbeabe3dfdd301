#pragma once
// One uinput device: created with its capabilities, fed whole event frames, destroyed. Both the
// virtual keyboard and the key filter's pass-through device are made of it.

#include <linux/input.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/linux/device_io.h"
#include "platform/virtual_hid_device.h"

struct UinputCapabilities {
    std::string name; // UTF-8; cut to what uinput takes
    input_id id{};
    std::vector<uint16_t> keys;
    std::vector<uint16_t> relativeAxes;
    std::vector<uint16_t> miscEvents;
    bool autoRepeat = false; // the kernel repeats held keys
};

class UinputDevice {
public:
    static constexpr const char* kPath = "/dev/uinput";

    explicit UinputDevice(DeviceIo& io) : m_io(io) {}
    ~UinputDevice() { Destroy(); }
    UinputDevice(const UinputDevice&) = delete;
    UinputDevice& operator=(const UinputDevice&) = delete;

    // Ok at once when already created.
    DeviceAccess Create(const UinputCapabilities& capabilities);
    bool IsCreated() const { return m_fd >= 0; }
    // The kernel releases whatever keys the device still holds.
    void Destroy();
    // One write, so a frame reaches readers whole. The caller ends frames with SYN_REPORT.
    bool Emit(std::span<const input_event> events);

private:
    bool Setup(int fd, const UinputCapabilities& capabilities);

    DeviceIo& m_io;
    int m_fd = -1;
};

inline input_event InputEvent(uint16_t type, uint16_t code, int32_t value)
{
    input_event event{};
    event.type = type;
    event.code = code;
    event.value = value;
    return event;
}
