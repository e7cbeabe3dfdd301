#pragma once
// A simulated keyboard of either family behind its own HID manager, a profile database in a fresh data
// folder, and the command protocol over both, paced by a manual clock: pauses take no real time and show
// as exact gaps between the simulator's timestamps.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "device/command_protocol.h"
#include "platform/fake/manual_monotonic_clock.h"
#include "sim/keyboard_simulator.h"
#include "tests/support/scoped_folders.h"

// Reports as the simulator logged them, or as a test expects them.
using Reports = std::vector<std::vector<uint8_t>>;

// The manual clock; when asked, every pause also yields a little real time, so that another thread's
// transfers get every chance to land inside a job.
class PacingClock : public ManualMonotonicClock {
public:
    void SleepFor(Duration duration) override;
    std::atomic<bool> yieldRealTime{false};
    // Called after every pause with the time slept so far (set it before the job starts).
    std::function<void(Duration elapsed)> afterPause;
};

// A run of log entries of one kind, each the same time after the one before it.
struct TimelineStep {
    SimReport report = SimReport::Unknown;
    int gapMs = 0; // after the previous entry (the first: after the time Timeline was given)
    int count = 1;

    bool operator==(const TimelineStep&) const = default;
};
std::ostream& operator<<(std::ostream& out, const TimelineStep& step);

// A macro record: type 2 press, 3 release (other types are not events), a virtual key and a delay.
struct RecordStep {
    int type = 2;
    int virtualKey = 0;
    int delayMs = 0;
};

class ProtocolTest : public testing::Test {
protected:
    static constexpr int kProfile = 1;
    static constexpr int kLayer = 0;

    ProtocolTest();

    // Adds the keyboard, makes its modes known, connects `mode` and runs the device scan.
    SimulatedKeyboard& Connect(const SimulatedModel& model, int mode = 0);
    SimulatedKeyboard& Keyboard() { return *m_keyboard; }
    // Leaves only `mode` connected and scans again.
    void SwitchTo(int mode);

    // --- Database rows ---
    int AddMacro(int playTimes, const std::vector<RecordStep>& records);
    // Stores an assignment of profile 1, layer 0.
    void Assign(int keyCode, int macroType, int value);
    // Stores a lighting row of profile 1 with the given fields.
    void AddLight(const LightRow& row);
    void AddKeyLights(std::initializer_list<std::pair<int, COLORREF>> colours,
                      int lightSet = kCustomLightSet);

    // --- The log ---
    MonotonicClock::TimePoint Now() const { return m_clock.Now(); }
    // The log since `start`, as runs of one kind with one gap.
    std::vector<TimelineStep> Timeline(MonotonicClock::TimePoint start) const;
    // The bytes of every logged transfer of a kind, in order.
    Reports Sent(SimReport report) const;
    // Entries of `report` whose outcome is `outcome`.
    int Count(SimReport report, SimOutcome outcome = SimOutcome::Taken) const;

    ScopedFolders m_folders;
    ProfileDatabase m_database;
    PacingClock m_clock;
    KeyboardSimulator m_sim{m_clock};
    HidDeviceManager m_manager{m_sim, m_clock};
    CommandProtocol m_protocol{m_manager, m_database, m_clock};

private:
    SimulatedKeyboard* m_keyboard = nullptr;
};

// A report of `length` bytes: `bytes` from the start, zeros after.
std::vector<uint8_t> Report(std::initializer_list<uint8_t> bytes, size_t length);
std::vector<uint8_t> Feature(std::initializer_list<uint8_t> bytes);
std::vector<uint8_t> Output(std::initializer_list<uint8_t> bytes);
