#pragma once
// Software keys over the in-memory virtual keyboard and key filter, a real profile database in a fresh
// data folder and a clock that only moves when slept on, with actions that run when the played time
// reaches them (a key released 30 ms into a macro).

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <vector>

#include "macros/software_keys.h"
#include "platform/fake/manual_monotonic_clock.h"
#include "platform/fake/memory_key_filter_device.h"
#include "platform/fake/memory_virtual_hid_device.h"
#include "tests/support/scoped_folders.h"

using Report = MemoryVirtualHidDevice::Report;
using Reports = std::vector<Report>;

// The 64-byte reports as the virtual keyboard receives them.
Report KeyboardReport(std::initializer_list<unsigned> usages);
Report MouseReport(uint8_t buttons);
Report ConsumerReport(unsigned usage);
Report FourthReport();
Reports ReleaseAllReports();
// The keyboard usages held in a keyboard report.
std::vector<unsigned> HeldUsages(const Report& report);
std::string Describe(const Report& report);

class ScriptedClock : public ManualMonotonicClock {
public:
    // Runs `action` on the sleeping thread once `at` has been played (time since the clock began).
    void At(std::chrono::milliseconds at, std::function<void()> action);
    void SleepFor(Duration duration) override;
    std::chrono::milliseconds Played() const;

private:
    struct Scheduled {
        std::chrono::milliseconds at;
        std::function<void()> action;
    };
    std::mutex m_lock;
    std::vector<Scheduled> m_actions;
};

struct RecordStep {
    int type = 2; // 2 press, 3 release
    int virtualKey = 0;
    int delayMs = 0;
};

class SoftwareKeysTest : public testing::Test {
protected:
    static constexpr int kProfile = 1;
    static constexpr int kLayer = 0;

    SoftwareKeysTest();
    ~SoftwareKeysTest() override;

    // Stores an assignment of profile 1, layer 0.
    void Assign(int keyCode, int macroType, int value, int profile = kProfile);
    int AddMacro(int playTimes, int loopType, const std::vector<RecordStep>& records);

    // Starts the software keys with the macro queue of a worker that plays nothing by itself.
    void Start();
    void Refresh() { m_keys->RefreshSoftwareKeys(kProfile, kLayer); }
    Reports Sent() const { return m_device.Reports(); }
    // Reports since the last ClearSent.
    void ClearSent() { m_device.Clear(); }
    // The times of the reports, relative to the first.
    std::vector<int> ReportTimesMs() const;

    // Waits (real time) until the device has received `count` reports.
    bool WaitForReports(size_t count) const;

    ScopedFolders m_folders;
    ProfileDatabase m_database;
    ScriptedClock m_clock;
    MemoryVirtualHidDevice m_device{&m_clock};
    MemoryKeyFilterDevice m_filter;
    std::unique_ptr<SoftwareKeys> m_keys;

    // The worker's macro-play queue, reduced to what the software keys see of it.
    std::mutex m_queueLock;
    std::vector<int> m_queue;
};
