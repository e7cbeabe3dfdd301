#include <gtest/gtest.h>

#include <linux/uinput.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>
#include <tuple>

#include "platform/fake/fake_device_io.h"
#include "platform/linux/evdev_key_filter.h"
#include "tests/lighting/eventually.h"
#include "tests/platform/sysfs_fixture.h"

namespace {

using namespace std::chrono_literals;
using Event = std::tuple<int, int, int>; // type, code, value
using Record = KeyFilterDevice::KeyEventRecord;
using WaitResult = KeyFilterDevice::WaitResult;

constexpr const char* kKeys = "/dev/input/event5";  // the keyboard's keys
constexpr const char* kMedia = "/dev/input/event6"; // its consumer keys
constexpr const char* kTouch = "/dev/input/event7"; // a touch pad on the same receiver: left alone
constexpr unsigned kCodeA = 4, kCodeC = 6, kCodeMute = 235;

// A keyboard (cable) whose vendor interface is hidraw2, with its key, media and touch pad nodes.
class EvdevKeyFilterTest : public testing::Test {
protected:
    EvdevKeyFilterTest()
    {
        const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1/1-2";
        m_sys.UsbDevice(usb);
        for (int i = 0; i < 4; ++i)
            m_sys.Interface(usb + "/1-2:1." + std::to_string(i));
        m_sys.Event(usb + "/1-2:1.0/0003:1209:0001.0001/input/input5", "event5");
        m_sys.Event(usb + "/1-2:1.1/0003:1209:0001.0002/input/input6", "event6");
        m_sys.Event(usb + "/1-2:1.3/0003:1209:0001.0004/input/input7", "event7");
        m_sys.Hidraw(usb + "/1-2:1.2/0003:1209:0001.0003", "hidraw2");

        FakeDeviceIo::EvdevCapabilities keys;
        keys.types = {EV_KEY, EV_MSC, EV_LED, EV_REP};
        keys.keys = {KEY_ESC, KEY_A, KEY_B, KEY_C, KEY_LEFTSHIFT};
        keys.miscEvents = {MSC_SCAN};
        keys.id = input_id{BUS_USB, 0x1209, 0x0001, 0x0111};
        m_io.AddEvdevNode(kKeys, keys);
        FakeDeviceIo::EvdevCapabilities media;
        media.types = {EV_KEY, EV_REL};
        media.keys = {KEY_MUTE, KEY_VOLUMEUP, BTN_LEFT};
        media.relativeAxes = {REL_WHEEL};
        m_io.AddEvdevNode(kMedia, media);
        FakeDeviceIo::EvdevCapabilities touch;
        touch.types = {EV_KEY, EV_ABS};
        touch.keys = {BTN_TOUCH, KEY_A};
        m_io.AddEvdevNode(kTouch, touch);
    }
    ~EvdevKeyFilterTest() override { m_filter.reset(); }

    void Make()
    {
        m_filter = std::make_unique<EvdevKeyFilter>(
            "Corvid Z5", [this] { return m_interfaces; }, m_io, m_sys.Root().string(), "/dev/input");
        ASSERT_TRUE(m_filter->Open());
    }
    // The program's sequence: set the list, arm, start.
    void Watch(std::initializer_list<unsigned> codes)
    {
        std::array<uint8_t, 1024> list{};
        size_t i = 0;
        for (unsigned code : codes) {
            list[i] = static_cast<uint8_t>(code);
            list[i + 2] = 7;
            list[i + 3] = 2;
            i += 4;
        }
        ASSERT_TRUE(m_filter->Control(KeyFilterDevice::kSetKeyList, list));
        ASSERT_TRUE(m_filter->Control(KeyFilterDevice::kArm, {}));
        ASSERT_TRUE(m_filter->Control(KeyFilterDevice::kStart, {}));
    }
    void ClearList()
    {
        const std::array<uint8_t, 256> zeros{};
        ASSERT_TRUE(m_filter->Control(KeyFilterDevice::kSetKeyList, zeros));
    }
    // What the pass-through device (the first uinput device made) has written.
    std::vector<Event> Passed() const
    {
        std::vector<Event> out;
        for (const input_event& e : m_io.Written(0))
            out.emplace_back(e.type, e.code, e.value);
        return out;
    }
    bool PassedEventually(const std::vector<Event>& expected) const
    {
        return Eventually([&] { return Passed() == expected; }, 5s);
    }
    // Watches A, grabs the keyboard, holds C (passed on) and A (reported).
    void HoldPassedCAndWatchedA()
    {
        Make();
        Watch({kCodeA});
        ASSERT_TRUE(Eventually([&] { return m_io.Grabbed(kKeys); }));
        m_io.Key(kKeys, KEY_C, 1);
        m_io.Key(kKeys, KEY_A, 1);
        ASSERT_EQ(Next(), (Record{kCodeA, 0, 0, 1}));
        ASSERT_TRUE(PassedEventually(
            {{EV_MSC, MSC_SCAN, 0x70000 + KEY_C}, {EV_KEY, KEY_C, 1}, {EV_SYN, SYN_REPORT, 0}}));
    }
    Record Next()
    {
        Record record{};
        auto waited = std::async(std::launch::async, [&] { return m_filter->WaitForKeyEvent(record); });
        if (waited.wait_for(5s) != std::future_status::ready) {
            m_filter->CancelWaits();
            ADD_FAILURE() << "no key event";
            waited.get();
            m_filter->ResumeWaits();
            return {};
        }
        EXPECT_EQ(waited.get(), WaitResult::Delivered);
        return record;
    }

    SysfsTree m_sys;
    FakeDeviceIo m_io;
    std::vector<std::string> m_interfaces{"/dev/hidraw2"};
    std::unique_ptr<EvdevKeyFilter> m_filter;
};

Event Scan(unsigned code)
{
    return {EV_MSC, MSC_SCAN, static_cast<int>(0x70000 + code)};
}
constexpr Event Syn{EV_SYN, SYN_REPORT, 0};

TEST_F(EvdevKeyFilterTest, GrabsTheKeyboardOnceNoKeyIsHeldAndPassesUnwatchedKeysUnchanged)
{
    Make();
    m_io.Key(kKeys, KEY_B, 1); // held while the filter starts: the system saw it go down
    Watch({kCodeA});

    ASSERT_TRUE(Eventually([&] { return m_io.Grabbed(kMedia); }));
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(m_io.Grabbed(kKeys));
    EXPECT_FALSE(m_io.IsOpen(kTouch)) << "absolute axes stay with the system";

    m_io.Key(kKeys, KEY_B, 0); // the system sees this release too
    ASSERT_TRUE(Eventually([&] { return m_io.Grabbed(kKeys); }));
    m_io.Key(kKeys, KEY_C, 1);
    m_io.Key(kKeys, KEY_C, 2);
    m_io.Key(kKeys, KEY_A, 1);
    m_io.Key(kKeys, KEY_A, 2);
    m_io.Key(kKeys, KEY_A, 0);
    m_io.Key(kKeys, KEY_C, 0);
    ASSERT_TRUE(PassedEventually({Scan(KEY_C),
                                  {EV_KEY, KEY_C, 1},
                                  Syn,
                                  Scan(KEY_C),
                                  {EV_KEY, KEY_C, 2},
                                  Syn,
                                  Scan(KEY_C),
                                  {EV_KEY, KEY_C, 0},
                                  Syn}))
        << "got " << testing::PrintToString(Passed());
    m_io.Feed(kMedia, {input_event{{}, EV_REL, REL_WHEEL, -1}, input_event{{}, EV_SYN, SYN_REPORT, 0}});
    EXPECT_TRUE(PassedEventually({Scan(KEY_C),
                                  {EV_KEY, KEY_C, 1},
                                  Syn,
                                  Scan(KEY_C),
                                  {EV_KEY, KEY_C, 2},
                                  Syn,
                                  Scan(KEY_C),
                                  {EV_KEY, KEY_C, 0},
                                  Syn,
                                  {EV_REL, REL_WHEEL, -1},
                                  Syn}));
    EXPECT_EQ(Next(), (Record{kCodeA, 0, 0, 1}));
    EXPECT_EQ(Next(), (Record{kCodeA, 0, 0, 0})) << "no repeats of a watched key";

    const auto devices = m_io.UinputDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_STREQ(devices[0].setup.name, "Corvid Z5 pass-through");
    EXPECT_EQ(devices[0].setup.id.vendor, 0x1209);
    auto has = [&](unsigned long request, unsigned long value) {
        return std::find(devices[0].setBits.begin(), devices[0].setBits.end(),
                         FakeDeviceIo::Ioctl{request, value}) != devices[0].setBits.end();
    };
    for (unsigned long key : {KEY_ESC, KEY_LEFTSHIFT, KEY_MUTE, BTN_LEFT})
        EXPECT_TRUE(has(UI_SET_KEYBIT, key)) << key;
    EXPECT_FALSE(has(UI_SET_KEYBIT, BTN_TOUCH));
    EXPECT_TRUE(has(UI_SET_RELBIT, REL_WHEEL));
    EXPECT_TRUE(has(UI_SET_MSCBIT, MSC_SCAN));
    EXPECT_FALSE(has(UI_SET_EVBIT, EV_REP)) << "repeats come from the keyboard";
}

TEST_F(EvdevKeyFilterTest, MediaKeysAreReportedByTheirKeyCode)
{
    Make();
    Watch({kCodeMute});
    ASSERT_TRUE(Eventually([&] { return m_io.Grabbed(kMedia); }));
    m_io.Key(kMedia, KEY_MUTE, 1);
    EXPECT_EQ(Next(), (Record{kCodeMute, 0, 0, 1}));
}

TEST_F(EvdevKeyFilterTest, AKeyGoesUpTheWayItWentDownWhateverTheListBecame)
{
    ASSERT_NO_FATAL_FAILURE(HoldPassedCAndWatchedA());

    Watch({kCodeC}); // C is watched now, A no longer
    m_io.Key(kKeys, KEY_C, 0);
    m_io.Key(kKeys, KEY_A, 0);

    EXPECT_EQ(Next(), (Record{kCodeA, 0, 0, 0}));
    EXPECT_TRUE(
        PassedEventually({Scan(KEY_C), {EV_KEY, KEY_C, 1}, Syn, Scan(KEY_C), {EV_KEY, KEY_C, 0}, Syn}));
    EXPECT_EQ(m_io.GrabCount(kKeys), 1) << "the same keyboard stays grabbed";
    EXPECT_EQ(m_io.UinputDevices().size(), 1u);
}

TEST_F(EvdevKeyFilterTest, GivingTheKeyboardBackReleasesEverythingHeldForIt)
{
    ASSERT_NO_FATAL_FAILURE(HoldPassedCAndWatchedA());

    // An empty list keeps passing everything through; starting with it gives the keyboard back.
    ClearList();
    EXPECT_TRUE(m_io.Grabbed(kKeys));
    ASSERT_TRUE(m_filter->Control(KeyFilterDevice::kStart, {}));

    EXPECT_FALSE(m_io.Grabbed(kKeys));
    EXPECT_FALSE(m_io.Grabbed(kMedia));
    EXPECT_EQ(Passed(), (std::vector<Event>{Scan(KEY_C), {EV_KEY, KEY_C, 1}, Syn, {EV_KEY, KEY_C, 0}, Syn}));
    EXPECT_EQ(Next(), (Record{kCodeA, 0, 0, 0}));

    m_filter->Close();
    EXPECT_EQ(m_io.OpenDescriptors(), 0);
    EXPECT_TRUE(m_io.UinputDevices()[0].destroyed);
    Record record{};
    EXPECT_EQ(m_filter->WaitForKeyEvent(record), WaitResult::Failed);
}

TEST_F(EvdevKeyFilterTest, AKeyboardThatGoesAwayLeavesNothingHeld)
{
    ASSERT_NO_FATAL_FAILURE(HoldPassedCAndWatchedA());

    m_io.Unplug(kKeys);

    EXPECT_TRUE(PassedEventually({Scan(KEY_C), {EV_KEY, KEY_C, 1}, Syn, {EV_KEY, KEY_C, 0}, Syn}));
    EXPECT_EQ(Next(), (Record{kCodeA, 0, 0, 0}));
    EXPECT_TRUE(Eventually([&] { return !m_io.IsOpen(kKeys); }));
    EXPECT_TRUE(m_io.Grabbed(kMedia));

    // Back under the same node name: the next look-up takes it again.
    m_io.Replug(kKeys);
    Watch({kCodeA});
    EXPECT_TRUE(Eventually([&] { return m_io.Grabbed(kKeys); }));
}

TEST_F(EvdevKeyFilterTest, LostEventsReleaseWhatIsNoLongerDown)
{
    ASSERT_NO_FATAL_FAILURE(HoldPassedCAndWatchedA());

    // The kernel's buffer overflowed: the releases themselves were lost, only the state tells.
    m_io.Feed(kKeys, {input_event{{}, EV_SYN, SYN_DROPPED, 0}, input_event{{}, EV_KEY, KEY_C, 0},
                      input_event{{}, EV_KEY, KEY_A, 0}, input_event{{}, EV_SYN, SYN_REPORT, 0}});

    EXPECT_TRUE(PassedEventually({Scan(KEY_C), {EV_KEY, KEY_C, 1}, Syn, {EV_KEY, KEY_C, 0}, Syn}));
    EXPECT_EQ(Next(), (Record{kCodeA, 0, 0, 0}));
}

TEST_F(EvdevKeyFilterTest, NodesWithoutAccessAreReportedAndTheOthersStillWork)
{
    m_io.SetOpenError(kKeys, EACCES);
    Make();
    Watch({kCodeMute});
    EXPECT_TRUE(m_filter->KeyboardAccessDenied());
    EXPECT_TRUE(Eventually([&] { return m_io.Grabbed(kMedia); }));
}

TEST_F(EvdevKeyFilterTest, WithoutUinputNothingIsGrabbed)
{
    m_io.SetUinputError(EACCES);
    Make();
    Watch({kCodeA});
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(m_io.Grabbed(kKeys));
    EXPECT_FALSE(m_io.Grabbed(kMedia));
    EXPECT_TRUE(m_filter->KeyboardAccessDenied());
}

TEST_F(EvdevKeyFilterTest, NoKeyboardNoGrabAndAKeyboardFoundLaterIsTaken)
{
    m_interfaces.clear();
    Make();
    Watch({kCodeA});
    EXPECT_EQ(m_io.GrabCount(kKeys), 0);
    EXPECT_TRUE(m_io.UinputDevices().empty());

    m_interfaces = {"/dev/hidraw2"};
    Watch({kCodeA});
    EXPECT_TRUE(Eventually([&] { return m_io.Grabbed(kKeys); }));
}

TEST_F(EvdevKeyFilterTest, WaitsEndWhenCancelledAndRequestsNeedAnOpenFilter)
{
    Make();
    Record record{};
    auto waiting = std::async(std::launch::async, [&] { return m_filter->WaitForKeyEvent(record); });
    EXPECT_EQ(waiting.wait_for(20ms), std::future_status::timeout);
    m_filter->CancelWaits();
    EXPECT_EQ(waiting.get(), WaitResult::Cancelled);
    EXPECT_EQ(m_filter->WaitForKeyEvent(record), WaitResult::Cancelled);
    m_filter->ResumeWaits();

    const std::array<uint8_t, 100> wrongSize{};
    EXPECT_FALSE(m_filter->Control(KeyFilterDevice::kSetKeyList, wrongSize));
    EXPECT_FALSE(m_filter->Control(0x226044, {}));
    m_filter->Close();
    EXPECT_FALSE(m_filter->Control(KeyFilterDevice::kArm, {}));
}

} // namespace
