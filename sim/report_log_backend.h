#pragma once
// A HID backend that writes down every report its devices accept before handing the backend's answer
// back: one line per output or feature report, "<milliseconds since start> <interface> <bytes in hex>".
// The interface is "MI_xx" (the USB interface number, hex) or "BLE". Reads of feature reports are
// requests, not reports, and are left out. Lines are written whole and flushed at once, from whichever
// thread sends.

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "platform/hid_backend.h"
#include "platform/monotonic_clock.h"

class ReportLogBackend final : public HidBackend {
public:
    // `inner` and `clock` must outlive the backend. Time 0 is now.
    ReportLogBackend(HidBackend& inner, MonotonicClock& clock);
    ~ReportLogBackend() override;

    // Starts a new log file (replacing one that exists); false when it cannot be written.
    bool OpenLog(const std::string& path);

    bool Init() override;
    void Exit() override;
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;

    // One line of the log, without its line break.
    static std::string FormatLine(int64_t milliseconds, const std::string& interfaceName,
                                  std::span<const uint8_t> report);
    void Append(const std::string& interfaceName, std::span<const uint8_t> report);

private:
    HidBackend& m_inner;
    MonotonicClock& m_clock;
    const MonotonicClock::TimePoint m_start;
    std::mutex m_lock; // the file and the interface names
    std::FILE* m_file = nullptr;
    std::map<std::string, std::string> m_interfaceOf; // path → interface, from the last enumeration
};
