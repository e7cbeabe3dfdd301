// The output-report family's jobs and the per-key colours of both families against the simulated
// keyboard: macro upload and key map, lighting apply and preview, colour stream; then what every job
// shares: no keyboard, no report, and no other thread's report inside a job.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "tests/device/protocol_test_support.h"

namespace {

using namespace std::chrono_literals;

constexpr int kVkA = 65;

// A key map entry as FirmwareState::KeyMapEntry gives it.
std::pair<uint8_t, uint8_t> Entry(uint8_t first, uint8_t second)
{
    return {first, second};
}

// The packet header of an 8B, 8D or F1 transfer: command, length, offset.
std::vector<uint8_t> Header(const std::vector<uint8_t>& report)
{
    return {report.begin() + 1, report.begin() + 5};
}

std::vector<uint8_t> PacketHeader(uint8_t command, uint8_t length, int offset)
{
    return {command, length, static_cast<uint8_t>(offset & 0xFF), static_cast<uint8_t>(offset >> 8)};
}

class OutputJobsTest : public ProtocolTest {
protected:
    OutputJobsTest() { Connect(SimulatedModel::OutputKeyboard()); }
};

} // namespace

TEST_F(OutputJobsTest, KeyMapDownloadUploadsMacrosThenShortcutsThenPointsTheKeysAtTheirSlots)
{
    // Press A 261 ms, a record that is no event but counts, release A 100 ms.
    const int shortMacro = AddMacro(3, {{2, kVkA, 261}, {1, 0, 0}, {3, kVkA, 100}});
    std::vector<RecordStep> records;
    for (int i = 0; i < 40; ++i)
        records.push_back({2 + i % 2, kVkA + i / 2, i});
    const int longMacro = AddMacro(1, records); // L = 123: three packets

    Assign(0x04, kAssignmentMacro, shortMacro);
    Assign(0x05, kAssignmentKey, 0x29);
    Assign(0x06, kAssignmentShortcut, 13);
    Assign(0x07, kAssignmentDisabled, 1);
    Assign(0x08, kAssignmentMacro, longMacro);
    Assign(0x09, kAssignmentShortcut, 99); // no such shortcut: four empty events
    Assign(0x0A, kAssignmentKey, 0x2A);    // its index is past the buffer
    Assign(0x0B, kAssignmentKey, 0x2B);    // in the buffer, past what the packets count
    const KeyIndexMap map = {{0x04, 0}, {0x05, 1},   {0x06, 2},   {0x07, 3},
                             {0x08, 4}, {0x09, 109}, {0x0A, 180}, {0x0B, 110}};

    const auto start = Now();
    m_protocol.DownloadOutputKeyMap(kProfile, kLayer, map);

    const std::vector<TimelineStep> expected = {
        {SimReport::MacroData, 110, 2}, // 10 ms before each macro, 100 ms before each of its packets
        {SimReport::MacroData, 100, 2}, // the long macro's other two
        {SimReport::MacroData, 10, 2},  // two shortcuts, 10 ms before each
        {SimReport::KeyMap, 30, 1},     // 20 ms, then 10 ms before each packet
        {SimReport::KeyMap, 10, 3},
    };
    EXPECT_EQ(Timeline(start), expected);

    const auto macroData = Sent(SimReport::MacroData);
    ASSERT_EQ(macroData.size(), 6u);
    // c = 3 records, L = 12: one packet whose length byte is 12. Press: delay low, high | 0x80;
    // release: low | 0x80, high.
    EXPECT_EQ(macroData[0], Output({0x00, 0x8E, 12, 0, 0, 0, 3, 3, 0x04, 0x05, 0x81, 0x04, 0xE4, 0x00}));
    EXPECT_EQ(Header(macroData[1]), PacketHeader(0x8E, 0x3B, 0));
    EXPECT_EQ(Header(macroData[2]), PacketHeader(0x8E, 0x3B, 59));
    EXPECT_EQ(Header(macroData[3]), PacketHeader(0x8E, 123 - 120, 118));
    EXPECT_EQ(macroData[4][5], 2); // shortcut 13 in slot 2
    EXPECT_EQ(macroData[5], Output({0x00, 0x8E, 12, 0, 0, 3, 0x01, 4}));

    const auto keyMap = Sent(SimReport::KeyMap);
    ASSERT_EQ(keyMap.size(), 4u);
    const uint8_t lengths[] = {60, 60, 60, 40};
    for (size_t k = 0; k < keyMap.size(); ++k)
        EXPECT_EQ(Header(keyMap[k]), PacketHeader(0x8D, lengths[k], 60 * static_cast<int>(k)))
            << "packet " << k;

    const FirmwareState state = Keyboard().State();
    EXPECT_EQ(state.ignoredReports, 0);
    EXPECT_EQ(state.KeyMapEntry(0), Entry(0, 0x40));    // macro, slot 0
    EXPECT_EQ(state.KeyMapEntry(1), Entry(0x29, 0x20)); // another key
    EXPECT_EQ(state.KeyMapEntry(2), Entry(2, 0x40));    // shortcut, slot 2
    EXPECT_EQ(state.KeyMapEntry(3), Entry(0, 0x20));    // disabled
    EXPECT_EQ(state.KeyMapEntry(4), Entry(1, 0x40));    // macro, slot 1
    EXPECT_EQ(state.KeyMapEntry(109), Entry(3, 0x40));  // the last entry counted
    EXPECT_EQ(state.KeyMapEntry(110), Entry(0, 0));

    const SimOutputMacro& first = state.outputMacros.at(0);
    EXPECT_EQ(first.PlayTimes(), 3);
    EXPECT_EQ(first.Count(), 3);
    EXPECT_EQ(first.Events(), (std::vector<SimMacroEvent>{{4, false, 261}, {4, true, 100}}));
    const std::vector<SimMacroEvent> events = state.outputMacros.at(1).Events();
    ASSERT_EQ(events.size(), 40u);
    EXPECT_EQ(events[39], (SimMacroEvent{4 + 19, true, 39}));
    const std::vector<SimMacroEvent> altSpaceX = {{0xE2, false, 100}, {0x2C, false, 100}, {0x1B, false, 100},
                                                  {0x1B, true, 100},  {0x2C, true, 100},  {0xE2, true, 100}};
    EXPECT_EQ(state.outputMacros.at(2).Events(), altSpaceX);
    EXPECT_EQ(m_protocol.State().KeySlots(), (KeySlotTable{{0x04, 0}, {0x08, 1}, {0x06, 2}, {0x09, 3}}));
}

TEST_F(OutputJobsTest, AFailedMacroPacketEndsTheUploadButNotTheKeyMap)
{
    const int first = AddMacro(1, {{2, kVkA, 0}, {3, kVkA, 0}});
    std::vector<RecordStep> records(30, {2, kVkA, 0});
    const int second = AddMacro(1, records); // L = 93: two packets
    Assign(0x04, kAssignmentMacro, first);
    Assign(0x05, kAssignmentMacro, second);
    Assign(0x06, kAssignmentMacro, first);
    Assign(0x07, kAssignmentShortcut, 1);
    // The second macro's second packet fails, and so does its one retry.
    const uint64_t next = Keyboard().NextTransferNumber();
    Keyboard().FailTransfer(next + 2);
    Keyboard().FailTransfer(next + 3);

    const auto start = Now();
    m_protocol.DownloadOutputKeyMap(kProfile, kLayer, {{0x04, 0}, {0x05, 1}, {0x06, 2}, {0x07, 3}});

    const std::vector<TimelineStep> expected = {
        {SimReport::MacroData, 110, 2}, {SimReport::MacroData, 100, 1}, // fails
        {SimReport::MacroData, 10, 1},                                  // the retry, 10 ms later, fails too
        {SimReport::KeyMap, 30, 1},     {SimReport::KeyMap, 10, 3},
    };
    EXPECT_EQ(Timeline(start), expected);
    const FirmwareState state = Keyboard().State();
    EXPECT_EQ(state.KeyMapEntry(0), Entry(0, 0x40));
    for (size_t index = 1; index <= 3; ++index)
        EXPECT_EQ(state.KeyMapEntry(index), Entry(0, 0)) << "index " << index;
    EXPECT_EQ(m_protocol.State().KeySlots(), (KeySlotTable{{0x04, 0}}));
}

TEST_F(OutputJobsTest, KeyMapPacketFailuresArePassedOver)
{
    Assign(0x04, kAssignmentKey, 0x05);
    Keyboard().AddFailure({.report = SimReport::KeyMap, .times = 2}); // the first packet and its retry

    m_protocol.DownloadOutputKeyMap(kProfile, kLayer, {{0x04, 100}});

    EXPECT_EQ(Count(SimReport::KeyMap, SimOutcome::Failed), 2);
    EXPECT_EQ(Count(SimReport::KeyMap), 3);
    EXPECT_EQ(Keyboard().State().KeyMapEntry(100), Entry(0x05, 0x20));
}

TEST_F(OutputJobsTest, WithAnEmptyLayoutMapEveryKeyLandsOnIndex0AndTheLastRowWins)
{
    Assign(0x04, kAssignmentKey, 0x10);
    Assign(0x05, kAssignmentKey, 0x11);
    AddKeyLights({{0x04, RGB(1, 2, 3)}, {0x05, RGB(4, 5, 6)}});

    m_protocol.DownloadOutputKeyMap(kProfile, kLayer, {});
    m_protocol.SendKeyColours({});

    const FirmwareState state = Keyboard().State();
    EXPECT_EQ(state.KeyMapEntry(0), Entry(0x11, 0x20));
    EXPECT_EQ(state.KeyMapEntry(1), Entry(0, 0));
    EXPECT_EQ(state.KeyColour(0), RGB(4, 5, 6));
    EXPECT_EQ(state.KeyColour(1), 0u);
}

namespace {

struct ColourCase {
    const char* name;
    SimulatedModel model;
};

void PrintTo(const ColourCase& c, std::ostream* out)
{
    *out << c.name;
}

class KeyColoursTest : public ProtocolTest, public testing::WithParamInterface<ColourCase> {};

} // namespace

TEST_P(KeyColoursTest, SendsLightSet128AsFourByteEntriesIn8Packets)
{
    Connect(GetParam().model);
    AddKeyLights({{0x04, RGB(0x11, 0x22, 0x33)},
                  {0x05, RGB(0x44, 0x55, 0x66)},
                  {0x06, RGB(0x77, 0x88, 0x99)},
                  {0x07, RGB(1, 1, 1)},   // index 150: past the buffer
                  {0x08, RGB(2, 2, 2)},   // not in the layout
                  {0x09, RGB(3, 3, 3)}}); // index 110: in the buffer, past what the packets count
    AddKeyLights({{0x0A, RGB(9, 9, 9)}}, kCustomLightSet + 1);
    const KeyIndexMap map = {{0x04, 0}, {0x05, 1}, {0x06, 109}, {0x07, 150}, {0x09, 110}, {0x0A, 2}};

    const auto start = Now();
    EXPECT_TRUE(m_protocol.SendKeyColours(map));

    EXPECT_EQ(Timeline(start), (std::vector<TimelineStep>{{SimReport::KeyColours, 1, 8}}));
    const auto packets = Sent(SimReport::KeyColours);
    ASSERT_EQ(packets.size(), 8u);
    for (size_t k = 0; k < packets.size(); ++k) {
        EXPECT_EQ(Header(packets[k]), PacketHeader(0x8B, k < 7 ? 60 : 20, 60 * static_cast<int>(k)))
            << "packet " << k;
    }
    EXPECT_EQ(packets[0], Output({0x00, 0x8B, 60, 0, 0, 0x11, 0x22, 0x33, 0xFF, 0x44, 0x55, 0x66, 0xFF}));
    // Entry 110 is in the buffer and in the last packet's bytes, but past its length of 20.
    EXPECT_EQ(std::vector<uint8_t>(packets[7].begin() + 5 + 16, packets[7].begin() + 5 + 24),
              (std::vector<uint8_t>{0x77, 0x88, 0x99, 0xFF, 3, 3, 3, 0xFF}));

    const FirmwareState state = Keyboard().State();
    EXPECT_EQ(state.KeyColour(0), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(state.KeyColour(1), RGB(0x44, 0x55, 0x66));
    EXPECT_EQ(state.KeyColour(2), 0u); // another set
    EXPECT_EQ(state.KeyColour(109), RGB(0x77, 0x88, 0x99));
    EXPECT_EQ(state.KeyColour(110), 0u);
    EXPECT_EQ(state.ignoredReports, 0);
}

TEST_P(KeyColoursTest, StopAtTheFirstFailedPacket)
{
    Connect(GetParam().model);
    AddKeyLights({{0x04, RGB(1, 2, 3)}});
    // Packet 3 and its retry fail.
    const uint64_t next = Keyboard().NextTransferNumber();
    Keyboard().FailTransfer(next + 3);
    Keyboard().FailTransfer(next + 4);

    EXPECT_FALSE(m_protocol.SendKeyColours({{0x04, 0}}));

    EXPECT_EQ(Count(SimReport::KeyColours), 3);
    EXPECT_EQ(Count(SimReport::KeyColours, SimOutcome::Failed), 2);
    EXPECT_EQ(Keyboard().Log().size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, KeyColoursTest,
                         testing::Values(ColourCase{"Output", SimulatedModel::OutputKeyboard()},
                                         ColourCase{"Feature", SimulatedModel::FeatureKeyboard()}),
                         [](const testing::TestParamInfo<ColourCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(OutputJobsTest, LightingApplySendsTheModeAfterAModeChangeAndTheParametersOtherwise)
{
    AddLight({.mode = 5,
              .brightness = 4,
              .speed = 0x13,
              .direction = 1,
              .colorful = 1,
              .colorindex = 3,
              .color_value = static_cast<int>(RGB(0x11, 0x22, 0x33)),
              .config_func = 0x27});

    m_protocol.ApplyOutputLighting(5); // the flag starts clear
    m_protocol.ApplyOutputLighting(5);
    m_protocol.State().ClearModeSent(); // the user picked a mode
    m_protocol.ApplyOutputLighting(5);
    m_protocol.ApplyOutputLighting(6); // no row: nothing

    EXPECT_EQ(Sent(SimReport::LightingMode),
              (Reports{Output({0x00, 0x88, 0x00, 5}), Output({0x00, 0x88, 0x00, 5})}));
    // flags: direction 1 -> 0x10, colourful 0x40, speed's low nibble 3.
    EXPECT_EQ(Sent(SimReport::LightingParameters),
              Reports{Output({0x00, 0x89, 0x00, 0x53, 0x11, 0x22, 0x33, 4})});
    EXPECT_TRUE(m_protocol.State().ModeSent());
    const SimOutputLighting lighting = Keyboard().State().outputLighting;
    EXPECT_EQ(lighting.mode, 5);
    EXPECT_EQ(lighting.color, RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(lighting.Direction(), 1);
    EXPECT_TRUE(lighting.Colorful());
    EXPECT_EQ(lighting.Speed(), 3);
}

TEST_F(OutputJobsTest, PreviewSendsBrightnessAndSpeedAsStoredAndTheSetOfPerKeyModes)
{
    AddLight({.mode = 16, .brightness = 3, .speed = 2, .config_func = 0x101});
    AddLight({.mode = 4, .brightness = 0, .speed = 4, .config_func = 0x27});

    const auto start = Now();
    m_protocol.PreviewLighting(101, 16, 2);
    m_protocol.PreviewLighting(101, 4, 2);
    m_protocol.PreviewLighting(200, 16, 2); // only below 200
    m_protocol.PreviewLighting(101, 7, 2);  // no row

    EXPECT_EQ(Timeline(start), (std::vector<TimelineStep>{{SimReport::LightingPreview, 16, 2}}));
    EXPECT_EQ(Sent(SimReport::LightingPreview), (Reports{Feature({0x07, 0xFF, 0xFF, 15, 3, 2, 0x00, 2}),
                                                         Feature({0x07, 0xFF, 0xFF, 3, 0, 4, 0x00, 0})}));
}

TEST_F(OutputJobsTest, ColourStreamStartsOnceThenSendsSixPacketsOnTheStreamInterface)
{
    const std::vector<KeyColour> keys = {
        {0x04, RGB(0xFF, 0, 0)}, {0x05, RGB(0, 0xFF, 0)}, {0x06, RGB(0, 0, 0xFF)}, {0x07, RGB(9, 9, 9)}};
    const KeyIndexMap map = {{0x04, 0}, {0x05, 1}, {0x06, 109}, {0x07, 110}};

    const auto start = Now();
    EXPECT_TRUE(m_protocol.StreamColours(0, keys, map));
    EXPECT_TRUE(m_protocol.StreamColours(0, keys, map));

    const std::vector<TimelineStep> expected = {
        {SimReport::StreamStart, 0, 1},
        {SimReport::StreamFrame, 1, 12},
    };
    EXPECT_EQ(Timeline(start), expected);
    EXPECT_EQ(Sent(SimReport::StreamStart), Reports{Output({0x00, 0xF0, 0xF4, 0x01})});
    const auto frames = Sent(SimReport::StreamFrame);
    for (size_t k = 0; k < 6; ++k)
        EXPECT_EQ(Header(frames[k]), PacketHeader(0xF1, k < 5 ? 60 : 30, 60 * static_cast<int>(k)))
            << "packet " << k;
    for (const SimLogEntry& entry : Keyboard().Reports(SimReport::StreamFrame))
        EXPECT_EQ(entry.interfaceNumber, 3);

    const FirmwareState state = Keyboard().State();
    EXPECT_TRUE(state.streamStarted);
    EXPECT_EQ(state.streamFrames, 2);
    EXPECT_EQ(state.StreamColour(0), RGB(0xFF, 0, 0));
    EXPECT_EQ(state.StreamColour(1), RGB(0, 0xFF, 0));
    EXPECT_EQ(state.StreamColour(109), RGB(0, 0, 0xFF));
    EXPECT_EQ(state.StreamColour(110), 0u); // past the last packet's 30 bytes
    EXPECT_TRUE(m_protocol.State().StreamStarted());
}

TEST_F(OutputJobsTest, ColourStreamNeedsTheCableAndSomeLitKey)
{
    const std::vector<KeyColour> dark = {{0x04, 1}, {0x05, 0}};
    const std::vector<KeyColour> lit = {{0x04, RGB(0xFF, 0, 0)}};
    EXPECT_FALSE(m_protocol.StreamColours(0, dark, {}));
    EXPECT_FALSE(m_protocol.StreamColours(1, lit, {}));
    EXPECT_TRUE(Keyboard().Log().empty());
    EXPECT_FALSE(m_protocol.State().StreamStarted());
}

TEST(ColourStreamTest, StopsWhenTheStreamInterfaceIsMissing)
{
    struct Rig : ProtocolTest {
        void TestBody() override {}
        using ProtocolTest::Connect;
        using ProtocolTest::Keyboard;
        using ProtocolTest::m_protocol;
        using ProtocolTest::Sent;
    } rig;
    SimulatedModel model = SimulatedModel::OutputKeyboard();
    model.modes[0].streamInterface = false;
    rig.Connect(model);

    const std::vector<KeyColour> lit = {{0x04, RGB(0xFF, 0, 0)}};
    EXPECT_FALSE(rig.m_protocol.StreamColours(0, lit, {}));
    EXPECT_EQ(rig.Sent(SimReport::StreamStart).size(), 1u);
    EXPECT_EQ(rig.Keyboard().Log().size(), 1u);
}

TEST_F(OutputJobsTest, NoJobSendsWithoutAnOpenedKeyboard)
{
    Assign(0x04, kAssignmentShortcut, 1);
    Assign(0x05, kAssignmentKey, 0x06);
    AddLight({.mode = 1, .config_func = 0x01});
    AddKeyLights({{0x04, RGB(1, 2, 3)}});
    const std::vector<KeyColour> lit = {{0x04, RGB(9, 9, 9)}};
    const std::vector<std::pair<const char*, std::function<void()>>> jobs = {
        {"key map (feature)", [&] { m_protocol.DownloadFeatureKeyMap(kProfile, kLayer); }},
        {"macro slot", [&] { m_protocol.WriteMacroSlot(0x04, 1, kAssignmentShortcut, 1); }},
        {"remap slot", [&] { m_protocol.WriteRemapSlot(kProfile, kLayer, 0x05, 1); }},
        {"lighting (feature)", [&] { m_protocol.ApplyFeatureLighting(1, 0, 0); }},
        {"reset", [&] { m_protocol.ResetToFactory(101, 0, {}); }},
        {"firmware version", [&] { EXPECT_EQ(m_protocol.ReadFirmwareVersion(), std::nullopt); }},
        {"music level", [&] { EXPECT_FALSE(m_protocol.SendMusicLevel(1, 1)); }},
        {"key colours", [&] { EXPECT_FALSE(m_protocol.SendKeyColours({})); }},
        {"preview", [&] { m_protocol.PreviewLighting(101, 1, 0); }},
        {"lighting (output)", [&] { m_protocol.ApplyOutputLighting(1); }},
        {"key map (output)", [&] { m_protocol.DownloadOutputKeyMap(kProfile, kLayer, {}); }},
        {"macro upload", [&] { EXPECT_FALSE(m_protocol.UploadMacros(kProfile, kLayer)); }},
        {"colour stream", [&] { EXPECT_FALSE(m_protocol.StreamColours(0, lit, {})); }},
    };

    // Closed; then open again, but with another device type selected: no interface carries commands.
    for (const bool opened : {false, true}) {
        m_manager.CloseAll();
        if (opened) {
            m_manager.Refresh();
            m_manager.SetOpened(1);
            m_manager.SelectDeviceType(201);
        }
        for (const auto& [name, job] : jobs) {
            SCOPED_TRACE(name);
            const auto start = Now();
            job();
            EXPECT_TRUE(Keyboard().Log().empty());
            EXPECT_EQ(Now(), start); // not even a pause
        }
    }
    EXPECT_FALSE(m_protocol.State().ModeSent());
    EXPECT_FALSE(m_protocol.State().StreamStarted());
}

TEST_F(OutputJobsTest, DispatchByDeviceTypeAndContext)
{
    Assign(0x04, kAssignmentKey, 0x06);
    AddLight({.mode = 2, .config_func = 0x01});
    auto layout = std::make_shared<KeyboardLayout>();
    layout->keyIndexByCode = {{0x04, 7}};
    DeviceJobContext context{.deviceType = 101,
                             .connectionMode = 0,
                             .profile = kProfile,
                             .fnLayer = kLayer,
                             .lightingMode = 2,
                             .customSet = 0,
                             .layout = layout};

    m_protocol.DownloadKeyMap(context);
    m_protocol.ApplyLighting(context);
    context.deviceType = 300;
    m_protocol.DownloadKeyMap(context);
    m_protocol.ApplyLighting(context);

    EXPECT_EQ(Count(SimReport::KeyMap), 4);
    EXPECT_EQ(Keyboard().State().KeyMapEntry(7), Entry(0x06, 0x20));
    EXPECT_EQ(Count(SimReport::LightingMode), 1);
    EXPECT_EQ(Keyboard().Log().size(), 5u);
}

TEST(ProtocolConcurrencyTest, ReportsOfOtherThreadsNeverLandInsideAJob)
{
    struct Rig : ProtocolTest {
        void TestBody() override {}
        using ProtocolTest::Assign;
        using ProtocolTest::Connect;
        using ProtocolTest::Keyboard;
        using ProtocolTest::m_clock;
        using ProtocolTest::m_protocol;
    } rig;
    rig.Connect(SimulatedModel::FeatureKeyboard());
    for (int i = 0; i < 3; ++i)
        rig.Assign(0x04 + i, kAssignmentShortcut, 1 + i);
    rig.m_clock.yieldRealTime = true;

    std::atomic<bool> jobDone{false};
    std::atomic<int> levelsSent{0};
    std::thread music([&] {
        for (int level = 0; !jobDone.load(); ++level) {
            rig.m_protocol.SendMusicLevel(1, level % 256);
            ++levelsSent;
            std::this_thread::sleep_for(20us);
        }
    });
    while (levelsSent.load() == 0)
        std::this_thread::yield();
    rig.m_protocol.DownloadFeatureKeyMap(1, 0);
    jobDone = true;
    music.join();

    const std::vector<SimLogEntry> log = rig.Keyboard().Log();
    const auto isJob = [](const SimLogEntry& entry) { return entry.report != SimReport::MusicLevel; };
    const auto first = std::find_if(log.begin(), log.end(), isJob);
    const auto last = std::find_if(log.rbegin(), log.rend(), isJob).base();
    ASSERT_NE(first, log.end());
    EXPECT_EQ(
        std::count_if(first, last, [](const SimLogEntry& e) { return e.report == SimReport::MusicLevel; }),
        0);
    EXPECT_EQ(std::count_if(first, last, isJob), 5 + 3 * 28);
}
