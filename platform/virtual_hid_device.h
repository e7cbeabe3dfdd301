#pragma once
// The virtual HID keyboard that software keys and macros type on. The program writes 64-byte reports:
// byte 0 is 5, byte 1 the channel's report id (1 keyboard bitmap, 2 mouse buttons, 3 consumer usage, 4 the
// fourth channel), the channel's payload from byte 2. The backend turns each report into input: the
// Linux backend is a uinput device (platform/linux), the in-memory one records every report.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Why a device of the software keys could not be opened.
enum class DeviceAccess {
    Ok,
    Denied,  // no permission: the udev rule is not installed
    Missing, // the kernel facility is not there (uinput not loaded)
    Failed,  // anything else
};

class VirtualHidDevice {
public:
    static constexpr size_t kReportLength = 64;
    static constexpr uint8_t kReportTag = 5; // byte 0 of every report

    virtual ~VirtualHidDevice() = default;

    // Creates the device under `name` (UTF-8). Ok at once when it is already open.
    virtual DeviceAccess Open(const std::string& name) = 0;
    virtual bool IsOpen() const = 0;
    // Keys the device still holds are released by the system when it goes away.
    virtual void Close() = 0;
    // One synchronous write; false when the device is not open or the write failed.
    virtual bool Write(std::span<const uint8_t, kReportLength> report) = 0;
};
