#pragma once
// One simulated keyboard: its HID interfaces per connection mode, which modes are connected, the
// firmware, a log of every transfer it saw, and the failures it has been told to produce. Thread-safe;
// created by KeyboardSimulator, which raises the arrival and removal events.
//
// Failures: a rule matches a transfer by number, kind of transfer and kind of report (each optional);
// the first rule that matches is used up by one match (or never, with kEveryTime). A failed transfer
// reaches no firmware: it is logged and returns -1, at once (Error) or after the caller's time-out
// (TimedOut); WrongReportId answers a feature read with report id 0. While the keyboard does not answer,
// every transfer times out. A transfer on a handle of an ended connection is logged as NoDevice and
// fails at once, as on an unplugged device.

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/hid_backend.h"
#include "platform/hid_device_events.h"
#include "platform/monotonic_clock.h"
#include "sim/keyboard_firmware.h"
#include "sim/simulated_model.h"

enum class SimOutcome {
    Taken,    // the firmware used it (or answered the read)
    Ignored,  // arrived, but the firmware had no use for it
    Failed,   // failed on the way (injected)
    TimedOut, // no answer until the caller's time-out (injected, or not answering)
    NoDevice, // tried on a handle whose connection had ended: nothing reached the keyboard
};

enum class SimFault { Error, TimedOut, WrongReportId };

struct SimFailure {
    static constexpr int kEveryTime = -1;

    uint64_t transferNumber = 0; // 0: any
    std::optional<SimTransfer> transfer{};
    std::optional<SimReport> report{};
    int times = 1;
    SimFault fault = SimFault::Error;
};

struct SimLogEntry {
    uint64_t number = 0; // 1, 2, ... over the keyboard's life; ClearLog does not restart it
    MonotonicClock::TimePoint time;
    SimTransfer transfer = SimTransfer::Write;
    int connectionMode = 0;
    int interfaceNumber = -1; // -1 on Bluetooth LE
    SimReport report = SimReport::Unknown;
    std::vector<uint8_t> bytes; // what arrived, padding included; for a read the answer given (or empty)
    SimOutcome outcome = SimOutcome::Taken;
};

// The simulator announces interfaces as the system does.
using SimDeviceEventKind = HidDeviceEventKind;
using SimDeviceEvent = HidDeviceEvent;

class SimulatedKeyboard {
public:
    using EventSink = std::function<void(const std::vector<SimDeviceEvent>&)>;

    // Interfaces are named with `instance` (from the model when it has one). Events go to `sink`,
    // called with no lock held.
    SimulatedKeyboard(const SimulatedModel& model, std::string instance, std::string pathPrefix,
                      MonotonicClock& clock, EventSink sink);

    const SimulatedModel& Model() const { return m_model; }

    // Connection. Connect and Disconnect return false when nothing changes (mode absent from the model,
    // already in that state). SwitchTo leaves exactly `mode` connected.
    bool Connect(int mode);
    bool Disconnect(int mode);
    void DisconnectAll();
    bool SwitchTo(int mode);
    bool IsConnected(int mode) const;
    // The interface names of a mode, in enumeration order (one per collection).
    std::vector<std::string> InterfaceNames(int mode) const;
    // Handles open on the keyboard, connected or not.
    int OpenHandles() const;

    // Firmware state.
    FirmwareState State() const;
    void LoadState(const FirmwareState& state);
    void SetFirmwareVersion(uint16_t version);

    // Log.
    std::vector<SimLogEntry> Log() const;
    std::vector<SimLogEntry> Reports(SimReport report) const;
    uint64_t NextTransferNumber() const;
    void ClearLog();

    // Failures.
    void AddFailure(const SimFailure& failure);
    void FailTransfer(uint64_t number, SimFault fault = SimFault::Error);
    void FailReports(SimReport report, int times = 1, SimFault fault = SimFault::Error);
    void FailTransfers(SimTransfer transfer, int times = 1, SimFault fault = SimFault::Error);
    // The next `count` opens fail.
    void FailOpens(int count);
    void ClearFailures();
    void StopAnswering();
    void ResumeAnswering();

    // The backend's side, used by the simulator and its device handles.
    void AppendInterfaces(std::vector<HidInterfaceInfo>& out) const;
    struct Handle {
        size_t node = 0;
        uint64_t connection = 0;
    };
    std::optional<Handle> Open(const std::string& path);
    void Close(const Handle& handle);
    // -1 on failure, with the error text and how it failed.
    int Transfer(const Handle& handle, SimTransfer transfer, std::span<uint8_t> report,
                 std::chrono::milliseconds timeout, std::wstring& error, HidFault& fault);
    size_t OutputReportLength(const Handle& handle) const;

private:
    // One hidraw-like node: a path with one or more collections.
    struct Node {
        int mode = 0;
        int interfaceNumber = -1;
        SimInterfaceRole role = SimInterfaceRole::Other;
        std::string path;
        std::vector<HidInterfaceInfo> collections;
    };
    struct ModeState {
        bool connected = false;
        uint64_t connection = 0; // counts connections; handles of an earlier one are dead
    };

    void BuildNodes(const std::string& instance, const std::string& pathPrefix);
    ModeState* FindMode(int mode);
    const ModeState* FindMode(int mode) const;
    std::vector<SimDeviceEvent> EventsOf(int mode, SimDeviceEventKind kind) const;
    std::optional<SimFault> TakeFailure(const SimLogEntry& entry);

    const SimulatedModel m_model;
    MonotonicClock& m_clock;
    EventSink m_sink;
    std::vector<Node> m_nodes;

    mutable std::mutex m_lock;
    std::vector<std::pair<int, ModeState>> m_modes;
    KeyboardFirmware m_firmware;
    std::vector<SimLogEntry> m_log;
    uint64_t m_nextNumber = 1;
    std::vector<SimFailure> m_failures;
    int m_failOpens = 0;
    bool m_answering = true;
    int m_openHandles = 0;
};
