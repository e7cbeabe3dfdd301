#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "sim/keyboard_firmware.h"

namespace {

std::vector<uint8_t> Feature(std::initializer_list<uint8_t> bytes)
{
    std::vector<uint8_t> report(8, 0);
    std::copy(bytes.begin(), bytes.end(), report.begin());
    return report;
}

std::vector<uint8_t> Output(std::initializer_list<uint8_t> bytes)
{
    std::vector<uint8_t> report(65, 0);
    std::copy(bytes.begin(), bytes.end(), report.begin() + 1);
    return report;
}

// An 8B/8D/F1 packet: command, length, offset, then `data` from byte 5.
std::vector<uint8_t> Packet(uint8_t command, uint8_t length, int offset, std::initializer_list<uint8_t> data)
{
    std::vector<uint8_t> report =
        Output({command, length, static_cast<uint8_t>(offset & 0xFF), static_cast<uint8_t>(offset >> 8)});
    std::copy(data.begin(), data.end(), report.begin() + 5);
    return report;
}

class FeatureFirmwareTest : public testing::Test {
protected:
    bool Send(const std::vector<uint8_t>& report)
    {
        return m_firmware.Receive(SimTransfer::SendFeature, SimInterfaceRole::Command, report);
    }
    bool Write(const std::vector<uint8_t>& report)
    {
        return m_firmware.Receive(SimTransfer::Write, SimInterfaceRole::Command, report);
    }
    std::vector<uint8_t> Read(SimReport expected)
    {
        std::vector<uint8_t> report = Feature({0x07});
        EXPECT_EQ(m_firmware.Answer(SimInterfaceRole::Command, report), expected);
        return report;
    }
    // The 28 reports of one macro slot image.
    void SendMacroImage(const std::array<uint8_t, kSimMacroImageLength>& image, int reports = 28)
    {
        for (int k = 0; k < reports; ++k) {
            std::vector<uint8_t> report = Feature({0x07, static_cast<uint8_t>(k == 0 ? 0xF1 : 0x00)});
            std::copy_n(image.begin() + 6 * k, 6, report.begin() + 2);
            EXPECT_EQ(m_firmware.Classify(SimTransfer::SendFeature, report), SimReport::MacroSlotWrite);
            EXPECT_TRUE(Send(report));
        }
    }
    const FirmwareState& State() const { return m_firmware.State(); }

    KeyboardFirmware m_firmware{CommandFamily::FeatureReports, 0x0105};
};

class OutputFirmwareTest : public FeatureFirmwareTest {
protected:
    OutputFirmwareTest() { m_firmware = KeyboardFirmware(CommandFamily::OutputReports, 0x0203); }
};

} // namespace

TEST_F(FeatureFirmwareTest, SlotTableAndFirmwareVersionAreReadBack)
{
    FirmwareState state = State();
    for (size_t i = 0; i < state.slotTable.size(); ++i)
        state.slotTable[i] = static_cast<uint8_t>(i + 1);
    m_firmware.LoadState(state);

    EXPECT_EQ(Read(SimReport::EmptyAnswer), Feature({0x07}));
    ASSERT_TRUE(Send(Feature({0x07, 0xFB, 0x01})));
    for (int k = 0; k < 5; ++k) { // the fifth read starts over
        const int chunk = k % 4;
        const std::vector<uint8_t> answer = Read(SimReport::SlotTableAnswer);
        EXPECT_EQ(answer[0], 0x07);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(answer[1 + i], 7 * chunk + i + 1) << "read " << k;
    }
    ASSERT_TRUE(Send(Feature({0x07, 0xFD})));
    EXPECT_EQ(Read(SimReport::FirmwareVersionAnswer), Feature({0x07, 0x01, 0x05}));
    EXPECT_EQ(Read(SimReport::FirmwareVersionAnswer), Feature({0x07, 0x01, 0x05}));

    // Another report id, or another interface, gets nothing.
    std::vector<uint8_t> other = Feature({0x05});
    EXPECT_EQ(m_firmware.Answer(SimInterfaceRole::Command, other), SimReport::EmptyAnswer);
    EXPECT_EQ(other, Feature({0x05}));
    std::vector<uint8_t> elsewhere = Feature({0x07});
    EXPECT_EQ(m_firmware.Answer(SimInterfaceRole::Other, elsewhere), SimReport::EmptyAnswer);
}

TEST_F(FeatureFirmwareTest, RemapSlots)
{
    EXPECT_TRUE(Send(Feature({0x07, 0xFA, 0x01, 3, 0x2C, 0x01, 0x05, 0x01})));
    EXPECT_TRUE(Send(Feature({0x07, 0xFA, 0x01, 10, 0x04, 0x01, 0x00, 0x01})));
    EXPECT_EQ(State().remapSlots.at(3), (SimRemapSlot{0x2C, 0x05}));
    EXPECT_EQ(State().slotTable[16], 0x2C);
    EXPECT_EQ(State().slotTable[23], 0x04);

    EXPECT_TRUE(Send(Feature({0x07, 0xFA, 0x01, 3, 0x00, 0x01, 0x00, 0x01}))); // cleared
    EXPECT_EQ(State().slotTable[16], 0);
    EXPECT_EQ(State().remapSlots.at(3), (SimRemapSlot{0, 0}));

    for (uint8_t slot : {0, 11, 14}) {
        EXPECT_FALSE(Send(Feature({0x07, 0xFA, 0x01, slot, 0x2C, 0x01, 0x05, 0x01})));
        EXPECT_EQ(State().remapSlots.count(slot), 0u);
    }
    EXPECT_EQ(State().ignoredReports, 3);
}

TEST_F(FeatureFirmwareTest, MacroSlotImagesAreAssembledFrom28Reports)
{
    std::array<uint8_t, kSimMacroImageLength> image{1, 2, 0x04, 3};
    const std::array<uint8_t, 8> pairs = {0x04, 0x01, 0x04, 0x81, 0x05, 0x26, 0xE0, 0xFF};
    std::copy(pairs.begin(), pairs.end(), image.begin() + 4);
    image[167] = 0x77; // the last byte of the 28th report

    // A report lost on the way leaves the image unfinished: nothing is stored.
    SendMacroImage(image, 27);
    EXPECT_TRUE(State().macroSlots.empty());

    SendMacroImage(image);
    const SimMacroSlot& slot = State().macroSlots.at(2);
    EXPECT_EQ(slot.image, image);
    EXPECT_EQ(slot.Key(), 0x04);
    EXPECT_EQ(slot.PlayTimes(), 3);
    EXPECT_EQ(State().slotTable[2], 0x04);
    const std::vector<SimMacroEvent> expected = {
        {0x04, false, 10}, {0x04, true, 10}, {0x05, false, 300}, {0xE0, true, 31000}};
    EXPECT_EQ(slot.Events(), expected);

    // A continuation without a start is no macro report.
    EXPECT_EQ(m_firmware.Classify(SimTransfer::SendFeature, Feature({0x07, 0x00, 1, 2})), SimReport::Unknown);
    EXPECT_FALSE(Send(Feature({0x07, 0x00, 1, 2})));

    // Slots past the table are not stored; a cleared slot keeps its image with key 0.
    std::array<uint8_t, kSimMacroImageLength> outside{1, 14, 0x04, 1};
    SendMacroImage(outside);
    EXPECT_EQ(State().macroSlots.count(14), 0u);
    std::array<uint8_t, kSimMacroImageLength> cleared{1, 2};
    SendMacroImage(cleared);
    EXPECT_EQ(State().slotTable[2], 0);
    EXPECT_TRUE(State().macroSlots.at(2).Events().empty());
}

TEST_F(FeatureFirmwareTest, LightingMusicAndResetByCableAndByPayload)
{
    EXPECT_TRUE(Send(Feature({0x07, 0xFF, 0xFF, 0x02, 0x03, 0x1F, 0x01, 0x02})));
    EXPECT_EQ(State().lighting.mode, 2);
    EXPECT_EQ(State().lighting.brightness, 3);
    EXPECT_EQ(State().lighting.ColorIndex(), 1);
    EXPECT_EQ(State().lighting.Speed(), 0x0F);
    EXPECT_EQ(State().lighting.set, 1);
    EXPECT_EQ(State().lighting.direction, 2);
    EXPECT_FALSE(State().lighting.wireless);

    const std::vector<uint8_t> payloadLighting =
        Output({0xBB, 0xAA, 0x99, 0x88, 0xAA, 0x04, 0x00, 0x22, 0x00, 0x02, 0x01});
    EXPECT_EQ(m_firmware.Classify(SimTransfer::Write, payloadLighting), SimReport::PayloadLighting);
    EXPECT_TRUE(Write(payloadLighting));
    EXPECT_EQ(State().lighting.mode, 4);
    EXPECT_EQ(State().lighting.combined, 0x22);
    EXPECT_EQ(State().lighting.set, 2);
    EXPECT_EQ(State().lighting.direction, 1);
    EXPECT_TRUE(State().lighting.wireless);
    EXPECT_EQ(State().lighting.updates, 2);

    EXPECT_TRUE(Send(Feature({0x07, 0x23, 0x45, 0x67, 0x89, 0x02, 0x80})));
    EXPECT_EQ(State().music.effect, 2);
    EXPECT_EQ(State().music.level, 0x80);

    // The second payload of a reset does nothing alone.
    const std::vector<uint8_t> resetFirst =
        Output({0xBB, 0xAA, 0x99, 0x88, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA});
    const std::vector<uint8_t> resetSecond = Output({0xBB, 0xAA, 0x99, 0x88});
    EXPECT_EQ(m_firmware.Classify(SimTransfer::Write, resetFirst), SimReport::PayloadResetFirst);
    EXPECT_EQ(m_firmware.Classify(SimTransfer::Write, resetSecond), SimReport::PayloadResetSecond);
    EXPECT_FALSE(Write(resetSecond));
    EXPECT_EQ(State().resets, 0);

    Send(Feature({0x07, 0xFA, 0x01, 1, 0x2C, 0x01, 0x05, 0x01}));
    Write(Packet(0x8B, 4, 0, {1, 2, 3, 0xFF}));
    EXPECT_TRUE(Write(resetFirst));
    EXPECT_TRUE(Write(resetSecond));
    EXPECT_EQ(State().resets, 1);
    EXPECT_EQ(State().slotTable[14], 0);
    EXPECT_TRUE(State().remapSlots.empty());
    EXPECT_EQ(State().KeyColour(0), 0u);
    EXPECT_EQ(State().lighting.updates, 0);
    EXPECT_EQ(State().firmwareVersion, 0x0105);

    Send(Feature({0x07, 0xFA, 0x01, 1, 0x2C, 0x01, 0x05, 0x01}));
    EXPECT_TRUE(Send(Feature({0x07, 0xF0, 0xAA})));
    EXPECT_EQ(State().resets, 2);
    EXPECT_EQ(State().slotTable[14], 0);
}

TEST_F(FeatureFirmwareTest, PerKeyColoursArriveInPackets)
{
    // Entry 0 in the first packet; entries 105-109 in the last (offset 420, 20 bytes).
    EXPECT_TRUE(Write(Packet(0x8B, 60, 0, {0x11, 0x22, 0x33, 0xFF})));
    EXPECT_TRUE(Write(Packet(0x8B, 20, 420, {0x44, 0x55, 0x66, 0xFF, 0x77, 0x88, 0x99, 0xFF})));
    EXPECT_EQ(State().KeyColour(0), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(State().KeyColour(105), RGB(0x44, 0x55, 0x66));
    EXPECT_EQ(State().KeyColour(106), RGB(0x77, 0x88, 0x99));
    EXPECT_EQ(State().keyColours[423], 0xFF);
    EXPECT_EQ(State().KeyColour(150), 0u);

    // A packet reaching past the buffer stores what fits.
    EXPECT_TRUE(Write(Packet(0x8B, 60, 596, {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(State().KeyColour(149), RGB(1, 2, 3));

    // The output-report family's own commands mean nothing here.
    for (uint8_t command : {0x8D, 0x8E, 0x88, 0x89, 0xF1})
        EXPECT_FALSE(Write(Packet(command, 60, 0, {1}))) << int(command);
}

TEST_F(OutputFirmwareTest, KeyMapMacroMemoryAndLighting)
{
    EXPECT_TRUE(Write(Packet(0x8D, 60, 0, {0x05, 0x20, 0x00, 0x20, 0x02, 0x40})));
    EXPECT_TRUE(Write(Packet(0x8D, 40, 180, {0x06, 0x20})));
    EXPECT_EQ(State().KeyMapEntry(0), std::make_pair(uint8_t{0x05}, uint8_t{0x20}));
    EXPECT_EQ(State().KeyMapEntry(2), std::make_pair(uint8_t{0x02}, uint8_t{0x40}));
    EXPECT_EQ(State().KeyMapEntry(90), std::make_pair(uint8_t{0x06}, uint8_t{0x20}));

    // A macro of two packets in slot 1: play count 2, two records, a press after 0x0123 ms and a release
    // after 100 ms. The second packet's data lands at image offset 59.
    std::vector<uint8_t> first =
        Output({0x8E, 0x3B, 0x00, 0x00, 0x01, 0x02, 0x02, 0x04, 0x23, 0x81, 0x04, 0xE4, 0x00});
    std::vector<uint8_t> second = Output({0x8E, 0x0C, 0x3B, 0x00, 0x01});
    first[64] = 0x16;
    second[6] = 0x17;
    EXPECT_TRUE(Write(first));
    EXPECT_TRUE(Write(second));
    const SimOutputMacro& macro = State().outputMacros.at(1);
    EXPECT_EQ(macro.packets, 2);
    EXPECT_EQ(macro.lastLength, 0x0C);
    EXPECT_EQ(macro.image[58], 0x16);
    EXPECT_EQ(macro.image[59], 0x17);
    EXPECT_EQ(macro.PlayTimes(), 2);
    EXPECT_EQ(macro.Count(), 2);
    EXPECT_EQ(macro.Events(), (std::vector<SimMacroEvent>{{0x04, false, 0x0123}, {0x04, true, 100}}));

    // A built-in shortcut in slot 2: 8E 3c 00 00 slot 01 c, then the events.
    EXPECT_TRUE(Write(Output({0x8E, 12, 0x00, 0x00, 0x02, 0x01, 0x04, 0xE0, 0x64, 0x80, 0x04, 0x64, 0x80,
                              0x04, 0x64, 0x00, 0xE0, 0x64, 0x00})));
    const SimOutputMacro& shortcut = State().outputMacros.at(2);
    EXPECT_EQ(shortcut.PlayTimes(), 1);
    EXPECT_EQ(shortcut.Events(),
              (std::vector<SimMacroEvent>{
                  {0xE0, false, 100}, {0x04, false, 100}, {0x04, true, 100}, {0xE0, true, 100}}));
    // Writing slot 1 from offset 0 again starts a new image.
    EXPECT_TRUE(Write(Output({0x8E, 0x05, 0x00, 0x00, 0x01, 0x01, 0x00})));
    EXPECT_EQ(State().outputMacros.at(1).packets, 1);
    EXPECT_EQ(State().outputMacros.at(1).image[2], 0);

    EXPECT_TRUE(Write(Output({0x88, 0x00, 0x05})));
    EXPECT_TRUE(Write(Output({0x89, 0x00, 0x63, 0x10, 0x20, 0x30, 0x04})));
    const SimOutputLighting& lighting = State().outputLighting;
    EXPECT_EQ(lighting.mode, 5);
    EXPECT_EQ(lighting.Direction(), 2);
    EXPECT_TRUE(lighting.Colorful());
    EXPECT_EQ(lighting.Speed(), 3);
    EXPECT_EQ(lighting.color, RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(lighting.brightness, 4);

    EXPECT_TRUE(Send(Feature({0x07, 0xFF, 0xFF, 0x01, 0x04, 0x02, 0x00, 0x02})));
    EXPECT_EQ(State().preview.mode, 1);
    EXPECT_EQ(State().preview.brightness, 4);
    EXPECT_EQ(State().preview.speed, 2);
    EXPECT_EQ(State().preview.set, 2);

    EXPECT_TRUE(Write(Output({0xFF, 0xFE, 0xAA, 0xFF})));
    EXPECT_EQ(State().resets, 1);
    EXPECT_EQ(State().KeyMapEntry(0), std::make_pair(uint8_t{0}, uint8_t{0}));
    EXPECT_TRUE(State().outputMacros.empty());
}

TEST_F(OutputFirmwareTest, ColourStreamGoesToTheStreamInterfaceOnly)
{
    const auto stream = [&](const std::vector<uint8_t>& report, SimInterfaceRole role) {
        return m_firmware.Receive(SimTransfer::Write, role, report);
    };
    EXPECT_TRUE(Write(Output({0xF0, 0xF4, 0x01})));
    EXPECT_TRUE(State().streamStarted);

    for (int k = 0; k < 6; ++k) {
        const uint8_t length = k < 5 ? 60 : 30;
        EXPECT_TRUE(stream(Packet(0xF1, length, 60 * k, {static_cast<uint8_t>(k), 0x20, 0x30}),
                           SimInterfaceRole::Stream));
    }
    EXPECT_EQ(State().streamPackets, 6);
    EXPECT_EQ(State().streamFrames, 1);
    EXPECT_EQ(State().StreamColour(0), RGB(0, 0x20, 0x30));
    EXPECT_EQ(State().StreamColour(100), RGB(5, 0x20, 0x30));

    // On the command interface a frame is ignored, as is a command on the stream interface.
    EXPECT_FALSE(stream(Packet(0xF1, 60, 0, {9, 9, 9}), SimInterfaceRole::Command));
    EXPECT_FALSE(stream(Output({0x88, 0x00, 0x05}), SimInterfaceRole::Stream));
    EXPECT_EQ(State().StreamColour(0), RGB(0, 0x20, 0x30));
    EXPECT_EQ(State().outputLighting.modeUpdates, 0);

    // Payloads and the feature family's commands mean nothing here; nor does a report id other than 0.
    EXPECT_FALSE(Write(Output({0xBB, 0xAA, 0x99, 0x88, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA})));
    EXPECT_FALSE(Send(Feature({0x07, 0xFA, 0x01, 1, 0x2C, 0x01, 0x05, 0x01})));
    std::vector<uint8_t> wrongId = Output({0x88, 0x00, 0x05});
    wrongId[0] = 0x02;
    EXPECT_FALSE(Write(wrongId));
    EXPECT_EQ(State().ignoredReports, 5);
}
