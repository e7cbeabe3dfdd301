#pragma once
// The system's HID interfaces as the HID manager needs them: enumeration, open by path and three
// blocking transfers with a time-out. The real backend is hidapi on hidraw (platform/linux); tests and
// the simulated run use the keyboard simulator (sim/).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/hid_interface_name.h"

// One enumerated interface (one top-level collection of a HID device).
struct HidInterfaceInfo {
    std::string path; // what Open takes: a hidraw node, or the simulator's own path
    std::string name; // the Windows-style interface name that interface patterns are matched against
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t releaseNumber = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    int interfaceNumber = -1; // USB interface number; -1 when the bus has none
    HidBus bus = HidBus::Unknown;
};

// Stored as an interface's last error when a transfer does not complete in time.
inline constexpr wchar_t kHidTimedOutText[] = L"The device did not answer in time.";

// How a transfer failed.
enum class HidFault {
    None,     // no transfer has failed
    Failed,   // the device refused or lost the report; the next one may get through
    TimedOut, // no answer in time (or the device is still busy with a transfer that overran)
    Gone,     // the device is no longer there; every later transfer on the handle fails at once
};

// An opened interface. Transfers block until the device answered or `timeout` passed; a transfer that
// ran out of time counts as failed. Byte 0 of every report is the report id.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    // An output report. Bytes transferred, or -1.
    virtual int Write(std::span<const uint8_t> report, std::chrono::milliseconds timeout) = 0;
    // A feature report to the device. Bytes transferred, or -1.
    virtual int SendFeatureReport(std::span<const uint8_t> report, std::chrono::milliseconds timeout) = 0;
    // Asks for the feature report whose id is in report[0]; the answer overwrites `report`, which is left
    // untouched on failure. Bytes received (the id included), or -1.
    virtual int GetFeatureReport(std::span<uint8_t> report, std::chrono::milliseconds timeout) = 0;

    // The longest output report in bytes, the report-id byte included (Windows counts it the same way);
    // 0 when the interface has no output report or its length is unknown.
    virtual size_t OutputReportLength() const = 0;
    // Gives up whatever transfer is still pending on the handle.
    virtual void CancelIo() = 0;
    // Text of the last failed transfer; empty when none failed.
    virtual std::wstring LastError() const = 0;
    // How the last failed transfer failed. Gone stays: a handle whose device went never works again.
    virtual HidFault LastFault() const = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Prepares the library; true once it can enumerate and open. Called again while it has not succeeded.
    virtual bool Init() = 0;
    virtual void Exit() = 0;
    // Every present HID interface of the system, unfiltered. No product, manufacturer or serial strings.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // Opens an interface for reading and writing; null when it cannot be opened.
    virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
};
