// The device worker with the keyboard simulator and an in-memory main window: start-up, arrival and
// removal, the task codes, unplugging in the middle of a job, the firmware check, the colour stream and
// the macro-play queue.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "device/protocol_encoding.h"
#include "tests/device/worker_test_support.h"
#include "tests/lighting/eventually.h"

using namespace std::chrono_literals;

namespace {

constexpr int kWireless = 201; // cable, 2.4 GHz receiver and Bluetooth LE
constexpr int kTkl = 101;      // output-report family, cable

// Sequence check: `expected` appears in `calls` in this order (other calls may sit between).
::testing::AssertionResult InOrder(const std::vector<std::string>& calls,
                                   const std::vector<std::string>& expected)
{
    auto at = calls.begin();
    for (const std::string& call : expected) {
        at = std::find(at, calls.end(), call);
        if (at == calls.end())
            return ::testing::AssertionFailure() << "missing or out of order: " << call;
        ++at;
    }
    return ::testing::AssertionSuccess();
}

void Assign(ProfileDatabase& database, int keyCode, int macroType, int value)
{
    KeyAssignmentRow row;
    row.profile = 1;
    row.fn_layer = 0;
    row.key_code = keyCode;
    row.macro_type = macroType;
    row.macro_value = value;
    ASSERT_NE(database.SaveKeyAssignment(row), 0);
}

int AddMacro(ProfileDatabase& database, int records)
{
    MacroRow macro;
    macro.name = L"Macro";
    macro.play_times = 1;
    const int id = database.InsertMacro(macro);
    MacroRecordList rows;
    for (int i = 0; i < records; ++i) {
        auto row = std::make_unique<MacroRecordRow>();
        row->macro_id = id;
        row->type = 2 + i % 2;
        row->record_index = i;
        row->value = 65 + (i / 2) % 26;
        row->delay_time = 10;
        rows.push_back(std::move(row));
    }
    database.AddMacroRecords(std::move(rows));
    return id;
}

size_t CountOutcome(const std::vector<SimLogEntry>& log, SimOutcome outcome)
{
    return static_cast<size_t>(std::count_if(
        log.begin(), log.end(), [&](const SimLogEntry& entry) { return entry.outcome == outcome; }));
}

} // namespace

TEST(DeviceWorkerStartUp, SoftwareCheckThenFirstConnectThenFirmwareCheckAndPageReload)
{
    WorkerRig rig;
    rig.ConnectUnannounced(rig.AddKeyboard(kWireless), 0);
    rig.view.publishedFirmwareVersion = L"105";

    rig.worker->StartUp();
    ASSERT_TRUE(Eventually([&] { return rig.worker->QueuedTasks().empty() && rig.worker->Steps() >= 4; }));
    rig.Settle();

    const WindowState state = rig.view.State();
    EXPECT_TRUE(state.Present());
    EXPECT_EQ(state.headerText, 60);
    EXPECT_EQ(state.pagePicture, L"icon\\icon_keyboard.png");
    EXPECT_EQ(state.selectedTab, 1);
    EXPECT_TRUE(state.enabled);
    EXPECT_TRUE(state.restoreDefaultsShown);
    EXPECT_TRUE(state.deviceConnected.at(kWireless));
    EXPECT_TRUE(std::all_of(state.tabItemVisible + 1, state.tabItemVisible + 5, [](bool v) { return v; }));
    EXPECT_EQ(rig.selection->Layout()->featureFlags, 0x47);
    EXPECT_EQ(rig.worker->ConnectionMode(), 0);

    const std::vector<std::string> calls = rig.view.Calls();
    EXPECT_TRUE(InOrder(
        calls, {"CheckSoftwareVersion", "ResetDeviceStates", "SetDeviceConnected 201", "SetHeaderText 60",
                "SetPageTitle 51", "ApplyCurrentLightingMode", "StartMusicAnalyserPaused",
                // task 13, in a disabled window
                "EnableWindow 0", "SetShownFirmwareVersion ", "FetchPublishedFirmwareVersion",
                "SetShownFirmwareVersion 105", "EnableWindow 1",
                // task 5: macros, custom keys, lighting
                "EnableWindow 0", "ReloadMacroPage", "ReloadProfileList", "RefreshSoftwareKeys",
                "ReloadLightingPage", "ReloadMusicLayer", "EnableWindow 1"}));
    EXPECT_EQ(rig.view.Count("EnableWindow 0"), 2) << "tasks 12 and 1 leave the window enabled";
    EXPECT_EQ(rig.sim.Keyboard().Reports(SimReport::FirmwareVersionRequest).size(), 1u);

    // Nothing left to do: the thread sleeps instead of stepping every 16 ms.
    const uint64_t steps = rig.worker->Steps();
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(rig.worker->Steps(), steps);
}

TEST(DeviceWorkerStartUp, WithoutAKeyboardTheAbsentStateShowsAndNothingElseRuns)
{
    WorkerRig rig;
    rig.worker->StartUp();
    ASSERT_TRUE(Eventually([&] { return rig.worker->QueuedTasks().empty() && rig.worker->Steps() >= 2; }));
    rig.Settle();

    EXPECT_TRUE(rig.view.State().Absent());
    EXPECT_FALSE(rig.worker->InterfaceOpen());
    EXPECT_EQ(rig.selection->Layout()->deviceType, 201) << "the start-up model stays";
    EXPECT_EQ(rig.view.Count("SelectKeyboardModel 201"), 0);
    EXPECT_EQ(rig.view.Count("CheckSoftwareVersion"), 1);
    EXPECT_EQ(rig.view.Count("StartMusicAnalyserPaused"), 1);
    EXPECT_EQ(rig.view.Count("FetchPublishedFirmwareVersion"), 0);
    EXPECT_EQ(rig.view.Count("EnableWindow 0"), 0);
}

TEST(DeviceWorkerConnection, ArrivalAndRemovalInEachConnectionMode)
{
    struct Case {
        int mode;
        bool announced; // Bluetooth LE names carry the service text: nothing is queued for them
    };
    for (const Case c : {Case{0, true}, Case{1, true}, Case{2, false}}) {
        SCOPED_TRACE(c.mode);
        WorkerRig rig;
        SimulatedKeyboard& keyboard = rig.AddKeyboard(kWireless);
        rig.worker->QueueTask(WorkerTask::kFirstConnect);
        rig.RunUntilIdle();
        ASSERT_TRUE(rig.view.State().Absent());

        keyboard.Connect(c.mode);
        rig.Settle();
        EXPECT_EQ(rig.worker->QueuedTasks(), c.announced ? std::vector<int>{2} : std::vector<int>{});
        rig.RunUntilIdle();
        EXPECT_EQ(rig.view.State().Present(), c.announced);
        if (!c.announced)
            continue;
        EXPECT_EQ(rig.worker->ConnectionMode(), c.mode);
        EXPECT_EQ(rig.worker->Modes().at(static_cast<size_t>(c.mode)).connected, 1);

        keyboard.Disconnect(c.mode);
        rig.Settle();
        EXPECT_EQ(rig.worker->QueuedTasks(), std::vector<int>{3});
        EXPECT_EQ(rig.worker->Modes().at(static_cast<size_t>(c.mode)).connected, 0);
        rig.RunUntilIdle();
        EXPECT_TRUE(rig.view.State().Absent());
        EXPECT_FALSE(rig.worker->InterfaceOpen());
        EXPECT_FALSE(rig.view.State().deviceConnected.at(kWireless));
    }
}

TEST(DeviceWorkerConnection, ABluetoothKeyboardIsFoundByTheNextScanSomethingElseCauses)
{
    WorkerRig rig;
    SimulatedKeyboard& keyboard = rig.AddKeyboard(kWireless);
    keyboard.Connect(2);
    rig.Settle();
    EXPECT_TRUE(rig.worker->QueuedTasks().empty());

    // The name holds mode 2's pattern, but the service text stops the search first.
    const std::string name = keyboard.InterfaceNames(2).back();
    ASSERT_NE(name.find("VID&021209_PID&0003"), std::string::npos);
    rig.worker->OnDeviceEvent({HidDeviceEventKind::Arrival, name});
    EXPECT_TRUE(rig.worker->QueuedTasks().empty());

    keyboard.Connect(1);
    rig.RunUntilIdle();
    EXPECT_TRUE(rig.view.State().Present());
    EXPECT_EQ(rig.worker->ConnectionMode(), 2) << "both wireless modes connected: 2 is shown";
    EXPECT_EQ(rig.worker->Modes().at(2).connected, 1);
}

TEST(DeviceWorkerConnection, AFloodOfArrivalsAndRemovalsQueuesOneScanOfEach)
{
    WorkerRig rig;
    SimulatedKeyboard& first = rig.AddKeyboard(kWireless);
    SimulatedKeyboard& second = rig.AddKeyboard(202);
    first.Connect(0);
    first.Connect(1);
    second.Connect(0);
    second.Connect(1);
    rig.Settle();
    EXPECT_EQ(rig.worker->QueuedTasks(), std::vector<int>{2});
    rig.RunUntilIdle();

    first.DisconnectAll();
    second.DisconnectAll();
    first.Connect(0);
    rig.Settle();
    EXPECT_EQ(rig.worker->QueuedTasks(), (std::vector<int>{3, 2}));
    // Interfaces that no pattern names queue nothing.
    rig.worker->OnDeviceEvent({HidDeviceEventKind::Arrival, "\\\\?\\HID#VID_046D&PID_C52B&MI_00#X#{x}"});
    rig.worker->OnDeviceEvent({HidDeviceEventKind::Removal, "\\\\?\\HID#VID_046D&PID_C52B&MI_00#X#{x}"});
    EXPECT_EQ(rig.worker->QueuedTasks(), (std::vector<int>{3, 2}));
}

TEST(DeviceWorkerConnection, AWirelessInterfaceNoModeRecordKnowsShowsTheAbsentState)
{
    WorkerRig rig(202);
    // The 2.4 GHz record names a product, and no interface carries a product string: the interface is
    // opened (the manager knows its ids) but no record matches it.
    std::vector<DeviceRecord> modes = rig.description.modes;
    modes.at(1).name = L"Corvid Z5 Receiver";
    rig.worker = std::make_unique<DeviceWorker>(rig.manager, rig.protocol, *rig.selection, modes, rig.view,
                                                rig.player, rig.clock);
    SimulatedKeyboard& keyboard = rig.AddKeyboard(kWireless);
    keyboard.Connect(1);
    rig.RunUntilIdle();

    EXPECT_TRUE(rig.worker->InterfaceOpen());
    EXPECT_FALSE(rig.worker->DeviceKnown());
    EXPECT_EQ(rig.worker->ConnectionMode(), 1);
    EXPECT_TRUE(rig.view.State().Absent());
    EXPECT_EQ(rig.view.Count("SetHeaderText 60"), 1) << "the header was set before the mode was judged";
    EXPECT_EQ(rig.selection->Layout()->deviceType, 201) << "no model matched: the start-up model";

    // Jobs are dropped as without a keyboard.
    rig.worker->QueueTask(WorkerTask::kLightingApply);
    rig.RunUntilIdle();
    EXPECT_TRUE(keyboard.Log().empty());
}

TEST(DeviceWorkerTasks, JobsQueuedWithoutAKeyboardAreDroppedAndMacrosWait)
{
    WorkerRig rig;
    SimulatedKeyboard& keyboard = rig.AddKeyboard(kWireless);
    rig.worker->QueueTask(WorkerTask::kLightingApply);
    rig.worker->QueueTask(WorkerTask::kKeyMapDownload);
    EXPECT_TRUE(rig.worker->QueueMacroPlay(7));
    EXPECT_FALSE(rig.worker->QueueMacroPlay(8)) << "one request at a time";

    rig.worker->Step();
    EXPECT_EQ(rig.worker->QueuedTasks(), std::vector<int>{WorkerTask::kKeyMapDownload});
    rig.RunUntilIdle();
    EXPECT_EQ(rig.view.Count("EnableWindow 0"), 0);
    EXPECT_TRUE(rig.player.Played().empty());
    EXPECT_EQ(rig.worker->QueuedMacros(), 1u);

    // Once an interface is open the request plays, after the job of that step.
    keyboard.Connect(0);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.player.Played(), std::vector<int>{7});
    EXPECT_TRUE(rig.worker->QueueMacroPlay(8));
}

TEST(DeviceWorkerModel, TheConnectedKeyboardsModelBecomesTheModelInUse)
{
    struct Case {
        int connected;
        const char* model;
        size_t keys;
        bool selects; // the window is asked to switch: the start-up model 201 was not the one found
    };
    const Case cases[] = {
        {kTkl, "Corvid Z5 TKL", 87, true},
        {202, "Corvid Z5 Mini", 61, true},
        {kWireless, "Corvid Z5 Wireless", 104, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        WorkerRig rig;
        rig.ConnectUnannounced(rig.AddKeyboard(c.connected), 0);
        rig.worker->QueueTask(WorkerTask::kFirstConnect);
        rig.RunUntilIdle();

        const auto layout = rig.selection->Layout();
        EXPECT_EQ(layout->deviceType, c.connected);
        EXPECT_EQ(WideToUtf8(layout->modelName), c.model);
        EXPECT_EQ(layout->keyItems.size(), c.keys);
        EXPECT_NE(rig.database.FilePath().find(std::string("/db/") + c.model + "_data_v6.db"),
                  std::string::npos)
            << rig.database.FilePath();
        EXPECT_EQ(rig.worker->ConnectionMode(), 0) << "the mode of the model in use";
        EXPECT_TRUE(rig.view.State().Present());
        EXPECT_EQ(rig.view.Count("SelectKeyboardModel " + std::to_string(c.connected)), c.selects ? 1 : 0);
        if (c.selects) {
            // Selected before the pages are set up and reloaded from the new database.
            EXPECT_TRUE(InOrder(rig.view.Calls(), {"SetDeviceConnected " + std::to_string(c.connected),
                                                   "SelectKeyboardModel " + std::to_string(c.connected),
                                                   "SetHeaderText 60", "ReloadProfileList"}));
        }

        // Another scan that finds the same keyboard keeps the model, its database and its views.
        rig.view.ClearCalls();
        rig.worker->QueueTask(WorkerTask::kArrival);
        rig.RunUntilIdle();
        EXPECT_EQ(rig.view.Count("SelectKeyboardModel " + std::to_string(c.connected)), 0);
    }
}

TEST(DeviceWorkerModel, TheOutputReportKeyboardGetsOutputReports)
{
    WorkerRig rig;
    SimulatedKeyboard& tkl = rig.AddKeyboard(kTkl);
    rig.ConnectUnannounced(tkl, 0);
    rig.worker->QueueTask(WorkerTask::kFirstConnect);
    rig.RunUntilIdle();
    ASSERT_EQ(rig.selection->Layout()->deviceType, kTkl);

    LightRow light;
    light.profile = 1;
    light.mode = 3;
    light.brightness = 2;
    light.config_func = 0x27;
    ASSERT_NE(rig.database.AddLight(light), 0);
    rig.view.settings.lightingMode = 3;
    tkl.ClearLog();
    rig.worker->QueueTask(WorkerTask::kLightingApply);
    rig.RunUntilIdle();

    EXPECT_FALSE(tkl.Log().empty());
    for (const SimLogEntry& entry : tkl.Log())
        EXPECT_EQ(entry.transfer, SimTransfer::Write) << entry.report;
    EXPECT_EQ(tkl.Reports(SimReport::LightingMode).size(), 1u);
    EXPECT_EQ(tkl.State().outputLighting.mode, 3);
    EXPECT_EQ(tkl.State().ignoredReports, 0);
}

TEST(DeviceWorkerModel, AnotherKeyboardInPlaceOfTheFirstSwitchesModels)
{
    WorkerRig rig;
    SimulatedKeyboard& wireless = rig.AddKeyboard(kWireless);
    SimulatedKeyboard& tkl = rig.AddKeyboard(kTkl);
    wireless.Connect(1);
    rig.RunUntilIdle();
    ASSERT_EQ(rig.selection->Layout()->deviceType, kWireless);
    ASSERT_EQ(rig.worker->ConnectionMode(), 1);

    // Both there: the model in use stays, whatever the document order says.
    tkl.Connect(0);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.selection->Layout()->deviceType, kWireless);
    EXPECT_EQ(rig.worker->ConnectionMode(), 1);
    EXPECT_TRUE(rig.view.State().deviceConnected.at(kTkl));

    wireless.DisconnectAll();
    rig.RunUntilIdle();
    EXPECT_EQ(rig.selection->Layout()->deviceType, kTkl);
    EXPECT_EQ(rig.worker->ConnectionMode(), 0);
    EXPECT_TRUE(rig.view.State().Present());
    EXPECT_FALSE(rig.view.State().deviceConnected.at(kWireless));

    // The TKL goes: nothing is left and the model stays as it was until a keyboard comes.
    tkl.DisconnectAll();
    rig.RunUntilIdle();
    EXPECT_TRUE(rig.view.State().Absent());
    EXPECT_EQ(rig.selection->Layout()->deviceType, kTkl);

    wireless.Connect(0);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.selection->Layout()->deviceType, kWireless);
    EXPECT_EQ(rig.worker->ConnectionMode(), 0);
    EXPECT_EQ(rig.view.Count("SelectKeyboardModel 101"), 1);
    EXPECT_EQ(rig.view.Count("SelectKeyboardModel 201"), 1);
}

TEST(DeviceWorkerModel, TaskFourMakesTheChosenModelCurrentWhileItsKeyboardIsThere)
{
    WorkerRig rig;
    SimulatedKeyboard& wireless = rig.AddKeyboard(kWireless);
    SimulatedKeyboard& mini = rig.AddKeyboard(202);
    wireless.Connect(0);
    mini.Connect(1);
    rig.RunUntilIdle();
    ASSERT_EQ(rig.selection->Layout()->deviceType, kWireless);
    rig.view.ClearCalls();

    rig.worker->ChooseModel(202);
    EXPECT_EQ(rig.worker->QueuedTasks(), std::vector<int>{WorkerTask::kModelChange});
    rig.RunUntilIdle();
    EXPECT_EQ(rig.selection->Layout()->deviceType, 202);
    EXPECT_EQ(rig.worker->ConnectionMode(), 1);
    EXPECT_TRUE(rig.view.State().Present());
    EXPECT_TRUE(rig.view.State().enabled);
    EXPECT_NE(rig.database.FilePath().find("Corvid Z5 Mini_data_v6.db"), std::string::npos);
    // Switched in a disabled window, then the pages follow as after a scan.
    EXPECT_TRUE(
        InOrder(rig.view.Calls(), {"EnableWindow 0", "SelectKeyboardModel 202", "SetHeaderText 60",
                                   "EnableWindow 1", "FetchPublishedFirmwareVersion", "ReloadProfileList"}));
    EXPECT_EQ(rig.view.Count("ResetDeviceStates"), 0) << "no scan";

    // A scan that finds both keeps the user's choice.
    wireless.Connect(1);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.selection->Layout()->deviceType, 202);

    // A model whose keyboard is gone changes nothing: only the window's disable and enable.
    rig.view.ClearCalls();
    rig.worker->ChooseModel(kTkl);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.selection->Layout()->deviceType, 202);
    EXPECT_EQ(rig.view.Calls(), (std::vector<std::string>{"EnableWindow 0", "EnableWindow 1"}));

    // Without a keyboard the choice is dropped like any job.
    wireless.DisconnectAll();
    mini.DisconnectAll();
    rig.RunUntilIdle();
    rig.view.ClearCalls();
    rig.worker->ChooseModel(kWireless);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.view.Count("EnableWindow 0"), 0);
    EXPECT_EQ(rig.selection->Layout()->deviceType, 202);
}

TEST(DeviceWorkerTasks, DeviceJobsCloseTheWaitDialogAndPause)
{
    struct Case {
        int code;
        SimReport report;
        std::vector<std::string> reloads;
    };
    const Case cases[] = {
        {WorkerTask::kLightingApply, SimReport::Lighting, {}},
        {WorkerTask::kKeyMapDownload, SimReport::SlotTableRequest, {}},
        {WorkerTask::kKeyColours, SimReport::Unknown, {}},
        {WorkerTask::kReset,
         SimReport::Reset,
         {"ReloadMacroPage", "ReloadProfileList", "ReloadLightingPage"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        WorkerRig rig;
        SimulatedKeyboard& keyboard = rig.AddKeyboard(kWireless);
        keyboard.Connect(0);
        rig.RunUntilIdle();
        LightRow light;
        light.profile = 1;
        light.mode = 3;
        light.brightness = 2;
        ASSERT_NE(rig.database.AddLight(light), 0);
        rig.view.settings.lightingMode = 3;
        keyboard.ClearLog();
        rig.view.ClearCalls();
        rig.view.OpenWaitDialog();

        rig.worker->QueueTask(c.code);
        const auto start = rig.clock.Now();
        rig.RunUntilIdle();
        const WindowState state = rig.view.State();
        EXPECT_FALSE(state.waitDialogOpen);
        EXPECT_TRUE(state.enabled);
        std::vector<std::string> expected = {"EnableWindow 0"};
        expected.insert(expected.end(), c.reloads.begin(), c.reloads.end());
        expected.insert(expected.end(), {"CloseWaitDialog", "EnableWindow 1"});
        EXPECT_EQ(rig.view.Calls(), expected);
        if (c.report != SimReport::Unknown) {
            EXPECT_FALSE(keyboard.Reports(c.report).empty());
        }
        EXPECT_GE(rig.clock.Now() - start, DeviceWorker::kAfterJobPause);
    }
}

TEST(DeviceWorkerTasks, UnplugInTheMiddleOfAJobEndsItAndShowsTheAbsentState)
{
    struct Case {
        const char* name;
        int deviceType;
        int code;
        std::chrono::milliseconds unplugAfter;
    };
    const Case cases[] = {
        {"feature key map download", kWireless, WorkerTask::kKeyMapDownload, 300ms},
        {"per-key colours", kWireless, WorkerTask::kKeyColours, 3ms},
        {"output key map download", kTkl, WorkerTask::kKeyMapDownload, 150ms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkerRig rig(c.deviceType);
        SimulatedKeyboard& keyboard = rig.AddKeyboard(c.deviceType);
        keyboard.Connect(0);
        rig.RunUntilIdle();
        ASSERT_TRUE(rig.view.State().Present());

        // Enough for a job of several seconds: every slot, a long macro, colours for many keys.
        const int macro = AddMacro(rig.database, 60);
        for (int i = 0; i < 13; ++i)
            Assign(rig.database, 0x04 + i, kAssignmentMacro, macro);
        KeyLightList lights;
        for (int key = 0x04; key < 0x30; ++key) {
            auto row = std::make_unique<KeyLightRow>();
            row->profile = 1;
            row->light_id = 128;
            row->key_code = key;
            row->key_rgb = 0x0000FF;
            lights.push_back(std::move(row));
        }
        rig.database.AddKeyLights(std::move(lights));
        rig.view.OpenWaitDialog();

        std::atomic<uint64_t> firstAfterUnplug = 0;
        MonotonicClock::TimePoint unplugged;
        const MonotonicClock::Duration unplugAt = rig.clock.Elapsed() + c.unplugAfter;
        rig.clock.afterPause = [&](MonotonicClock::Duration elapsed) {
            if (elapsed >= unplugAt && firstAfterUnplug == 0) {
                firstAfterUnplug = keyboard.NextTransferNumber();
                unplugged = rig.clock.Now();
                keyboard.DisconnectAll();
            }
        };
        rig.worker->QueueTask(c.code);
        rig.RunUntilIdle();
        rig.clock.afterPause = nullptr;

        ASSERT_NE(firstAfterUnplug, 0u) << "the job ended before the unplug";
        // The job ended at the first report after the unplug; only the pause after every job followed.
        EXPECT_EQ(rig.clock.Now() - unplugged, DeviceWorker::kAfterJobPause);
        const WindowState state = rig.view.State();
        EXPECT_TRUE(state.enabled);
        EXPECT_FALSE(state.waitDialogOpen);
        EXPECT_TRUE(state.Absent());
        EXPECT_FALSE(rig.worker->InterfaceOpen());
        // Nothing reached the keyboard after the removal; one report found it gone.
        std::vector<SimLogEntry> after = keyboard.Log();
        after.erase(std::remove_if(after.begin(), after.end(),
                                   [&](const SimLogEntry& entry) { return entry.number < firstAfterUnplug; }),
                    after.end());
        EXPECT_EQ(after.size(), 1u);
        EXPECT_EQ(CountOutcome(after, SimOutcome::NoDevice), after.size());
    }
}

TEST(DeviceWorkerTasks, FirmwareCheckComparesTheVersionAsItsHexDigitsReadInDecimal)
{
    struct Case {
        const wchar_t* published;
        bool read;  // the keyboard's version is read
        bool newer; // the button is marked and the firmware update queued
        const wchar_t* shown;
    };
    // The keyboard reports 0x0105, compared as 105.
    const Case cases[] = {
        {L"106", true, true, L"106"},        {L"105", true, false, L"105"},
        {L"1.0.6", true, false, L"1.0.6"},   {L"", false, false, L""},
        {L"10000000000", false, false, L""}, {L"1000000000", true, true, L"1000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.published));
        WorkerRig rig;
        SimulatedKeyboard& keyboard = rig.AddKeyboard(kWireless);
        keyboard.SetFirmwareVersion(0x0105);
        keyboard.Connect(0);
        rig.view.publishedFirmwareVersion = c.published;
        rig.RunUntilIdle();

        EXPECT_EQ(keyboard.Reports(SimReport::FirmwareVersionRequest).size(), c.read ? 1u : 0u);
        const WindowState state = rig.view.State();
        EXPECT_EQ(state.firmwareUpdateMarked, c.newer);
        EXPECT_EQ(state.shownFirmwareVersion, c.shown);
        EXPECT_EQ(rig.view.Count("UpdateFirmwareTool"), c.newer ? 1 : 0);
    }
}

TEST(DeviceWorkerTasks, UpdateTasksRunOnlyWithAKeyboard)
{
    WorkerRig rig;
    rig.worker->QueueTask(WorkerTask::kSoftwareUpdate);
    rig.worker->QueueTask(WorkerTask::kFirmwareUpdate);
    rig.worker->QueueTask(WorkerTask::kSoftwareCheck);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.view.Calls(), std::vector<std::string>{"CheckSoftwareVersion"});

    rig.AddKeyboard(kWireless).Connect(0);
    rig.RunUntilIdle();
    rig.view.ClearCalls();
    rig.worker->QueueTask(WorkerTask::kSoftwareUpdate);
    rig.worker->QueueTask(WorkerTask::kFirmwareUpdate);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.view.Calls(),
              (std::vector<std::string>{"EnableWindow 0", "UpdateSoftware", "EnableWindow 1",
                                        "EnableWindow 0", "UpdateFirmwareTool", "EnableWindow 1"}));
}

TEST(DeviceWorkerStream, ColoursStreamOnlyForTheOutputFamilyWhileAReactiveModeShows)
{
    struct Case {
        int deviceType;
        bool showing;
        bool lit;
        size_t frames;
    };
    for (const Case c : {Case{kTkl, true, true, 6}, Case{kTkl, false, true, 0}, Case{kTkl, true, false, 0},
                         Case{kWireless, true, true, 0}}) {
        SCOPED_TRACE(testing::Message() << c.deviceType << " " << c.showing << " " << c.lit);
        WorkerRig rig(c.deviceType);
        SimulatedKeyboard& keyboard = rig.AddKeyboard(c.deviceType);
        keyboard.Connect(0);
        rig.RunUntilIdle();
        keyboard.ClearLog();
        rig.view.ClearCalls();
        rig.view.reactiveColours = {{0x04, c.lit ? COLORREF{0x00FF00} : COLORREF{1}}, {0x05, 0}};

        rig.worker->SetReactiveShowing(c.showing);
        rig.worker->Step();
        EXPECT_EQ(keyboard.Reports(SimReport::StreamFrame).size(), c.frames);
        EXPECT_EQ(rig.view.Count("ReactiveKeyColours"), c.showing && c.deviceType < 200 ? 1 : 0);
    }
}

TEST(DeviceWorkerStream, TheThreadStepsEvery16MsOnlyWhileItStreams)
{
    WorkerRig rig(kTkl);
    rig.ConnectUnannounced(rig.AddKeyboard(kTkl), 0);
    rig.view.reactiveColours = {{0x04, 0x00FF00}};
    rig.worker->StartUp();
    ASSERT_TRUE(Eventually([&] { return rig.worker->QueuedTasks().empty() && rig.worker->Steps() >= 4; }));

    rig.worker->SetReactiveShowing(true);
    const uint64_t before = rig.worker->Steps();
    ASSERT_TRUE(Eventually([&] { return rig.worker->Steps() >= before + 3; }));
    EXPECT_GE(rig.sim.Keyboard().Reports(SimReport::StreamFrame).size(), 12u);

    rig.worker->SetReactiveShowing(false);
    const uint64_t stopped = rig.worker->Steps();
    std::this_thread::sleep_for(100ms);
    EXPECT_LE(rig.worker->Steps(), stopped + 1) << "only a step that was under way";
}

TEST(DeviceWorkerMacros, RequestsPlayInOrderOneAfterAnotherWhileAnInterfaceIsOpen)
{
    WorkerRig rig;
    rig.AddKeyboard(kWireless).Connect(0);
    rig.RunUntilIdle();

    // While a macro plays, its request stays queued: a key press then queues nothing.
    std::vector<bool> queuedWhilePlaying;
    rig.player.whilePlaying = [&](int) { queuedWhilePlaying.push_back(rig.worker->QueueMacroPlay(99)); };
    rig.worker->AppendMacroPlay(3);
    rig.worker->AppendMacroPlay(4);
    rig.worker->Step();
    rig.worker->Step();
    EXPECT_EQ(rig.player.Played(), (std::vector<int>{3, 4}));
    EXPECT_EQ(queuedWhilePlaying, (std::vector<bool>{false, false}));
    EXPECT_EQ(rig.worker->QueuedMacros(), 0u);
}

TEST(DeviceWorkerThread, StartStopAndAStepThatDoesNotEnd)
{
    class Blocking : public CThreadBasic {
    public:
        ~Blocking() override
        {
            release = true;
            Join();
        }
        std::atomic<bool> release = false;
        std::atomic<int> steps = 0;

    protected:
        void Run() override
        {
            ++steps;
            while (!release)
                std::this_thread::sleep_for(1ms);
        }
    };

    Blocking thread;
    EXPECT_EQ(thread.Start(), 1);
    EXPECT_EQ(thread.Start(), 0) << "running already";
    ASSERT_TRUE(Eventually([&] { return thread.steps == 1; }));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(thread.Stop()) << "the step does not end: Stop gives up";
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, CThreadBasic::kStopWait);
    EXPECT_LT(waited, CThreadBasic::kStopWait + 500ms);

    thread.release = true;
    EXPECT_EQ(thread.Start(), 1) << "a stopped thread starts again";
    ASSERT_TRUE(Eventually([&] { return thread.steps >= 3; })) << "16 ms steps";
    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.IsRunning());
}

TEST(DeviceWorkerThread, AUiCallTimesOutWhenTheUiThreadIsBusy)
{
    ClosureLoop ui;
    std::atomic<bool> release = false;
    ui.Post([&] {
        while (!release)
            std::this_thread::sleep_for(1ms);
    });
    std::atomic<bool> ran = false;
    EXPECT_FALSE(CallOnUiThread(
        ui.Poster(), [&] { ran = true; }, 20ms));
    release = true;
    ui.Drain();
    EXPECT_TRUE(ran) << "a call that timed out still runs later";
    EXPECT_TRUE(CallOnUiThread(
        ui.Poster(), [] {}, 1s));
}
