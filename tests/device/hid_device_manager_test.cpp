#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include "device/device_description.h"
#include "device/hid_device_manager.h"
#include "platform/fake/manual_monotonic_clock.h"
#include "sim/keyboard_simulator.h"
#include "tests/support/scoped_folders.h"

using namespace std::chrono_literals;

namespace {

using Feature = std::array<uint8_t, HidDeviceManager::kFeatureReportLength>;
using Output = std::array<uint8_t, HidDeviceManager::kOutputReportLength>;
using Payload = std::array<uint8_t, HidDeviceManager::kPayloadLength>;
using SlotTable = std::array<uint8_t, HidDeviceManager::kSlotTableLength>;

Output OutputReport(std::initializer_list<uint8_t> bytes)
{
    Output report{};
    std::copy(bytes.begin(), bytes.end(), report.begin());
    return report;
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// One keyboard on a simulator of its own, and a manager that knows the keyboard's modes.
template <typename Clock = ManualMonotonicClock> struct Rig {
    explicit Rig(const SimulatedModel& model) : keyboard(sim.AddKeyboard(model))
    {
        for (const SimulatedMode& mode : model.modes)
            manager.AddKnownDevice(model.vendorId, mode.productId, L"", model.deviceType, mode.connectionMode,
                                   L"");
    }

    // The device scan's use of the manager.
    void Scan()
    {
        manager.CloseAll();
        manager.Refresh();
        manager.SetOpened(1);
        manager.SelectDeviceType(keyboard.Model().deviceType);
    }

    Clock clock;
    KeyboardSimulator sim{clock};
    HidDeviceManager manager{sim, clock};
    SimulatedKeyboard& keyboard;
};

// A simulator with one keyboard, and a manager over it that knows that keyboard's modes.
class HidDeviceManagerTest : public testing::Test {
protected:
    SimulatedKeyboard& AddKeyboard(const SimulatedModel& model, bool known = true)
    {
        SimulatedKeyboard& keyboard = m_sim.AddKeyboard(model);
        if (known) {
            for (const SimulatedMode& mode : model.modes)
                m_manager.AddKnownDevice(model.vendorId, mode.productId, L"", model.deviceType,
                                         mode.connectionMode, L"");
        }
        return keyboard;
    }

    // The device scan's use of the manager.
    void Scan(int deviceType)
    {
        m_manager.CloseAll();
        m_manager.Refresh();
        m_manager.SetOpened(1);
        m_manager.SelectDeviceType(deviceType);
    }

    std::vector<DeviceInterface> Collect()
    {
        std::vector<DeviceInterface> interfaces;
        m_manager.CollectInterfaces(interfaces);
        return interfaces;
    }

    MonotonicClock::Duration Since(MonotonicClock::TimePoint start) const { return m_clock.Now() - start; }

    ManualMonotonicClock m_clock;
    KeyboardSimulator m_sim{m_clock};
    HidDeviceManager m_manager{m_sim, m_clock};
};

} // namespace

TEST_F(HidDeviceManagerTest, OpensTheVendorInterfacesAndKeepsInterface3AsTheAuxiliaryOne)
{
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::OutputKeyboard());
    keyboard.Connect(0);
    Scan(101);

    // Interface 0 (the boot keyboard) is closed again; interface 3 is open but not listed.
    const std::vector<DeviceInterface> interfaces = Collect();
    ASSERT_EQ(interfaces.size(), 1u);
    const DeviceInterface& command = interfaces[0];
    EXPECT_EQ(command.index, 0);
    EXPECT_NE(command.path.find("VID_1209&PID_0004&MI_01#"), std::string::npos) << command.path;
    EXPECT_EQ(command.devicePath, "sim/1/0/1");
    EXPECT_EQ(command.productId, 0x0004);
    EXPECT_EQ(command.releaseNumber, 0x0100);
    EXPECT_EQ(command.deviceType, 101);
    EXPECT_EQ(command.connectionMode, 0);
    EXPECT_TRUE(command.wired);
    EXPECT_TRUE(command.productString.empty());
    EXPECT_EQ(m_manager.ActiveInterface(), command);
    EXPECT_EQ(keyboard.OpenHandles(), 2);

    EXPECT_TRUE(m_manager.WriteReport(OutputReport({0x00, 0x88, 0x00, 0x03})));
    EXPECT_TRUE(m_manager.WriteAuxReport(OutputReport({0x00, 0xF1, 60, 0x00, 0x00, 0x11})));
    const std::vector<SimLogEntry> log = keyboard.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].interfaceNumber, 1);
    EXPECT_EQ(log[0].report, SimReport::LightingMode);
    EXPECT_EQ(log[1].interfaceNumber, 3);
    EXPECT_EQ(log[1].report, SimReport::StreamFrame);
    EXPECT_EQ(log[1].outcome, SimOutcome::Taken);
}

TEST_F(HidDeviceManagerTest, AVendorInterface3YieldsNoListEntry)
{
    SimulatedModel model = SimulatedModel::OutputKeyboard();
    model.modes[0].commandInterface = 3;
    model.modes[0].streamInterface = false;
    SimulatedKeyboard& keyboard = AddKeyboard(model);
    keyboard.Connect(0);
    Scan(101);

    std::vector<DeviceInterface> interfaces;
    EXPECT_FALSE(m_manager.CollectInterfaces(interfaces));
    EXPECT_FALSE(m_manager.ActiveInterface());
    EXPECT_EQ(m_manager.ConnectedMode(), -1);
    EXPECT_FALSE(m_manager.WriteReport(OutputReport({0x00, 0x88})));
    EXPECT_TRUE(m_manager.WriteAuxReport(OutputReport({0x00, 0xF1})));
    ASSERT_EQ(keyboard.Log().size(), 1u);
    EXPECT_EQ(keyboard.Log()[0].interfaceNumber, 3);
}

TEST(HidDeviceManagerModes, CommandsPreferMode1WhileTheConnectedModePrefers2)
{
    struct Case {
        std::vector<int> connected;
        int activeMode; // -1: no active interface
        int connectedMode;
    };
    const Case cases[] = {
        {{0, 1, 2}, 0, 0}, {{1, 2}, 1, 2}, {{2, 1}, 1, 2}, {{0, 2}, 0, 0},
        {{1}, 1, 1},       {{2}, 2, 2},    {{}, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.connected));
        Rig rig(SimulatedModel::FeatureKeyboard());
        for (int mode : c.connected)
            rig.keyboard.Connect(mode);
        rig.Scan();
        HidDeviceManager& manager = rig.manager;

        const std::optional<DeviceInterface> active = manager.ActiveInterface();
        EXPECT_EQ(active ? active->connectionMode : -1, c.activeMode);
        EXPECT_EQ(manager.ConnectedMode(), c.connectedMode);
        if (active) {
            EXPECT_EQ(active->wired, c.activeMode == 0);
        }
    }
}

TEST_F(HidDeviceManagerTest, TypeZeroCollectsEverythingButRoutesOnlyToTypeZero)
{
    SimulatedKeyboard& typed = AddKeyboard(SimulatedModel::FeatureKeyboard());
    SimulatedModel otherModel = SimulatedModel::FeatureKeyboard();
    otherModel.modes = {{1, 0x0010, HidBus::Usb, 2, false}};
    SimulatedKeyboard& other = m_sim.AddKeyboard(otherModel);
    m_manager.AddKnownDevice(0x1209, 0x0010, L"", 0, 1, L"");
    typed.Connect(0);
    other.Connect(1);

    std::vector<DeviceInterface> untouched = {DeviceInterface{}};
    EXPECT_FALSE(m_manager.CollectInterfaces(untouched));
    EXPECT_EQ(untouched.size(), 1u);

    Scan(0);
    std::vector<DeviceInterface> interfaces = {DeviceInterface{}};
    ASSERT_TRUE(m_manager.CollectInterfaces(interfaces));
    ASSERT_EQ(interfaces.size(), 3u); // appended after what the list held
    EXPECT_EQ(interfaces[1].deviceType, 201);
    EXPECT_EQ(interfaces[2].deviceType, 0);
    ASSERT_TRUE(m_manager.ActiveInterface());
    EXPECT_EQ(m_manager.ActiveInterface()->productId, 0x0010); // the cable keyboard is not of type 0
    EXPECT_EQ(m_manager.ConnectedMode(), 1);

    m_manager.SelectDeviceType(201);
    ASSERT_EQ(Collect().size(), 1u);
    EXPECT_EQ(Collect()[0].productId, 0x0001);
    EXPECT_EQ(m_manager.ActiveInterface()->productId, 0x0001);
    EXPECT_EQ(m_manager.ConnectedMode(), 0);
}

TEST_F(HidDeviceManagerTest, KnownDeviceRulesAndFindInterface)
{
    SimulatedModel model = SimulatedModel::FeatureKeyboard();
    SimulatedKeyboard& keyboard = m_sim.AddKeyboard(model);
    SimulatedModel strangerModel = model;
    strangerModel.vendorId = 0x046D;
    SimulatedKeyboard& stranger = m_sim.AddKeyboard(strangerModel);
    // Type and mode come from the first row with the ids, though only the second row (no product name)
    // makes the interface known. Product 2 is known only by a name, which no interface carries.
    m_manager.AddKnownDevice(0x1209, 0x0001, L"Corvid", 7, 2, L"");
    m_manager.AddKnownDevice(0x1209, 0x0001, L"", 201, 0, L"");
    m_manager.AddKnownDevice(0x1209, 0x0002, L"Corvid", 201, 1, L"");
    keyboard.Connect(0);
    keyboard.Connect(1);
    stranger.Connect(0);
    Scan(0);

    const std::vector<DeviceInterface> interfaces = Collect();
    ASSERT_EQ(interfaces.size(), 1u);
    EXPECT_EQ(interfaces[0].productId, 0x0001);
    EXPECT_EQ(interfaces[0].deviceType, 7);
    EXPECT_EQ(interfaces[0].connectionMode, 2);
    EXPECT_FALSE(interfaces[0].wired);
    EXPECT_EQ(stranger.OpenHandles(), 0);

    EXPECT_EQ(m_manager.FindInterface(0x1209, 0x0001, L"", 2), 0);
    EXPECT_EQ(m_manager.FindInterface(0x1209, 0x0001, L"Corvid", 2), -1);
    EXPECT_EQ(m_manager.FindInterface(0x1209, 0x0001, L"", 0), -1);
    EXPECT_EQ(m_manager.FindInterface(0x1209, 0x0002, L"", 1), -1);
}

TEST_F(HidDeviceManagerTest, OutputReportsArePaddedToLongerInterfaces)
{
    struct Case {
        size_t interfaceLength;
        size_t written;
    };
    for (const Case c : {Case{33, 65}, Case{65, 65}, Case{129, 129}}) {
        SCOPED_TRACE(c.interfaceLength);
        SimulatedModel model = SimulatedModel::OutputKeyboard();
        model.outputReportLength = c.interfaceLength;
        Rig rig(model);
        rig.keyboard.Connect(0);
        rig.Scan();

        Output report;
        for (size_t i = 0; i < report.size(); ++i)
            report[i] = static_cast<uint8_t>(i);
        report[1] = 0x8B;
        ASSERT_TRUE(rig.manager.WriteReport(report));
        ASSERT_TRUE(rig.manager.WriteAuxReport(report));
        for (const SimLogEntry& entry : rig.keyboard.Log()) {
            ASSERT_EQ(entry.bytes.size(), c.written);
            EXPECT_TRUE(std::equal(report.begin(), report.end(), entry.bytes.begin()));
            EXPECT_TRUE(
                std::all_of(entry.bytes.begin() + 65, entry.bytes.end(), [](uint8_t b) { return b == 0; }));
        }
    }
}

TEST_F(HidDeviceManagerTest, SlotTableIsReadAsFourChunksAndFailedChunksKeepTheirBytes)
{
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::FeatureKeyboard());
    keyboard.Connect(0);
    Scan(201);
    FirmwareState state = keyboard.State();
    for (size_t i = 0; i < state.slotTable.size(); ++i)
        state.slotTable[i] = static_cast<uint8_t>(0x40 + i);
    keyboard.LoadState(state);

    SlotTable request{};
    request[0] = 0x07;
    request[1] = 0xFB;
    request[2] = 0x01;
    std::fill(request.begin() + 8, request.end(), 0xEE);

    struct Case {
        std::set<int> failingReads; // 0-3
    };
    for (const Case& c : {Case{{}}, Case{{1}}, Case{{0, 1, 2, 3}}}) {
        SCOPED_TRACE(testing::PrintToString(c.failingReads));
        keyboard.ClearLog();
        const uint64_t first = keyboard.NextTransferNumber();
        for (int k : c.failingReads)
            keyboard.FailTransfer(first + 1 + k);

        SlotTable table = request;
        EXPECT_TRUE(m_manager.ReadSlotTable(table));
        // A failed read never reached the keyboard, so the next read gets the chunk it missed.
        size_t chunk = 0;
        for (size_t k = 0; k < 4; ++k) {
            const bool failed = c.failingReads.count(static_cast<int>(k)) != 0;
            for (size_t i = 0; i < 7; ++i)
                EXPECT_EQ(table[7 * k + i], failed ? request[7 * k + i] : state.slotTable[7 * chunk + i])
                    << "byte " << 7 * k + i;
            chunk += failed ? 0 : 1;
        }

        const std::vector<SimLogEntry> log = keyboard.Log();
        ASSERT_EQ(log.size(), 5u);
        EXPECT_EQ(log[0].report, SimReport::SlotTableRequest);
        EXPECT_EQ(log[0].bytes, std::vector<uint8_t>(request.begin(), request.begin() + 8));
        for (size_t k = 1; k < log.size(); ++k) {
            EXPECT_EQ(log[k].transfer, SimTransfer::GetFeature);
            EXPECT_GE(log[k].time - log[k - 1].time, 16ms);
        }
    }
}

TEST_F(HidDeviceManagerTest, FirmwareVersion)
{
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::FeatureKeyboard());
    keyboard.Connect(0);
    Scan(201);
    keyboard.SetFirmwareVersion(0x0107);

    struct Case {
        const char* name;
        std::function<void(uint64_t next)> prepare;
        bool result;
        int version;
        size_t transfers;
    };
    const Case cases[] = {
        {"answered", [](uint64_t) {}, true, 0x0107, 2},
        {"a stale answer first",
         [&](uint64_t next) {
             keyboard.AddFailure({.transferNumber = next + 1, .fault = SimFault::WrongReportId});
         },
         true, 0x0107, 3},
        {"request fails", [&](uint64_t next) { keyboard.FailTransfer(next); }, false, -1, 1},
        {"read fails", [&](uint64_t next) { keyboard.FailTransfer(next + 1); }, false, -1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        keyboard.ClearLog();
        c.prepare(keyboard.NextTransferNumber());
        const MonotonicClock::TimePoint start = m_clock.Now();
        int version = -1;
        EXPECT_EQ(m_manager.ReadFirmwareVersion(version), c.result);
        EXPECT_EQ(version, c.version);

        const std::vector<SimLogEntry> log = keyboard.Log();
        ASSERT_EQ(log.size(), c.transfers);
        EXPECT_EQ(log[0].report, SimReport::FirmwareVersionRequest);
        EXPECT_GE(log[0].time - start, 16ms);
        for (size_t k = 1; k < log.size(); ++k)
            EXPECT_GE(log[k].time - log[k - 1].time, 16ms);
    }
}

TEST_F(HidDeviceManagerTest, CloseAllDoesNothingWhileTheOpenedFlagIsClear)
{
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::OutputKeyboard());
    keyboard.Connect(0);
    Scan(101);
    ASSERT_EQ(keyboard.OpenHandles(), 2);

    m_manager.SetOpened(0);
    EXPECT_FALSE(m_manager.WriteReport(OutputReport({0x00, 0x88})));
    m_manager.CloseAll();
    EXPECT_EQ(keyboard.OpenHandles(), 2);
    EXPECT_EQ(Collect().size(), 1u);
    m_manager.SetOpened(1);
    EXPECT_TRUE(m_manager.WriteReport(OutputReport({0x00, 0x88})));

    m_manager.CloseAll();
    EXPECT_EQ(m_manager.Opened(), 0);
    EXPECT_EQ(keyboard.OpenHandles(), 0);
    EXPECT_TRUE(Collect().empty());
    EXPECT_FALSE(m_manager.ActiveInterface());
    EXPECT_FALSE(m_manager.WriteAuxReport(OutputReport({0x00, 0xF1})));
}

TEST_F(HidDeviceManagerTest, EveryTransferFailsUntilTheOpenedFlagIsSet)
{
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::OutputKeyboard());
    keyboard.Connect(0);
    m_manager.Refresh();
    m_manager.SelectDeviceType(101);
    ASSERT_TRUE(m_manager.ActiveInterface());

    const Feature feature{0x07, 0x23, 0x45, 0x67, 0x89};
    SlotTable table{};
    int version = 0;
    EXPECT_FALSE(m_manager.SendFeature(feature));
    EXPECT_FALSE(m_manager.SendFeatureDelayed(feature));
    EXPECT_FALSE(m_manager.ReadSlotTable(table));
    EXPECT_FALSE(m_manager.ReadFirmwareVersion(version));
    EXPECT_FALSE(m_manager.WriteReport(OutputReport({0x00, 0x88})));
    EXPECT_FALSE(m_manager.WriteAuxReport(OutputReport({0x00, 0xF1})));
    EXPECT_FALSE(m_manager.WritePayload(Payload{0xBB, 0xAA, 0x99, 0x88}));
    EXPECT_TRUE(keyboard.Log().empty());
    EXPECT_EQ(m_clock.Elapsed(), MonotonicClock::Duration::zero());
}

TEST_F(HidDeviceManagerTest, WritesAreRetriedOnceAfterTheirPause)
{
    struct Primitive {
        const char* name;
        std::function<bool()> call;
        MonotonicClock::Duration pause; // zero: no retry
        bool trueWhenBothFail;
    };
    const Primitive primitives[] = {
        {"WriteReport",
         [&] {
             return m_manager.WriteReport(OutputReport({0x00, 0x8B, 60}));
         },
         10ms, false},
        {"WriteAuxReport",
         [&] {
             return m_manager.WriteAuxReport(OutputReport({0x00, 0x8B, 60}));
         },
         10ms, true},
        {"WritePayload",
         [&] {
             return m_manager.WritePayload(Payload{0xBB, 0xAA, 0x99, 0x88});
         },
         32ms, false},
        {"SendFeature",
         [&] {
             return m_manager.SendFeature(Feature{0x07, 0x23, 0x45, 0x67, 0x89});
         },
         MonotonicClock::Duration::zero(), false},
    };

    // The feature keyboard takes payloads, the output keyboard has the auxiliary interface; both are
    // known, and the output keyboard's cable interface is the active one for type 101.
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::OutputKeyboard());
    keyboard.Connect(0);
    for (const Primitive& primitive : primitives) {
        for (int failures : {0, 1, 2}) {
            SCOPED_TRACE(std::string(primitive.name) + ", failures " + std::to_string(failures));
            Scan(101);
            keyboard.ClearLog();
            if (failures > 0)
                keyboard.AddFailure({.times = failures});
            const bool retries = primitive.pause != MonotonicClock::Duration::zero();
            const bool expected = failures == 0 || (retries && failures == 1) || primitive.trueWhenBothFail;
            EXPECT_EQ(primitive.call(), expected);

            const std::vector<SimLogEntry> log = keyboard.Log();
            const size_t attempts = failures == 0 || !retries ? 1 : 2;
            ASSERT_EQ(log.size(), attempts);
            if (attempts == 2) {
                EXPECT_EQ(log[0].outcome, SimOutcome::Failed);
                EXPECT_GE(log[1].time - log[0].time, primitive.pause);
                EXPECT_EQ(log[1].bytes, log[0].bytes);
            }
            keyboard.ClearFailures();
        }
    }
    ASSERT_TRUE(m_manager.ActiveInterface());
    EXPECT_EQ(m_manager.LastError(m_manager.ActiveInterface()->id), L"The device did not take the report.");
}

TEST_F(HidDeviceManagerTest, SendFeatureDelayedWaitsFirstAndAlwaysAnswersFalse)
{
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::FeatureKeyboard());
    keyboard.Connect(0);
    Scan(201);
    const MonotonicClock::TimePoint start = m_clock.Now();

    EXPECT_FALSE(m_manager.SendFeatureDelayed(Feature{0x07, 0xFF, 0xFF, 0x01, 0x02, 0x1F, 0x00, 0x01}));
    const std::vector<SimLogEntry> log = keyboard.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_GE(log[0].time - start, 16ms);
    EXPECT_EQ(log[0].report, SimReport::Lighting);
    EXPECT_EQ(log[0].outcome, SimOutcome::Taken);
    EXPECT_EQ(keyboard.State().lighting.updates, 1);
}

TEST_F(HidDeviceManagerTest, AStalledKeyboardCostsOneTimeOutPerTransferLock)
{
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::FeatureKeyboard());
    keyboard.Connect(0);
    Scan(201);
    keyboard.StopAnswering();

    // On its own a primitive is its own lock: a write times out once and is not retried.
    MonotonicClock::TimePoint start = m_clock.Now();
    EXPECT_FALSE(m_manager.WriteReport(OutputReport({0x00, 0x8B, 60})));
    EXPECT_EQ(Since(start), HidDeviceManager::kTransferTimeout);
    EXPECT_EQ(m_manager.LastError(m_manager.ActiveInterface()->id), kHidTimedOutText);

    // Under a job's lock every transfer after the first time-out fails at once, without its pauses.
    keyboard.ClearLog();
    start = m_clock.Now();
    {
        auto job = m_manager.LockTransfers();
        EXPECT_TRUE(m_manager.CanTransfer());
        EXPECT_FALSE(m_manager.SendFeature(Feature{0x07, 0x23, 0x45, 0x67, 0x89}));
        EXPECT_FALSE(m_manager.CanTransfer());
        SlotTable table{0x07, 0xFB, 0x01};
        EXPECT_TRUE(m_manager.ReadSlotTable(table));
        int version = 0;
        EXPECT_FALSE(m_manager.ReadFirmwareVersion(version));
        EXPECT_FALSE(m_manager.WritePayload(Payload{0xBB, 0xAA, 0x99, 0x88}));
        EXPECT_FALSE(m_manager.SendFeatureDelayed(Feature{0x07, 0xF0, 0xAA}));
    }
    EXPECT_EQ(Since(start), HidDeviceManager::kTransferTimeout);
    const std::vector<SimLogEntry> log = keyboard.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].outcome, SimOutcome::TimedOut);

    // The next job tries again.
    EXPECT_TRUE(m_manager.CanTransfer());
    keyboard.ResumeAnswering();
    EXPECT_TRUE(m_manager.WriteReport(OutputReport({0x00, 0x8B, 60})));
}

TEST_F(HidDeviceManagerTest, AnUnpluggedKeyboardFailsAtOnceUntilTheNextScan)
{
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::OutputKeyboard());
    keyboard.Connect(0);
    Scan(101);
    keyboard.Disconnect(0);
    keyboard.Connect(0); // a new connection: the old handles stay dead

    const MonotonicClock::TimePoint start = m_clock.Now();
    EXPECT_FALSE(m_manager.WriteReport(OutputReport({0x00, 0x8B, 60})));
    EXPECT_EQ(m_manager.LastError(m_manager.ActiveInterface()->id), L"The device is not connected.");
    EXPECT_FALSE(m_manager.CanTransfer());
    // Nothing more reaches the dead handles, and no pause is taken for them.
    EXPECT_FALSE(m_manager.WritePayload(Payload{0xBB, 0xAA, 0x99, 0x88}));
    EXPECT_FALSE(m_manager.SendFeatureDelayed(Feature{0x07, 0xF0, 0xAA}));
    // The auxiliary interface counts as missing once a write found it gone, so a stream stops.
    EXPECT_FALSE(m_manager.WriteAuxReport(OutputReport({0x00, 0xF1})));
    EXPECT_FALSE(m_manager.WriteAuxReport(OutputReport({0x00, 0xF1})));
    EXPECT_EQ(Since(start), MonotonicClock::Duration::zero());

    const std::vector<SimLogEntry> log = keyboard.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].outcome, SimOutcome::NoDevice);
    EXPECT_EQ(log[0].report, SimReport::KeyColours);
    EXPECT_EQ(log[1].outcome, SimOutcome::NoDevice);
    EXPECT_EQ(log[1].interfaceNumber, 3);

    Scan(101);
    EXPECT_TRUE(m_manager.CanTransfer());
    EXPECT_TRUE(m_manager.WriteReport(OutputReport({0x00, 0x8B, 60})));
}

TEST_F(HidDeviceManagerTest, WhatCallersHoldOutlivesCloseAllAndARescan)
{
    SimulatedKeyboard& keyboard = AddKeyboard(SimulatedModel::FeatureKeyboard());
    keyboard.Connect(0);
    keyboard.Connect(1);
    Scan(201);
    const std::vector<DeviceInterface> before = Collect();
    const std::optional<DeviceInterface> active = m_manager.ActiveInterface();
    ASSERT_EQ(before.size(), 2u);
    ASSERT_TRUE(active);
    keyboard.FailTransfers(SimTransfer::Write, 2);
    EXPECT_FALSE(m_manager.WriteReport(OutputReport({0x00, 0x8B, 60})));
    EXPECT_FALSE(m_manager.LastError(active->id).empty());

    keyboard.Disconnect(0);
    Scan(201);
    // The copies still read as they were; their ids name nothing any more.
    EXPECT_EQ(active->connectionMode, 0);
    EXPECT_NE(before[0].path.find("PID_0001"), std::string::npos);
    EXPECT_TRUE(m_manager.LastError(active->id).empty());
    const std::vector<DeviceInterface> after = Collect();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].connectionMode, 1);
    EXPECT_NE(after[0].id, before[1].id) << "an id is never given to another interface";
    EXPECT_EQ(m_manager.ActiveInterface()->id, after[0].id);
}

TEST_F(HidDeviceManagerTest, TheLibraryIsInitialisedAgainUntilItStarts)
{
    ManualMonotonicClock clock;
    KeyboardSimulator sim(clock);
    sim.AddKeyboard(SimulatedModel::FeatureKeyboard()).Connect(0);
    sim.SetLibraryAvailable(false);
    HidDeviceManager manager(sim, clock);
    manager.AddKnownDevice(0x1209, 0x0001, L"", 201, 0, L"");
    EXPECT_EQ(sim.InitCalls(), 1);

    manager.Refresh();
    std::vector<DeviceInterface> interfaces;
    EXPECT_FALSE(manager.CollectInterfaces(interfaces));
    EXPECT_EQ(sim.InitCalls(), 2);

    sim.SetLibraryAvailable(true);
    manager.Refresh();
    EXPECT_TRUE(manager.CollectInterfaces(interfaces));
    const int calls = sim.InitCalls();
    manager.Refresh();
    EXPECT_EQ(sim.InitCalls(), calls);
}

TEST_F(HidDeviceManagerTest, FailedOpensAndOverlongNamesAreSkipped)
{
    // The instance text sets the name's length; the simulator appends "&0" for the mode.
    const std::string probe =
        SimulatedKeyboard(SimulatedModel::FeatureKeyboard(), "", "p", m_clock, {}).InterfaceNames(0).back();
    const size_t base = probe.size() - 2;

    struct Case {
        size_t nameLength;
        int failedOpens;
        size_t opened;
    };
    for (const Case c : {Case{1023, 0, 1}, Case{1024, 0, 0}, Case{100, 2, 1}, Case{100, 3, 0}}) {
        SCOPED_TRACE(testing::Message() << c.nameLength << " " << c.failedOpens);
        SimulatedModel model = SimulatedModel::FeatureKeyboard();
        model.instance = std::string(c.nameLength - base - 2, 'X');
        Rig rig(model);
        ASSERT_EQ(rig.keyboard.InterfaceNames(0).back().size(), c.nameLength);
        rig.keyboard.Connect(0);
        rig.keyboard.FailOpens(c.failedOpens); // interface 0's two collections take the first two
        rig.Scan();

        std::vector<DeviceInterface> interfaces;
        rig.manager.CollectInterfaces(interfaces);
        ASSERT_EQ(interfaces.size(), c.opened);
        if (c.opened) {
            EXPECT_EQ(interfaces[0].path.size(), c.nameLength);
        }
    }
}

TEST(HidDeviceManagerConfig, EveryModeOfTheShippedConfigurationIsFoundByItsPattern)
{
    const DeviceDescription description =
        LoadDeviceDescription(Utf8ToWide((BuildBinDir() / "config.xml").string()));
    const std::vector<KnownDeviceRow> rows = description.KnownDeviceRows();
    ASSERT_FALSE(rows.empty());

    for (const DeviceRecord& model : description.models) {
        SCOPED_TRACE(WideToUtf8(model.name));
        ManualMonotonicClock clock;
        KeyboardSimulator sim(clock);
        const SimulatedModel simulated = SimulatedModel::FromKnownDevices(rows, model.deviceType);
        SimulatedKeyboard& keyboard = sim.AddKeyboard(simulated);
        HidDeviceManager manager(sim, clock);
        for (const KnownDeviceRow& row : rows)
            manager.AddKnownDevice(row.vendorId, row.productId, row.productName, row.deviceType,
                                   row.modeValue, row.interfacePattern);
        for (const SimulatedMode& mode : simulated.modes)
            keyboard.Connect(mode.connectionMode);
        manager.Refresh();
        manager.SetOpened(1);
        manager.SelectDeviceType(model.deviceType);

        std::vector<DeviceInterface> interfaces;
        ASSERT_TRUE(manager.CollectInterfaces(interfaces));
        for (const KnownDeviceRow& row : rows) {
            if (row.deviceType != model.deviceType)
                continue;
            SCOPED_TRACE(WideToUtf8(row.interfacePattern));
            const std::string pattern = Upper(WideToUtf8(row.interfacePattern));
            const int found =
                manager.FindInterface(row.vendorId, row.productId, row.productName, row.modeValue);
            ASSERT_GE(found, 0);
            // The mode's command interface carries its pattern; no interface of another mode does.
            for (const DeviceInterface& entry : interfaces) {
                const bool matches = Upper(entry.path).find(pattern) != std::string::npos;
                EXPECT_EQ(matches, entry.connectionMode == row.modeValue) << entry.path;
            }
            if (row.modeValue == 2) {
                EXPECT_NE(Upper(interfaces[found].path).find(kBluetoothLowEnergyHidService),
                          std::string::npos);
            }
        }
        const bool outputFamily = model.deviceType <= 200;
        EXPECT_EQ(manager.WriteAuxReport(Output{}), outputFamily);
    }
}

namespace {

// Manual time whose first pause, once closed, holds its caller until Open: a transfer can be stopped
// in the middle while another thread tries to get a report through.
class GatedClock : public ManualMonotonicClock {
public:
    void Close() { m_closed = true; }
    void WaitUntilHeld()
    {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [&] { return m_held; });
    }
    void Open()
    {
        std::lock_guard lock(m_lock);
        m_closed = false;
        m_changed.notify_all();
    }
    void SleepFor(Duration duration) override
    {
        std::unique_lock lock(m_lock);
        if (m_closed) {
            m_held = true;
            m_changed.notify_all();
            m_changed.wait(lock, [&] { return !m_closed; });
        }
        ManualMonotonicClock::SleepFor(duration);
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_closed = false;
    bool m_held = false;
};

} // namespace

TEST(HidDeviceManagerLock, NoReportGetsBetweenTheReportsOfATransferOrAJob)
{
    for (const bool wholeJob : {false, true}) {
        SCOPED_TRACE(wholeJob ? "a job holding the lock" : "a slot-table read");
        Rig<GatedClock> rig(SimulatedModel::FeatureKeyboard());
        rig.keyboard.Connect(0);
        rig.Scan();
        GatedClock& clock = rig.clock;
        HidDeviceManager& manager = rig.manager;
        SimulatedKeyboard& keyboard = rig.keyboard;

        // The read stops in its first pause, after the request went out; a job stops right after the
        // request of its first step.
        clock.Close();
        std::thread reader([&] {
            auto job = wholeJob ? manager.LockTransfers() : HidDeviceManager::TransferLock();
            if (wholeJob) {
                manager.SendFeature(Feature{0x07, 0x23, 0x45, 0x67, 0x89});
                clock.SleepFor(16ms);
            }
            SlotTable table{0x07, 0xFB, 0x01};
            manager.ReadSlotTable(table);
        });
        clock.WaitUntilHeld();
        std::atomic<bool> calling = false;
        std::thread writer([&] {
            calling = true;
            manager.WritePayload(Payload{0xBB, 0xAA, 0x99, 0x88, 0xAA});
        });
        while (!calling)
            std::this_thread::yield();
        // Long enough for an unguarded write to land; a guarded one waits for the reader.
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(keyboard.Log().size(), 1u);
        clock.Open();
        reader.join();
        writer.join();

        const std::vector<SimLogEntry> log = keyboard.Log();
        ASSERT_EQ(log.size(), wholeJob ? 7u : 6u);
        EXPECT_EQ(log.back().report, SimReport::PayloadLighting);
        for (size_t i = 0; i + 1 < log.size(); ++i)
            EXPECT_NE(log[i].report, SimReport::PayloadLighting) << "at " << i;
    }
}

TEST(HidDeviceManagerInstance, TheProcessWideManagerUsesHidapi)
{
    HidDeviceManager& manager = HidDeviceManager::Instance();
    HidDeviceManager* fromAnotherThread = nullptr;
    std::thread([&] { fromAnotherThread = &HidDeviceManager::Instance(); }).join();
    EXPECT_EQ(fromAnotherThread, &manager);

    ManualMonotonicClock clock;
    EXPECT_FALSE(HidDeviceManager::UseBackend(std::make_unique<KeyboardSimulator>(clock)));

    // No known device is registered here, so nothing of this machine is opened.
    manager.CloseAll();
    manager.Refresh();
    manager.SetOpened(1);
    std::vector<DeviceInterface> interfaces;
    EXPECT_FALSE(manager.CollectInterfaces(interfaces));
    EXPECT_FALSE(manager.WriteReport(Output{}));
    manager.CloseAll();
}
