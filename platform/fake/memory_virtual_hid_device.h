#pragma once
// The virtual HID keyboard in memory: it keeps every report written to it, in order, with the time of
// the write on the clock it was given. Also what a simulated run types on. Thread-safe.

#include <array>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/monotonic_clock.h"
#include "platform/virtual_hid_device.h"

class MemoryVirtualHidDevice : public VirtualHidDevice {
public:
    using Report = std::array<uint8_t, kReportLength>;
    struct Entry {
        Report report{};
        MonotonicClock::TimePoint time{};
    };

    // Without a clock every entry has time zero.
    explicit MemoryVirtualHidDevice(const MonotonicClock* clock = nullptr) : m_clock(clock) {}

    // What Open answers from now on (Ok by default).
    void SetOpenResult(DeviceAccess result);
    // Makes writes fail (while the device stays open).
    void SetWriteFails(bool fails);
    // Called after each recorded write, outside the lock (benchmarks time the path with it).
    void SetWriteObserver(std::function<void(const Report&)> observer);

    std::vector<Entry> Entries() const;
    std::vector<Report> Reports() const;
    void Clear();
    std::string Name() const;
    int OpenCount() const;

    DeviceAccess Open(const std::string& name) override;
    bool IsOpen() const override;
    void Close() override;
    bool Write(std::span<const uint8_t, kReportLength> report) override;

private:
    const MonotonicClock* m_clock;
    mutable std::mutex m_lock;
    DeviceAccess m_openResult = DeviceAccess::Ok;
    bool m_open = false;
    bool m_writeFails = false;
    int m_openCount = 0;
    std::string m_name;
    std::vector<Entry> m_entries;
    std::function<void(const Report&)> m_observer;
};
