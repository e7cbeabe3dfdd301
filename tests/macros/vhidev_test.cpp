#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "macros/vhidev.h"
#include "platform/fake/memory_virtual_hid_device.h"
#include "tests/macros/software_keys_fixture.h"

namespace {

class VHidevTest : public testing::Test {
protected:
    VHidevTest() { EXPECT_TRUE(m_vhidev.FindVirtualDevice()); }

    MemoryVirtualHidDevice m_device;
    VHidev m_vhidev{m_device, "Corvid Z5"};
};

TEST_F(VHidevTest, ReportsCarryTheTagTheIdAndThePayloadCutToTheBuffer)
{
    std::vector<uint8_t> payload(70);
    std::iota(payload.begin(), payload.end(), uint8_t{1});

    ASSERT_TRUE(m_vhidev.SendReport(payload, 9));
    ASSERT_TRUE(m_vhidev.SendReport(payload, 0));
    ASSERT_TRUE(m_vhidev.SendReport(std::span<const uint8_t>(payload.data(), 3), 2));

    const Reports sent = m_device.Reports();
    ASSERT_EQ(sent.size(), 3u);
    // With an id: tag, id, then 62 payload bytes.
    EXPECT_EQ(sent[0][0], 5);
    EXPECT_EQ(sent[0][1], 9);
    EXPECT_EQ(sent[0][2], 1);
    EXPECT_EQ(sent[0][63], 62);
    // Without one: tag, then 63 payload bytes.
    EXPECT_EQ(sent[1][1], 1);
    EXPECT_EQ(sent[1][63], 63);
    // A short payload leaves the rest zero.
    Report shortOne{};
    shortOne[0] = 5;
    shortOne[1] = 2;
    shortOne[2] = 1;
    shortOne[3] = 2;
    shortOne[4] = 3;
    EXPECT_EQ(sent[2], shortOne);
}

TEST_F(VHidevTest, ChannelsKeepTheirStateAndReleaseAllSendsEachAtRest)
{
    m_vhidev.SetKey(0x04, true);
    m_vhidev.SetKey(0xE1, true); // left Shift: byte 29 of the payload, bit 1
    m_vhidev.SetKey(0x04, false);
    m_vhidev.SetMouseButtons(VHidev::kButtonLeft, true);
    m_vhidev.SetMouseButtons(VHidev::kButton5, true);
    m_vhidev.SetConsumerUsage(0x0E2);
    m_vhidev.ReleaseAll();

    Reports expected = {KeyboardReport({0x04}), KeyboardReport({0x04, 0xE1}),
                        KeyboardReport({0xE1}), MouseReport(0x01),
                        MouseReport(0x11),      ConsumerReport(0x0E2)};
    for (const Report& report : ReleaseAllReports())
        expected.push_back(report);
    EXPECT_EQ(m_device.Reports(), expected);
    EXPECT_EQ(m_device.Reports()[2][2 + 29], 0x02);
    EXPECT_FALSE(m_vhidev.SetKey(256, true));
}

TEST_F(VHidevTest, ADeviceOpenedAnewStartsWithNothingHeld)
{
    m_vhidev.SetKey(0x05, true);
    m_device.Close();
    EXPECT_FALSE(m_vhidev.SetKey(0x06, true)); // written nowhere
    ASSERT_TRUE(m_vhidev.FindVirtualDevice());
    m_vhidev.SetKey(0x07, true);

    EXPECT_EQ(m_device.Reports().back(), KeyboardReport({0x07}));
    EXPECT_EQ(m_device.OpenCount(), 2);
}

TEST(VHidevOpen, TellsWhyTheDeviceCouldNotBeOpened)
{
    MemoryVirtualHidDevice device;
    device.SetOpenResult(DeviceAccess::Denied);
    VHidev vhidev(device, "Corvid Z5");

    EXPECT_FALSE(vhidev.FindVirtualDevice());
    EXPECT_EQ(vhidev.LastAccess(), DeviceAccess::Denied);
    EXPECT_FALSE(vhidev.SetKey(4, true));

    device.SetOpenResult(DeviceAccess::Ok);
    EXPECT_TRUE(vhidev.FindVirtualDevice());
    EXPECT_EQ(vhidev.LastAccess(), DeviceAccess::Ok);
    EXPECT_EQ(device.Name(), "Corvid Z5");
}

} // namespace
