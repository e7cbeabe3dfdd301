#include <gtest/gtest.h>

#include <linux/uinput.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <tuple>
#include <vector>

#include "platform/fake/fake_device_io.h"
#include "platform/linux/uinput_virtual_hid_device.h"

namespace {

using Event = std::tuple<int, int, int>; // type, code, value

std::vector<Event> Events(const std::vector<input_event>& events)
{
    std::vector<Event> out;
    for (const input_event& e : events)
        out.emplace_back(e.type, e.code, e.value);
    return out;
}

constexpr Event Syn{EV_SYN, SYN_REPORT, 0};

using Report = std::array<uint8_t, 64>;

Report Keys(std::initializer_list<unsigned> usages)
{
    Report r{5, 1};
    for (unsigned u : usages)
        r[3 + u / 8] |= static_cast<uint8_t>(1u << (u % 8));
    return r;
}

Report Mouse(uint8_t buttons)
{
    return Report{5, 2, buttons};
}

Report Consumer(unsigned usage)
{
    return Report{5, 3, static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)};
}

class UinputVirtualHidDeviceTest : public testing::Test {
protected:
    std::vector<Event> WrittenAfter(const Report& report)
    {
        const size_t before = m_io.Written(0).size();
        EXPECT_TRUE(m_device.Write(report));
        const auto all = Events(m_io.Written(0));
        return std::vector<Event>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    }

    FakeDeviceIo m_io;
    UinputVirtualHidDevice m_device{m_io};
};

TEST_F(UinputVirtualHidDeviceTest, SetsUpAKeyboardWithButtonsUnderTheDeviceName)
{
    ASSERT_EQ(
        m_device.Open("Corvid Z5 — Ünïcode name that is long enough to be cut by uinput's eighty bytes"),
        DeviceAccess::Ok);
    ASSERT_TRUE(m_device.IsOpen());

    const auto devices = m_io.UinputDevices();
    ASSERT_EQ(devices.size(), 1u);
    const FakeDeviceIo::Uinput& uinput = devices[0];
    EXPECT_TRUE(uinput.created);
    auto has = [&](unsigned long request, unsigned long value) {
        return std::find(uinput.setBits.begin(), uinput.setBits.end(), FakeDeviceIo::Ioctl{request, value}) !=
               uinput.setBits.end();
    };
    for (unsigned long type : {EV_SYN, EV_KEY, EV_REL, EV_REP})
        EXPECT_TRUE(has(UI_SET_EVBIT, type)) << "event type " << type;
    for (unsigned long key : {KEY_A, KEY_LEFTSHIFT, KEY_RIGHTMETA, KEY_F24, KEY_KPENTER, KEY_MUTE, KEY_FILE,
                              KEY_CONFIG, BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, BTN_SIDE, BTN_EXTRA})
        EXPECT_TRUE(has(UI_SET_KEYBIT, key)) << "key " << key;
    EXPECT_TRUE(has(UI_SET_RELBIT, REL_X));
    EXPECT_EQ(uinput.setup.id.vendor, 0xDEED);
    EXPECT_EQ(uinput.setup.id.product, 0xFEED);
    EXPECT_EQ(uinput.setup.id.bustype, BUS_VIRTUAL);
    const std::string name(uinput.setup.name, strnlen(uinput.setup.name, sizeof uinput.setup.name));
    EXPECT_LT(name.size(), sizeof uinput.setup.name);
    EXPECT_EQ(name.rfind("Corvid Z5 — Ünïcode name", 0), 0u);
    EXPECT_NE(static_cast<unsigned char>(name.back()) & 0xC0, 0x80u) << "cut inside a character? " << name;

    EXPECT_EQ(m_device.Open("again"), DeviceAccess::Ok);
    EXPECT_EQ(m_io.UinputDevices().size(), 1u) << "an open device is kept";
}

TEST_F(UinputVirtualHidDeviceTest, EachReportBecomesTheKeyChangesItBringsClosedBySyn)
{
    ASSERT_EQ(m_device.Open("Corvid Z5"), DeviceAccess::Ok);

    EXPECT_EQ(WrittenAfter(Keys({0x04})), (std::vector<Event>{{EV_KEY, KEY_A, 1}, Syn}));
    EXPECT_EQ(WrittenAfter(Keys({0x04})), std::vector<Event>{}) << "nothing changed";
    // Modifiers go down before keys, keys up before modifiers.
    EXPECT_EQ(WrittenAfter(Keys({0x04, 0x05, 0xE1})),
              (std::vector<Event>{{EV_KEY, KEY_LEFTSHIFT, 1}, {EV_KEY, KEY_B, 1}, Syn}));
    EXPECT_EQ(WrittenAfter(Keys({0x58})), (std::vector<Event>{{EV_KEY, KEY_A, 0},
                                                              {EV_KEY, KEY_B, 0},
                                                              {EV_KEY, KEY_LEFTSHIFT, 0},
                                                              {EV_KEY, KEY_KPENTER, 1},
                                                              Syn}));
    EXPECT_EQ(WrittenAfter(Keys({0x58, 0xAF})), std::vector<Event>{}) << "a usage without a key";

    EXPECT_EQ(WrittenAfter(Mouse(0x05)),
              (std::vector<Event>{{EV_KEY, BTN_LEFT, 1}, {EV_KEY, BTN_MIDDLE, 1}, Syn}));
    EXPECT_EQ(
        WrittenAfter(Mouse(0x1C)),
        (std::vector<Event>{{EV_KEY, BTN_LEFT, 0}, {EV_KEY, BTN_SIDE, 1}, {EV_KEY, BTN_EXTRA, 1}, Syn}));

    EXPECT_EQ(WrittenAfter(Consumer(0x0E9)), (std::vector<Event>{{EV_KEY, KEY_VOLUMEUP, 1}, Syn}));
    EXPECT_EQ(WrittenAfter(Consumer(0x0CD)),
              (std::vector<Event>{{EV_KEY, KEY_VOLUMEUP, 0}, {EV_KEY, KEY_PLAYPAUSE, 1}, Syn}));
    EXPECT_EQ(WrittenAfter(Consumer(0)), (std::vector<Event>{{EV_KEY, KEY_PLAYPAUSE, 0}, Syn}));

    EXPECT_EQ(WrittenAfter(Report{5, 4}), std::vector<Event>{});
    EXPECT_EQ(WrittenAfter(Report{5, 0, 1, 2}), std::vector<Event>{});
    // Each report is one write, so readers get it whole.
    EXPECT_EQ(m_io.UinputDevices()[0].writes.size(), 8u);
}

TEST_F(UinputVirtualHidDeviceTest, OpenFailuresTellWhy)
{
    const std::pair<int, DeviceAccess> cases[] = {{EACCES, DeviceAccess::Denied},
                                                  {EPERM, DeviceAccess::Denied},
                                                  {ENOENT, DeviceAccess::Missing},
                                                  {ENODEV, DeviceAccess::Missing},
                                                  {EIO, DeviceAccess::Failed}};
    for (const auto& [error, access] : cases) {
        m_io.SetUinputError(error);
        EXPECT_EQ(m_device.Open("Corvid Z5"), access) << "errno " << error;
        EXPECT_FALSE(m_device.IsOpen());
        EXPECT_FALSE(m_device.Write(Keys({4})));
    }
    EXPECT_EQ(m_io.OpenDescriptors(), 0);
}

TEST_F(UinputVirtualHidDeviceTest, ClosingDestroysTheDeviceAndANewOneStartsAtRest)
{
    ASSERT_EQ(m_device.Open("Corvid Z5"), DeviceAccess::Ok);
    m_device.Write(Keys({4}));
    m_device.Close();
    EXPECT_TRUE(m_io.UinputDevices()[0].destroyed);
    EXPECT_EQ(m_io.OpenDescriptors(), 0);

    ASSERT_EQ(m_device.Open("Corvid Z5"), DeviceAccess::Ok);
    m_device.Write(Keys({4}));
    EXPECT_EQ(Events(m_io.Written(1)), (std::vector<Event>{{EV_KEY, KEY_A, 1}, Syn}));
}

} // namespace
