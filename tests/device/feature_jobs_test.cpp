// The feature-report family's jobs against the simulated keyboard: key map download (slot table, macro
// and remap slots), lighting, reset, firmware version and music level.

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <string>

#include "tests/device/protocol_test_support.h"

namespace {

// Virtual keys: 'A' 65 and 'B' 66 are key codes 4 and 5; left Shift 160 is 225.
constexpr int kVkA = 65;
constexpr int kVkB = 66;
constexpr int kVkLeftShift = 160;

// The 28 reports of one slot image.
Reports SlotReports(const std::vector<uint8_t>& image)
{
    std::vector<uint8_t> padded = image;
    padded.resize(168, 0);
    Reports reports;
    for (size_t k = 0; k < 28; ++k) {
        std::vector<uint8_t> report = Feature({0x07, static_cast<uint8_t>(k == 0 ? 0xF1 : 0x00)});
        std::copy_n(padded.begin() + 6 * k, 6, report.begin() + 2);
        reports.push_back(report);
    }
    return reports;
}

// The reports of macro slot writes number `first` to `first + 27`.
Reports SlotWrite(const Reports& sent, size_t image)
{
    if (sent.size() < 28 * (image + 1))
        return {};
    return {sent.begin() + 28 * image, sent.begin() + 28 * (image + 1)};
}

class FeatureJobsTest : public ProtocolTest {
protected:
    FeatureJobsTest() { Connect(SimulatedModel::FeatureKeyboard()); }

    void LoadSlotTable(std::initializer_list<std::pair<int, uint8_t>> used)
    {
        FirmwareState state = Keyboard().State();
        for (const auto& [at, key] : used)
            state.slotTable[at] = key;
        Keyboard().LoadState(state);
    }
};

} // namespace

TEST_F(FeatureJobsTest, KeyMapDownloadClearsUsedSlotsThenWritesTheAssignmentsInOrder)
{
    // In use on the keyboard: macro slot 3 and remap slot 2.
    LoadSlotTable({{3, 0x10}, {13 + 2, 0x20}});
    const int macro = AddMacro(
        2, {{2, kVkB, 0}, {3, kVkB, 311}, {2, kVkLeftShift, 2000}, {1, 0, 0}, {3, kVkLeftShift, 40000}});
    Assign(0x04, kAssignmentMacro, macro);
    Assign(0x05, kAssignmentKey, 0x06);
    Assign(0x06, 0, 5); // type 0 with a value: no slot
    Assign(0x07, kAssignmentShortcut, 2);
    Assign(0x08, kAssignmentDisabled, 1);

    const auto start = Now();
    m_protocol.DownloadFeatureKeyMap(kProfile, kLayer);

    const std::vector<TimelineStep> expected = {
        {SimReport::SlotTableRequest, 0, 1}, {SimReport::SlotTableAnswer, 16, 4},
        {SimReport::MacroSlotWrite, 32, 1}, // clear macro slot 3: 16 ms, then 16 ms before each report
        {SimReport::MacroSlotWrite, 16, 27}, {SimReport::RemapSlotWrite, 32, 1}, // clear remap slot 2
        {SimReport::MacroSlotWrite, 32, 1},                                      // key 4: macro into slot 1
        {SimReport::MacroSlotWrite, 16, 27}, {SimReport::RemapSlotWrite, 32, 1}, // key 5 into remap slot 1
        {SimReport::MacroSlotWrite, 32, 1}, // key 7: shortcut into slot 2
        {SimReport::MacroSlotWrite, 16, 27}, {SimReport::RemapSlotWrite, 32, 1}, // key 8 into remap slot 2
    };
    EXPECT_EQ(Timeline(start), expected);

    EXPECT_EQ(Sent(SimReport::SlotTableRequest), Reports{Feature({0x07, 0xFB, 0x01})});
    const auto macroReports = Sent(SimReport::MacroSlotWrite);
    EXPECT_EQ(SlotWrite(macroReports, 0), SlotReports({1, 3}));
    // Press B 10 ms, release B 300 ms (6 x 50), press Shift 2000 ms (20 x 100), release Shift 31 s;
    // the type 1 record is not an event.
    EXPECT_EQ(SlotWrite(macroReports, 1),
              SlotReports({1, 1, 0x04, 2, 5, 0x01, 5, 0xA6, 225, 0x54, 225, 0xFF}));
    EXPECT_EQ(SlotWrite(macroReports, 2),
              SlotReports({1, 2, 0x07, 1, 0xE0, 0x01, 0x06, 0x01, 0x06, 0x81, 0xE0, 0x81}));
    const Reports remaps = {
        Feature({0x07, 0xFA, 0x01, 2, 0x00, 0x01, 0x00, 0x01}),
        Feature({0x07, 0xFA, 0x01, 1, 0x05, 0x01, 0x06, 0x01}),
        Feature({0x07, 0xFA, 0x01, 2, 0x08, 0x01, 0x01, 0x01}),
    };
    EXPECT_EQ(Sent(SimReport::RemapSlotWrite), remaps);

    const FirmwareState state = Keyboard().State();
    EXPECT_EQ(state.ignoredReports, 0);
    EXPECT_EQ(state.slotTable[1], 0x04);
    EXPECT_EQ(state.slotTable[2], 0x07);
    EXPECT_EQ(state.slotTable[3], 0x00);
    EXPECT_EQ(state.slotTable[13 + 1], 0x05);
    EXPECT_EQ(state.slotTable[13 + 2], 0x08);
    EXPECT_EQ(state.macroSlots.at(1).PlayTimes(), 2);
    const std::vector<SimMacroEvent> events = {
        {5, false, 10}, {5, true, 300}, {225, false, 2000}, {225, true, 31000}};
    EXPECT_EQ(state.macroSlots.at(1).Events(), events);
    const std::vector<SimMacroEvent> copy = {
        {0xE0, false, 10}, {0x06, false, 10}, {0x06, true, 10}, {0xE0, true, 10}};
    EXPECT_EQ(state.macroSlots.at(2).Events(), copy);
    EXPECT_EQ(state.remapSlots.at(1), (SimRemapSlot{0x05, 0x06}));
    EXPECT_EQ(state.remapSlots.at(2), (SimRemapSlot{0x08, 0x01}));
}

TEST_F(FeatureJobsTest, KeyMapDownloadStopsAtTheKeyboardsThirteenMacroAndTenRemapSlots)
{
    for (int i = 0; i < 14; ++i)
        Assign(0x04 + i, kAssignmentShortcut, 1 + i);
    for (int i = 0; i < 11; ++i)
        Assign(0x1E + i, kAssignmentKey, 0x04);

    m_protocol.DownloadFeatureKeyMap(kProfile, kLayer);

    EXPECT_EQ(Count(SimReport::MacroSlotWrite), 13 * 28);
    EXPECT_EQ(Count(SimReport::RemapSlotWrite), 10);
    const FirmwareState state = Keyboard().State();
    EXPECT_EQ(state.ignoredReports, 0); // no slot number past the table
    for (int slot = 1; slot <= 13; ++slot)
        EXPECT_EQ(state.slotTable[slot], 0x04 + slot - 1) << "macro slot " << slot;
    for (int slot = 1; slot <= 10; ++slot)
        EXPECT_EQ(state.slotTable[13 + slot], 0x1E + slot - 1) << "remap slot " << slot;
}

TEST_F(FeatureJobsTest, AnUnplugEndsTheKeyMapDownloadAtItsFirstFailedReport)
{
    // Every slot in use: the whole download takes over six seconds.
    for (int i = 0; i < 13; ++i)
        Assign(0x04 + i, kAssignmentShortcut, 1 + i);
    for (int i = 0; i < 10; ++i)
        Assign(0x1E + i, kAssignmentKey, 0x04);
    const MonotonicClock::Duration unplugAt = m_clock.Elapsed() + std::chrono::milliseconds(500);
    m_clock.afterPause = [&](MonotonicClock::Duration elapsed) {
        if (elapsed >= unplugAt)
            Keyboard().DisconnectAll();
    };

    const auto start = Now();
    m_protocol.DownloadFeatureKeyMap(kProfile, kLayer);
    m_clock.afterPause = nullptr;

    // The report after the unplug finds the keyboard gone and is the last one tried.
    const std::vector<SimLogEntry> log = Keyboard().Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().outcome, SimOutcome::NoDevice);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const SimLogEntry& entry) { return entry.outcome == SimOutcome::NoDevice; }),
              1);
    EXPECT_LT(Now() - start, std::chrono::milliseconds(520));
    EXPECT_FALSE(m_manager.CanTransfer());
}

TEST_F(FeatureJobsTest, KeyMapDownloadOfAnEmptyProfileOnlyClearsTheSlotsInUse)
{
    LoadSlotTable({{1, 0x04}, {13, 0x05}, {13 + 10, 0x06}});

    m_protocol.DownloadFeatureKeyMap(kProfile, kLayer);

    const auto macroReports = Sent(SimReport::MacroSlotWrite);
    ASSERT_EQ(macroReports.size(), 2u * 28);
    EXPECT_EQ(SlotWrite(macroReports, 0), SlotReports({1, 1}));
    EXPECT_EQ(SlotWrite(macroReports, 1), SlotReports({1, 13}));
    EXPECT_EQ(Sent(SimReport::RemapSlotWrite), Reports{Feature({0x07, 0xFA, 0x01, 10, 0, 0x01, 0, 0x01})});
    const FirmwareState state = Keyboard().State();
    EXPECT_TRUE(
        std::all_of(state.slotTable.begin(), state.slotTable.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(FeatureJobsTest, AFailedSlotTableReadShowsTheRequestBytesAsSlots1And2)
{
    Keyboard().FailTransfers(SimTransfer::GetFeature, 4);

    m_protocol.DownloadFeatureKeyMap(kProfile, kLayer);

    EXPECT_EQ(Count(SimReport::SlotTableAnswer, SimOutcome::Failed), 4);
    // Bytes 1 and 2 still hold 0xFB and 0x01: macro slots 1 and 2 are cleared, nothing else.
    const auto macroReports = Sent(SimReport::MacroSlotWrite);
    ASSERT_EQ(macroReports.size(), 2u * 28);
    EXPECT_EQ(SlotWrite(macroReports, 0), SlotReports({1, 1}));
    EXPECT_EQ(SlotWrite(macroReports, 1), SlotReports({1, 2}));
    EXPECT_TRUE(Sent(SimReport::RemapSlotWrite).empty());
}

TEST_F(FeatureJobsTest, MacroSlotKeepsTheFirst82EventsAndCarriesAMissingMacroAsKey0)
{
    std::vector<RecordStep> records;
    for (int i = 0; i < 100; ++i)
        records.push_back({2 + i % 2, kVkA + (i / 2) % 26, 20});
    const int macro = AddMacro(3, records);

    m_protocol.WriteMacroSlot(0x2C, 4, kAssignmentMacro, macro);
    m_protocol.WriteMacroSlot(0x2D, 5, kAssignmentMacro, macro + 1);

    const FirmwareState state = Keyboard().State();
    const std::vector<SimMacroEvent> events = state.macroSlots.at(4).Events();
    ASSERT_EQ(events.size(), 82u);
    EXPECT_EQ(events.back(), (SimMacroEvent{static_cast<uint8_t>(4 + 14), true, 20})); // 'O', record 82
    EXPECT_EQ(state.macroSlots.at(4).Key(), 0x2C);
    EXPECT_EQ(state.macroSlots.at(4).PlayTimes(), 3);
    // The macro is gone: key 0 and play count 0, so the slot reads as free.
    EXPECT_EQ(SlotWrite(Sent(SimReport::MacroSlotWrite), 1), SlotReports({1, 5}));
    EXPECT_EQ(state.slotTable[5], 0);
}

TEST_F(FeatureJobsTest, MacroSlotReportsGoOnAfterAFailedOneAndEndAtATimeOut)
{
    const uint64_t first = Keyboard().NextTransferNumber();
    Keyboard().FailTransfer(first + 2);
    Keyboard().FailTransfer(first + 3, SimFault::TimedOut);

    const auto start = Now();
    m_protocol.WriteMacroSlot(0x04, 1, kAssignmentShortcut, 1);

    EXPECT_EQ(Count(SimReport::MacroSlotWrite, SimOutcome::Failed), 1);
    EXPECT_EQ(Count(SimReport::MacroSlotWrite, SimOutcome::TimedOut), 1);
    // A refused report is passed over; a keyboard that stops answering is not asked again.
    EXPECT_EQ(Count(SimReport::MacroSlotWrite), 2);
    EXPECT_EQ(Keyboard().Log().size(), 4u);
    EXPECT_EQ(Now() - start, 4 * std::chrono::milliseconds(16) + HidDeviceManager::kTransferTimeout);
}

TEST_F(FeatureJobsTest, RemapSlotFollowsTheKeysAssignment)
{
    Assign(0x04, kAssignmentKey, 0x29);
    Assign(0x05, kAssignmentMacro, 1);
    Assign(0x06, kAssignmentShortcut, 3);

    m_protocol.WriteRemapSlot(kProfile, kLayer, 0x04, 3);
    m_protocol.WriteRemapSlot(kProfile, kLayer, 0x05, 4); // a macro key has no remap
    m_protocol.WriteRemapSlot(kProfile, kLayer, 0x06, 4);
    m_protocol.WriteRemapSlot(kProfile, kLayer, 0x07, 5);     // no assignment: the slot is cleared
    m_protocol.WriteRemapSlot(kProfile, kLayer + 1, 0x04, 6); // another layer: none either

    const Reports expected = {
        Feature({0x07, 0xFA, 0x01, 3, 0x04, 0x01, 0x29, 0x01}),
        Feature({0x07, 0xFA, 0x01, 5, 0x00, 0x01, 0x00, 0x01}),
        Feature({0x07, 0xFA, 0x01, 6, 0x00, 0x01, 0x00, 0x01}),
    };
    EXPECT_EQ(Sent(SimReport::RemapSlotWrite), expected);
}

namespace {

struct LightingCase {
    const char* name;
    LightRow row;
    int connectionMode;
    int customSet;
    std::vector<uint8_t> expected; // the feature report by cable, the 65-byte payload report wirelessly
};

} // namespace

TEST_F(FeatureJobsTest, LightingApplyLowersTheValuesAndSendsTheSetByConnection)
{
    const LightingCase cases[] = {
        {"brightness 0, speed 3 with colour index 2",
         {.mode = 3, .brightness = 0, .speed = 3, .direction = 1, .colorindex = 2, .config_func = 0x23},
         0,
         2,
         Feature({0x07, 0xFF, 0xFF, 2, 0x00, 0x22, 0, 1})},
        {"brightness 1, colour index 1 with speed 0, per-key colours",
         {.mode = 16, .brightness = 1, .speed = 0, .direction = 0, .colorindex = 1, .config_func = 0x101},
         0,
         2,
         Feature({0x07, 0xFF, 0xFF, 15, 0x00, 0x0F, 2, 0})},
        {"wireless: the set goes whatever the mode",
         {.mode = 1, .brightness = 4, .speed = 2, .direction = 2, .colorindex = 0, .config_func = 0x31},
         1,
         1,
         Report({0x00, 0xBB, 0xAA, 0x99, 0x88, 0xAA, 0, 3, 0x01, 0x00, 1, 2}, 65)},
    };
    for (const LightingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Keyboard().ClearLog();
        AddLight(c.row);
        const bool wireless = c.connectionMode != 0;
        SwitchTo(c.connectionMode);

        const auto start = Now();
        m_protocol.ApplyFeatureLighting(c.row.mode, c.connectionMode, c.customSet);

        const SimReport kind = wireless ? SimReport::PayloadLighting : SimReport::Lighting;
        EXPECT_EQ(Sent(kind), Reports{c.expected});
        EXPECT_EQ(Timeline(start), (std::vector<TimelineStep>{{kind, wireless ? 0 : 16, 1}}));
        const SimLighting lighting = Keyboard().State().lighting;
        EXPECT_EQ(lighting.wireless, wireless);
        EXPECT_EQ(lighting.mode, c.row.mode - 1);
        EXPECT_EQ(lighting.combined, wireless ? c.expected[8] : c.expected[5]);
    }

    // A mode without a row sends nothing.
    Keyboard().ClearLog();
    m_protocol.ApplyFeatureLighting(9, 1, 0);
    EXPECT_TRUE(Keyboard().Log().empty());
}

namespace {

struct ResetCase {
    const char* name;
    SimulatedModel model;
    int connectionMode;
    std::vector<TimelineStep> timeline;
    int pauseAfterMs; // from the last report to the reloads
};

void PrintTo(const ResetCase& c, std::ostream* out)
{
    *out << c.name;
}

class ResetJobTest : public ProtocolTest, public testing::WithParamInterface<ResetCase> {};

} // namespace

TEST_P(ResetJobTest, SendsTheFamilysReportsThenReloadsThePagesInOrder)
{
    const ResetCase& c = GetParam();
    Connect(c.model, c.connectionMode);
    std::vector<std::string> reloads;
    std::vector<MonotonicClock::TimePoint> times;
    const auto reload = [&](const char* page) {
        return [&, page] {
            reloads.push_back(page);
            times.push_back(Now());
        };
    };

    const auto start = Now();
    m_protocol.ResetToFactory(c.model.deviceType, c.connectionMode,
                              {reload("macros"), reload("profiles"), reload("lighting")});

    EXPECT_EQ(Timeline(start), c.timeline);
    EXPECT_EQ(Keyboard().State().resets, 1);
    EXPECT_EQ(reloads, (std::vector<std::string>{"macros", "profiles", "lighting"}));
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times[0] - Keyboard().Log().back().time, std::chrono::milliseconds(c.pauseAfterMs));
}

INSTANTIATE_TEST_SUITE_P(
    Families, ResetJobTest,
    testing::Values(
        ResetCase{"FeatureByCable", SimulatedModel::FeatureKeyboard(), 0, {{SimReport::Reset, 16, 1}}, 100},
        ResetCase{"FeatureWireless",
                  SimulatedModel::FeatureKeyboard(),
                  1,
                  {{SimReport::PayloadResetFirst, 0, 1}, {SimReport::PayloadResetSecond, 1600, 1}},
                  0},
        ResetCase{"Output", SimulatedModel::OutputKeyboard(), 0, {{SimReport::OutputReset, 0, 1}}, 100}),
    [](const testing::TestParamInfo<ResetCase>& info) { return std::string(info.param.name); });

TEST_F(FeatureJobsTest, ResetOfAModelWithoutCommandsOrWithoutKeyboardDoesNothing)
{
    int reloads = 0;
    const ResetReloads count = {[&] { ++reloads; }, [&] { ++reloads; }, [&] { ++reloads; }};
    m_protocol.ResetToFactory(300, 0, count);
    m_manager.CloseAll();
    m_protocol.ResetToFactory(201, 0, count);
    EXPECT_TRUE(Keyboard().Log().empty());
    EXPECT_EQ(reloads, 0);
}

TEST_F(FeatureJobsTest, ResetReloadsThePagesWithTheTransferLockReleased)
{
    // A page that sends while it reloads (a preview, say) from another thread must not wait for the job.
    // The sender outlives the reload, so a job that kept the lock would only be late, not stuck.
    std::future<bool> music;
    bool sentMeanwhile = false;
    const auto reload = [&] {
        music = std::async(std::launch::async, [&] { return m_protocol.SendMusicLevel(1, 10); });
        sentMeanwhile = music.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    };
    m_protocol.ResetToFactory(201, 0, {reload, {}, {}});
    EXPECT_TRUE(sentMeanwhile);
    ASSERT_TRUE(music.valid());
    EXPECT_TRUE(music.get());
}

TEST_F(FeatureJobsTest, FirmwareVersionIsAnswerBytes1And2)
{
    Keyboard().SetFirmwareVersion(0x0105);
    EXPECT_EQ(m_protocol.ReadFirmwareVersion(), 0x0105);

    Keyboard().FailTransfers(SimTransfer::GetFeature);
    EXPECT_EQ(m_protocol.ReadFirmwareVersion(), std::nullopt);
}

TEST_F(FeatureJobsTest, MusicLevelGoesAtOnceWithTheLevelHeldToAByte)
{
    const auto start = Now();
    EXPECT_TRUE(m_protocol.SendMusicLevel(2, 128));
    EXPECT_TRUE(m_protocol.SendMusicLevel(1, 300));
    EXPECT_TRUE(m_protocol.SendMusicLevel(1, -4));

    const Reports expected = {
        Feature({0x07, 0x23, 0x45, 0x67, 0x89, 2, 128, 0x00}),
        Feature({0x07, 0x23, 0x45, 0x67, 0x89, 1, 255, 0x00}),
        Feature({0x07, 0x23, 0x45, 0x67, 0x89, 1, 0, 0x00}),
    };
    EXPECT_EQ(Sent(SimReport::MusicLevel), expected);
    EXPECT_EQ(Now(), start); // no pause
    EXPECT_EQ(Keyboard().State().music.updates, 3);
}
