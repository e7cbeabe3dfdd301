#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/fake/manual_monotonic_clock.h"
#include "sim/keyboard_simulator.h"

using namespace std::chrono_literals;

namespace {

constexpr std::chrono::milliseconds kTimeout{1000};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class KeyboardSimulatorTest : public testing::Test {
protected:
    KeyboardSimulatorTest()
    {
        m_sim.SetDeviceEventListener([this](const SimDeviceEvent& event) { m_events.push_back(event); });
    }

    std::unique_ptr<HidDevice> OpenCommandInterface(int mode)
    {
        for (const HidInterfaceInfo& info : m_sim.Enumerate()) {
            if (info.usagePage == 0xFF01 && info.productId == m_keyboard.Model().modes[mode].productId)
                return m_sim.Open(info.path);
        }
        return nullptr;
    }

    static int Music(HidDevice& device, uint8_t level)
    {
        const std::array<uint8_t, 8> report{0x07, 0x23, 0x45, 0x67, 0x89, 0x01, level, 0x00};
        return device.SendFeatureReport(report, kTimeout);
    }

    ManualMonotonicClock m_clock;
    KeyboardSimulator m_sim{m_clock};
    SimulatedKeyboard& m_keyboard = m_sim.AddKeyboard(SimulatedModel::FeatureKeyboard());
    std::vector<SimDeviceEvent> m_events;
};

} // namespace

TEST_F(KeyboardSimulatorTest, ConnectionsRaiseEventsWithTheInterfaceNames)
{
    EXPECT_TRUE(m_sim.Enumerate().empty());
    EXPECT_TRUE(m_keyboard.Connect(0));
    EXPECT_FALSE(m_keyboard.Connect(0));
    EXPECT_FALSE(m_keyboard.Connect(5));
    ASSERT_EQ(m_events.size(), 3u);
    EXPECT_EQ(m_events[0].kind, SimDeviceEventKind::Arrival);
    EXPECT_EQ(m_events[0].name,
              "\\\\?\\HID#VID_1209&PID_0001&MI_00&COL01#SIM1&0#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    EXPECT_EQ(m_events[1].name,
              "\\\\?\\HID#VID_1209&PID_0001&MI_00&COL02#SIM1&0#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    EXPECT_EQ(m_events[2].name,
              "\\\\?\\HID#VID_1209&PID_0001&MI_02#SIM1&0#{4d1e55b2-f16f-11cf-88cb-001111000030}");

    // Keyboard and consumer control share interface 0; the vendor interface stands alone.
    const std::vector<HidInterfaceInfo> interfaces = m_sim.Enumerate();
    ASSERT_EQ(interfaces.size(), 3u);
    EXPECT_EQ(interfaces[0].path, interfaces[1].path);
    EXPECT_EQ(interfaces[0].usagePage, 0x01);
    EXPECT_EQ(interfaces[0].usage, 0x06);
    EXPECT_EQ(interfaces[1].usagePage, 0x0C);
    EXPECT_EQ(interfaces[1].usage, 0x01);
    EXPECT_EQ(interfaces[2].usagePage, 0xFF01);
    EXPECT_EQ(interfaces[2].usage, 0x01);
    EXPECT_EQ(interfaces[2].interfaceNumber, 2);
    EXPECT_EQ(interfaces[2].name, m_events[2].name);

    // Switching to Bluetooth removes the cable's interfaces and brings one node with two collections.
    m_events.clear();
    m_keyboard.Connect(1);
    m_events.clear();
    EXPECT_TRUE(m_keyboard.SwitchTo(2));
    ASSERT_EQ(m_events.size(), 8u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(m_events[i].kind, SimDeviceEventKind::Removal);
    EXPECT_TRUE(Contains(m_events[0].name, "PID_0001&MI_00"));
    EXPECT_TRUE(Contains(m_events[5].name, "PID_0002&MI_02"));
    EXPECT_EQ(m_events[6].kind, SimDeviceEventKind::Arrival);
    EXPECT_TRUE(
        Contains(m_events[6].name, "HID#{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&021209_PID&0003"));
    EXPECT_TRUE(Contains(m_events[6].name, "&COL01#"));
    EXPECT_TRUE(Contains(m_events[7].name, "&COL02#"));
    EXPECT_FALSE(m_keyboard.IsConnected(0));
    EXPECT_TRUE(m_keyboard.IsConnected(2));

    const std::vector<HidInterfaceInfo> bluetooth = m_sim.Enumerate();
    ASSERT_EQ(bluetooth.size(), 2u);
    EXPECT_EQ(bluetooth[0].path, bluetooth[1].path);
    EXPECT_EQ(bluetooth[1].bus, HidBus::BluetoothLowEnergy);
    EXPECT_EQ(bluetooth[1].interfaceNumber, -1);

    m_events.clear();
    m_keyboard.DisconnectAll();
    EXPECT_EQ(m_events.size(), 2u);
    EXPECT_TRUE(m_sim.Enumerate().empty());
}

TEST_F(KeyboardSimulatorTest, HandlesDieWithTheirConnection)
{
    m_keyboard.Connect(0);
    std::unique_ptr<HidDevice> device = OpenCommandInterface(0);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(m_keyboard.OpenHandles(), 1);
    EXPECT_EQ(device->OutputReportLength(), 65u);
    EXPECT_EQ(Music(*device, 1), 8);

    m_keyboard.Disconnect(0);
    EXPECT_EQ(m_sim.Open("sim/1/0/2"), nullptr);
    m_keyboard.Connect(0);
    EXPECT_EQ(Music(*device, 2), -1);
    EXPECT_EQ(device->LastError(), L"The device is not connected.");
    EXPECT_EQ(device->LastFault(), HidFault::Gone);
    EXPECT_EQ(m_keyboard.State().music.level, 1);
    // The attempt is logged, so tests can count what was tried after an unplug.
    const std::vector<SimLogEntry> log = m_keyboard.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].outcome, SimOutcome::NoDevice);
    EXPECT_EQ(log[1].report, SimReport::MusicLevel);

    device.reset();
    EXPECT_EQ(m_keyboard.OpenHandles(), 0);
    EXPECT_EQ(m_sim.Open("sim/1/9/9"), nullptr);
}

TEST_F(KeyboardSimulatorTest, LogNumbersAndTimestampsEveryTransfer)
{
    m_keyboard.Connect(0);
    std::unique_ptr<HidDevice> device = OpenCommandInterface(0);
    const MonotonicClock::TimePoint start = m_clock.Now();
    Music(*device, 1);
    m_clock.Advance(16ms);
    std::array<uint8_t, 8> read{0x07};
    EXPECT_EQ(device->GetFeatureReport(read, kTimeout), 8);
    std::array<uint8_t, 65> unknown{0x00, 0x42};
    EXPECT_EQ(device->Write(unknown, kTimeout), 65);

    std::vector<SimLogEntry> log = m_keyboard.Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].number, 1u);
    EXPECT_EQ(log[0].time, start);
    EXPECT_EQ(log[0].transfer, SimTransfer::SendFeature);
    EXPECT_EQ(log[0].connectionMode, 0);
    EXPECT_EQ(log[0].interfaceNumber, 2);
    EXPECT_EQ(log[0].report, SimReport::MusicLevel);
    EXPECT_EQ(log[0].bytes, (std::vector<uint8_t>{0x07, 0x23, 0x45, 0x67, 0x89, 0x01, 0x01, 0x00}));
    EXPECT_EQ(log[0].outcome, SimOutcome::Taken);
    EXPECT_EQ(log[1].time - log[0].time, 16ms);
    EXPECT_EQ(log[1].transfer, SimTransfer::GetFeature);
    EXPECT_EQ(log[1].report, SimReport::EmptyAnswer);
    EXPECT_EQ(log[1].bytes, std::vector<uint8_t>(read.begin(), read.end()));
    EXPECT_EQ(log[2].report, SimReport::Unknown);
    EXPECT_EQ(log[2].outcome, SimOutcome::Ignored);
    EXPECT_EQ(m_keyboard.Reports(SimReport::MusicLevel).size(), 1u);

    m_keyboard.ClearLog();
    Music(*device, 2);
    log = m_keyboard.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].number, 4u);
    EXPECT_EQ(m_keyboard.NextTransferNumber(), 5u);
}

TEST_F(KeyboardSimulatorTest, InjectedFailuresHitExactlyWhatTheyName)
{
    m_keyboard.Connect(0);
    std::unique_ptr<HidDevice> device = OpenCommandInterface(0);
    const std::array<uint8_t, 8> slotRequest{0x07, 0xFB, 0x01};

    // By number: transfer 2 only.
    m_keyboard.FailTransfer(2);
    EXPECT_EQ(Music(*device, 1), 8);
    EXPECT_EQ(Music(*device, 2), -1);
    EXPECT_EQ(Music(*device, 3), 8);
    EXPECT_EQ(m_keyboard.State().music.updates, 2);
    EXPECT_EQ(m_keyboard.State().music.level, 3);
    EXPECT_EQ(device->LastError(), L"The device did not take the report.");

    // By report: twice, other reports pass meanwhile.
    m_keyboard.FailReports(SimReport::MusicLevel, 2);
    EXPECT_EQ(device->SendFeatureReport(slotRequest, kTimeout), 8);
    EXPECT_EQ(Music(*device, 4), -1);
    EXPECT_EQ(Music(*device, 5), -1);
    EXPECT_EQ(Music(*device, 6), 8);

    // By kind of transfer, every time; a time-out waits the caller's time on the clock.
    m_keyboard.FailTransfers(SimTransfer::GetFeature, SimFailure::kEveryTime, SimFault::TimedOut);
    std::array<uint8_t, 8> read{0x07};
    for (int i = 0; i < 3; ++i) {
        const MonotonicClock::TimePoint before = m_clock.Now();
        EXPECT_EQ(device->GetFeatureReport(read, kTimeout), -1);
        EXPECT_EQ(m_clock.Now() - before, kTimeout);
        EXPECT_EQ(read, (std::array<uint8_t, 8>{0x07}));
    }
    EXPECT_EQ(device->LastError(), kHidTimedOutText);
    EXPECT_EQ(Music(*device, 7), 8);
    m_keyboard.ClearFailures();

    // A wrong report id in the answer of one read; the firmware still moved on to the next chunk.
    FirmwareState state = m_keyboard.State();
    state.slotTable[0] = 0x11;
    state.slotTable[7] = 0x22;
    m_keyboard.LoadState(state);
    device->SendFeatureReport(slotRequest, kTimeout);
    m_keyboard.AddFailure({.transfer = SimTransfer::GetFeature, .fault = SimFault::WrongReportId});
    EXPECT_EQ(device->GetFeatureReport(read, kTimeout), 8);
    EXPECT_EQ(read[0], 0x00);
    EXPECT_EQ(read[1], 0x11);
    read[0] = 0x07;
    EXPECT_EQ(device->GetFeatureReport(read, kTimeout), 8);
    EXPECT_EQ(read[0], 0x07);
    EXPECT_EQ(read[1], 0x22);

    const std::vector<SimLogEntry> failed = m_keyboard.Reports(SimReport::MusicLevel);
    ASSERT_EQ(failed.size(), 7u);
    EXPECT_EQ(failed[1].outcome, SimOutcome::Failed);
    EXPECT_EQ(failed[3].outcome, SimOutcome::Failed);
}

TEST_F(KeyboardSimulatorTest, AKeyboardThatStopsAnsweringTimesOutEveryTransfer)
{
    m_keyboard.Connect(0);
    std::unique_ptr<HidDevice> device = OpenCommandInterface(0);
    m_keyboard.StopAnswering();
    const MonotonicClock::TimePoint before = m_clock.Now();
    EXPECT_EQ(Music(*device, 1), -1);
    std::array<uint8_t, 65> report{0x00, 0x8B, 60};
    EXPECT_EQ(device->Write(report, 250ms), -1);
    EXPECT_EQ(m_clock.Now() - before, kTimeout + 250ms);
    EXPECT_EQ(m_keyboard.State().music.updates, 0);
    for (const SimLogEntry& entry : m_keyboard.Log())
        EXPECT_EQ(entry.outcome, SimOutcome::TimedOut);

    m_keyboard.ResumeAnswering();
    EXPECT_EQ(Music(*device, 1), 8);
}

TEST_F(KeyboardSimulatorTest, OpensCanFailAndTheLibraryCanBeMissing)
{
    m_keyboard.Connect(0);
    m_keyboard.FailOpens(1);
    EXPECT_EQ(OpenCommandInterface(0), nullptr);
    EXPECT_NE(OpenCommandInterface(0), nullptr);

    m_sim.SetLibraryAvailable(false);
    EXPECT_FALSE(m_sim.Init());
    EXPECT_TRUE(m_sim.Enumerate().empty());
    EXPECT_EQ(m_sim.Open("sim/1/0/2"), nullptr);
    m_sim.SetLibraryAvailable(true);
    EXPECT_TRUE(m_sim.Init());
}

TEST(SimulatedModelTest, ModelsFollowTheKnownDeviceRows)
{
    const std::vector<KnownDeviceRow> rows = {
        {0x1209, 0x0001, L"", 201, 0, L"VID_1209&PID_0001&MI_02"},
        {0x1209, 0x0003, L"", 201, 2, L"vid&021209_pid&0003"},
        {0x1209, 0x0004, L"", 101, 0, L"VID_1209&PID_0004&MI_01"},
        {0x1209, 0x0009, L"", 101, 1, L"PID_0009"},
    };
    const SimulatedModel feature = SimulatedModel::FromKnownDevices(rows, 201);
    EXPECT_EQ(feature.Family(), CommandFamily::FeatureReports);
    ASSERT_EQ(feature.modes.size(), 2u);
    EXPECT_EQ(feature.modes[0].commandInterface, 2);
    EXPECT_EQ(feature.modes[0].bus, HidBus::Usb);
    EXPECT_FALSE(feature.modes[0].streamInterface);
    EXPECT_EQ(feature.modes[1].connectionMode, 2);
    EXPECT_EQ(feature.modes[1].productId, 0x0003);
    EXPECT_EQ(feature.modes[1].bus, HidBus::BluetoothLowEnergy);

    const SimulatedModel output = SimulatedModel::FromKnownDevices(rows, 101);
    EXPECT_EQ(output.Family(), CommandFamily::OutputReports);
    ASSERT_EQ(output.modes.size(), 2u);
    EXPECT_EQ(output.modes[0].commandInterface, 1);
    EXPECT_TRUE(output.modes[0].streamInterface);
    EXPECT_EQ(output.modes[1].commandInterface, 2);
    EXPECT_EQ(output.modes[1].bus, HidBus::Usb);

    EXPECT_TRUE(SimulatedModel::FromKnownDevices(rows, 300).modes.empty());
}
