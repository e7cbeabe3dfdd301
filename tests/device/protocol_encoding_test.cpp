#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "device/key_buffers.h"
#include "device/macro_images.h"
#include "device/protocol_encoding.h"
#include "sim/keyboard_firmware.h"

namespace {

struct TimingCase {
    bool release;
    int delayMs;
    uint8_t expected;
};

} // namespace

TEST(ProtocolEncodingTest, TimingByteCountsTheDelayInTheLargestUnitThatFits)
{
    const TimingCase cases[] = {
        {false, -5, 0x01}, // count 0 makes byte 0, sent as 1
        {true, -5, 0x80},  // a release keeps its bit
        {false, 0, 0x01},     {true, 0, 0x81},     {false, 10, 0x01},
        {false, 11, 0x01},    {false, 20, 0x02},   {false, 310, 0x1F},  // 31 x 10 ms
        {false, 311, 0x26},   {true, 311, 0xA6},                        // 6 x 50 ms
        {false, 1550, 0x3F},  {false, 1551, 0x4F},                      // 15 x 100 ms, in the 100 ms unit
        {false, 2000, 0x54},  {false, 3100, 0x5F}, {false, 3101, 0x63}, // 3 x 1000 ms
        {false, 31000, 0x7F}, {true, 40000, 0xFF},                      // held to 31 s
    };
    for (const TimingCase& c : cases) {
        EXPECT_EQ(TimingByte(c.release, c.delayMs), c.expected)
            << (c.release ? "release " : "press ") << c.delayMs << " ms";
    }
}

TEST(ProtocolEncodingTest, LightingValuesAreLoweredByOneExceptZero)
{
    EXPECT_EQ(LoweredByOne(0), 0);
    EXPECT_EQ(LoweredByOne(1), 0);
    EXPECT_EQ(LoweredByOne(4), 3);
    EXPECT_EQ(LoweredByOne(256), 0xFF);

    EXPECT_EQ(ModeByte(1), 0);
    EXPECT_EQ(ModeByte(20), 19);
    EXPECT_EQ(ModeByte(0), 0xFF); // no exception for the mode
    EXPECT_EQ(ModeByte(257), 0);  // its low byte

    EXPECT_EQ(CombinedByte(2, 3), 0x23);
    EXPECT_EQ(LoweredByOne(CombinedByte(2, 3)), 0x22);
    EXPECT_EQ(LoweredByOne(CombinedByte(1, 0)), 0x0F); // lowered as a whole
    EXPECT_EQ(LoweredByOne(CombinedByte(0, 0)), 0x00);
    // Option-button nibbles: the colour index keeps its low nibble, the speed its whole low byte.
    EXPECT_EQ(CombinedByte(0x52, 0x13), 0x33);
}

TEST(ProtocolEncodingTest, DeviceTypesChooseTheCommandFamily)
{
    EXPECT_EQ(ProtocolFamilyOf(0), ProtocolFamily::OutputReports);
    EXPECT_EQ(ProtocolFamilyOf(101), ProtocolFamily::OutputReports);
    EXPECT_EQ(ProtocolFamilyOf(200), ProtocolFamily::OutputReports);
    EXPECT_EQ(ProtocolFamilyOf(201), ProtocolFamily::FeatureReports);
    EXPECT_EQ(ProtocolFamilyOf(299), ProtocolFamily::FeatureReports);
    EXPECT_EQ(ProtocolFamilyOf(300), ProtocolFamily::None);
}

TEST(ProtocolEncodingTest, ShortcutTableHoldsTheFifteenCombinations)
{
    // Modifier and key of the chords: modifier down, key down, key up, modifier up.
    const std::pair<int, std::pair<uint8_t, uint8_t>> chords[] = {
        {1, {0xE0, 0x04}},  {2, {0xE0, 0x06}},  {3, {0xE0, 0x1B}},  {4, {0xE0, 0x19}}, {5, {0xE0, 0x1D}},
        {6, {0xE0, 0x16}},  {7, {0xE3, 0x08}},  {8, {0xE3, 0x0F}},  {9, {0xE3, 0x07}}, {10, {0xE2, 0x2B}},
        {11, {0xE3, 0x10}}, {12, {0xE0, 0x1A}}, {15, {0xE2, 0x3D}},
    };
    for (const auto& [value, chord] : chords) {
        const auto [modifier, key] = chord;
        const std::vector<ShortcutEvent> expected = {
            {modifier, false}, {key, false}, {key, true}, {modifier, true}};
        const auto events = ShortcutEvents(value);
        EXPECT_EQ(std::vector<ShortcutEvent>(events.begin(), events.end()), expected) << "value " << value;
    }
    for (const auto& [value, key] : {std::pair{13, uint8_t{0x1B}}, std::pair{14, uint8_t{0x11}}}) {
        const std::vector<ShortcutEvent> expected = {{0xE2, false}, {0x2C, false}, {key, false},
                                                     {key, true},   {0x2C, true},  {0xE2, true}};
        const auto events = ShortcutEvents(value);
        EXPECT_EQ(std::vector<ShortcutEvent>(events.begin(), events.end()), expected) << "value " << value;
    }
    EXPECT_TRUE(ShortcutEvents(0).empty());
    EXPECT_TRUE(ShortcutEvents(16).empty());
}

TEST(ProtocolEncodingTest, MacroPacketsStepBy59AndTheLastLengthCountsIn60s)
{
    // 39 records: L = 120, three packets; the last one's length byte is 120 - 120 = 0.
    MacroRecordList records;
    for (int i = 0; i < 39; ++i)
        records.push_back(std::make_unique<MacroRecordRow>(MacroRecordRow{.type = 2 + i % 2, .value = 65}));
    const OutputMacroImage image = BuildOutputMacroImage(1, records);
    EXPECT_EQ(image.Length(), 120);
    const std::vector<OutputReport> packets = MacroDataReports(image, 7);
    ASSERT_EQ(packets.size(), 3u);
    const uint8_t expectedHeaders[3][6] = {
        {0x00, 0x8E, 0x3B, 0, 0, 7}, {0x00, 0x8E, 0x3B, 59, 0, 7}, {0x00, 0x8E, 0x00, 118, 0, 7}};
    for (size_t k = 0; k < packets.size(); ++k) {
        EXPECT_TRUE(
            std::equal(std::begin(expectedHeaders[k]), std::end(expectedHeaders[k]), packets[k].begin()))
            << "packet " << k;
        EXPECT_TRUE(std::equal(packets[k].begin() + 6, packets[k].end(), image.bytes.begin() + 59 * k))
            << "packet " << k;
    }
}

TEST(ProtocolEncodingTest, LongMacrosAreCutSoTheirPacketsStayInsideTheImage)
{
    MacroRecordList records;
    for (int i = 0; i < 500; ++i)
        records.push_back(std::make_unique<MacroRecordRow>(MacroRecordRow{.type = 2 + i % 2, .value = 66}));
    const OutputMacroImage image = BuildOutputMacroImage(300, records);
    EXPECT_EQ(image.recordCount, 398);
    EXPECT_EQ(image.bytes[0], 255);        // play count held to 255
    EXPECT_EQ(image.bytes[1], 398 & 0xFF); // the count byte is the low byte
    // Event 398 is the last one: bytes 1193-1195, a release of B (key code 5).
    EXPECT_EQ(image.bytes[2 + 397 * 3], 5);
    EXPECT_EQ(image.bytes[2 + 398 * 3], 0);

    // L = 1197: twenty packets counted in 60s reach only 1180 bytes, so a 21st carries the last 17.
    const std::vector<OutputReport> packets = MacroDataReports(image, 0);
    ASSERT_EQ(packets.size(), 21u);
    EXPECT_EQ(packets[19][2], 0x3B);
    const OutputReport& last = packets.back();
    EXPECT_EQ(last[2], 1197 - 59 * 20);
    EXPECT_EQ(last[3] | (last[4] << 8), 59 * 20);
    EXPECT_TRUE(std::equal(last.begin() + 6, last.begin() + 6 + 20, image.bytes.begin() + 59 * 20));
    EXPECT_TRUE(std::all_of(last.begin() + 26, last.end(), [](uint8_t b) { return b == 0; }))
        << "nothing from past the image";

    // Without records: only the header, one packet.
    const OutputMacroImage empty = BuildOutputMacroImage(0, {});
    EXPECT_EQ(empty.bytes[0], 1);
    EXPECT_EQ(MacroDataReports(empty, 0).size(), 1u);
}

// Every record count a macro can have: the keyboard must receive every event, the last one included.
// Counted in 60s alone, the packets fall short of the image from 98 records on.
TEST(ProtocolEncodingTest, EveryMacroReachesTheKeyboardWhole)
{
    for (int count = 1; count <= kOutputMacroRecordLimit; ++count) {
        MacroRecordList records;
        std::vector<SimMacroEvent> expected;
        for (int i = 0; i < count; ++i) {
            // Keys A-Z (key codes 4-29), delays that use both delay bytes but not the bits that carry
            // the direction (bit 7 of a release's low byte, bit 15 of a press's).
            const int delay = (i * 977) % 0x8000 & ~0x80;
            const bool release = i % 2 == 1;
            records.push_back(std::make_unique<MacroRecordRow>(
                MacroRecordRow{.type = release ? 3 : 2, .value = 'A' + i % 26, .delay_time = delay}));
            expected.push_back({static_cast<uint8_t>(4 + i % 26), release, delay});
        }
        KeyboardFirmware firmware(CommandFamily::OutputReports, 0x0100);
        const std::vector<OutputReport> packets = MacroDataReports(BuildOutputMacroImage(2, records), 5);
        for (const OutputReport& packet : packets)
            ASSERT_TRUE(firmware.Receive(SimTransfer::Write, SimInterfaceRole::Command, packet)) << count;

        const SimOutputMacro& macro = firmware.State().outputMacros.at(5);
        EXPECT_EQ(macro.PlayTimes(), 2) << count;
        EXPECT_EQ(macro.Events(), expected) << count << " records in " << packets.size() << " packets";
    }
}

TEST(ProtocolEncodingTest, AnAddedPacketKeepsTheFramingOfTheOthers)
{
    struct FramingCase {
        int records;
        size_t packets;
        uint8_t lastLength;
    };
    const FramingCase cases[] = {
        {97, 5, 294 - 240},  // L = 294 fits in five packets: the last length counts in 60s
        {98, 6, 297 - 295},  // L = 297: a sixth packet carries the last two bytes
        {117, 6, 354 - 300}, // L = 354 fits in six again
        {118, 7, 357 - 354},
    };
    for (const FramingCase& c : cases) {
        MacroRecordList records;
        for (int i = 0; i < c.records; ++i)
            records.push_back(
                std::make_unique<MacroRecordRow>(MacroRecordRow{.type = 2 + i % 2, .value = 65}));
        const std::vector<OutputReport> packets = MacroDataReports(BuildOutputMacroImage(1, records), 0);
        ASSERT_EQ(packets.size(), c.packets) << c.records;
        for (size_t k = 0; k + 1 < packets.size(); ++k)
            EXPECT_EQ(packets[k][2], 0x3B) << c.records << " packet " << k;
        EXPECT_EQ(packets.back()[2], c.lastLength) << c.records;
        EXPECT_EQ(packets.back()[3] | (packets.back()[4] << 8), 59 * static_cast<int>(c.packets - 1));
    }
}

TEST(ProtocolEncodingTest, ShortcutReportLengthCountsOnlyTheEvents)
{
    const OutputReport altSpaceX = ShortcutDataReport(13, 5);
    const std::vector<uint8_t> expected = {0x00, 0x8E, 18,   0x00, 0x00, 5,    0x01, 6,    0xE2,
                                           0x64, 0x80, 0x2C, 0x64, 0x80, 0x1B, 0x64, 0x80, 0x1B,
                                           0x64, 0x00, 0x2C, 0x64, 0x00, 0xE2, 0x64, 0x00};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), altSpaceX.begin()));
    EXPECT_TRUE(
        std::all_of(altSpaceX.begin() + expected.size(), altSpaceX.end(), [](uint8_t b) { return b == 0; }));

    // An unknown value: four events, all zero.
    const OutputReport unknown = ShortcutDataReport(16, 2);
    const std::vector<uint8_t> header = {0x00, 0x8E, 12, 0x00, 0x00, 2, 0x01, 4};
    EXPECT_TRUE(std::equal(header.begin(), header.end(), unknown.begin()));
    EXPECT_TRUE(
        std::all_of(unknown.begin() + header.size(), unknown.end(), [](uint8_t b) { return b == 0; }));
}

TEST(ProtocolEncodingTest, KeysAreOnlyPlacedWhereTheLayoutMapPutsThemInsideTheBuffer)
{
    const KeyIndexMap map = {{4, 0}, {5, 149}, {6, 150}, {7, -1}};
    EXPECT_EQ(KeyPosition(map, 4, kKeyColourEntries), 0u);
    EXPECT_EQ(KeyPosition(map, 5, kKeyColourEntries), 149u);
    EXPECT_EQ(KeyPosition(map, 6, kKeyColourEntries), std::nullopt);
    EXPECT_EQ(KeyPosition(map, 6, kKeyMapEntries), 150u);
    EXPECT_EQ(KeyPosition(map, 7, kKeyColourEntries), std::nullopt);
    EXPECT_EQ(KeyPosition(map, 8, kKeyColourEntries), std::nullopt);
    // An empty map puts every key at index 0.
    EXPECT_EQ(KeyPosition({}, 8, kKeyColourEntries), 0u);
}
