// hidraw uevents into interface events, from property sets in udevadm monitor's form
// (tests/fixtures/udev) over a sysfs tree made here: hidraw does not exist on the build machines.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/fake/fake_hid_notifier.h"
#include "platform/linux/hid_report_descriptor.h"
#include "platform/linux/hidraw_uevent.h"
#include "platform/linux/udev_hid_monitor.h"
#include "tests/support/scoped_folders.h"

namespace {

using Kind = HidDeviceEventKind;

// "KEY=value" lines, one property set per block; udevadm's header lines carry no '=' before a blank.
std::vector<UeventProperties> ReadUevents(const std::string& fixture)
{
    std::ifstream file(std::string(TORVIK_FIXTURES_DIR) + "/udev/" + fixture);
    EXPECT_TRUE(file) << fixture;
    std::vector<UeventProperties> records(1);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty()) {
            if (!records.back().empty())
                records.emplace_back();
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || line.find(' ') < equals)
            continue;
        records.back()[line.substr(0, equals)] = line.substr(equals + 1);
    }
    if (records.back().empty())
        records.pop_back();
    return records;
}

const std::vector<uint8_t> kBootKeyboardAndMedia = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0, // keyboard
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0,             // consumer
};
const std::vector<uint8_t> kVendor = {0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01,
                                      0x75, 0x08, 0x95, 0x40, 0x91, 0x02, 0xC0};

std::string Name(const std::string& device, const std::string& node)
{
    return "\\\\?\\HID#" + device + "#" + node + "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

// A sysfs tree holding hidraw nodes as the kernel lays them out: class/hidraw/<node> links to the node,
// whose `device` links to the HID device with its report descriptor.
class SysfsTree {
public:
    void AddNode(const std::string& devpath, const std::vector<uint8_t>& descriptor)
    {
        const std::filesystem::path node = Root() / devpath.substr(1);
        const std::filesystem::path hid = node.parent_path().parent_path();
        std::filesystem::create_directories(node);
        std::filesystem::create_directory_symlink(hid, node / "device");
        std::ofstream(hid / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()),
                   static_cast<std::streamsize>(descriptor.size()));
        std::filesystem::create_directories(Root() / "class/hidraw");
        std::filesystem::create_directory_symlink(node, Root() / "class/hidraw" / node.filename());
    }
    // The node goes, as sysfs forgets an unplugged device before udev announces the removal.
    void RemoveNode(const std::string& devpath)
    {
        const std::filesystem::path node = Root() / devpath.substr(1);
        std::filesystem::remove(Root() / "class/hidraw" / node.filename());
        std::filesystem::remove_all(node.parent_path().parent_path());
    }
    std::string RootText() const { return m_dir.Path().string(); }

private:
    const std::filesystem::path& Root() const { return m_dir.Path(); }
    ScopedTempDir m_dir;
};

std::vector<HidDeviceEvent> Feed(HidrawEventTracker& tracker, const UeventProperties& uevent)
{
    return tracker.OnUevent(uevent);
}

} // namespace

TEST(HidrawUevents, AUsbKeyboardIsNamedAsTheEnumerationNamesItFromPlugToUnplug)
{
    const std::vector<UeventProperties> uevents = ReadUevents("usb_keyboard_plug.uevents");
    ASSERT_EQ(uevents.size(), 4u);
    SysfsTree sysfs;
    HidrawEventTracker tracker(sysfs.RootText());

    // Interface 0 carries two top-level collections (keyboard, media keys): two interfaces, as hidapi
    // lists them; interface 2 is the vendor interface the keyboard's pattern names.
    sysfs.AddNode(uevents[0].at("DEVPATH"), kBootKeyboardAndMedia);
    EXPECT_EQ(
        Feed(tracker, uevents[0]),
        (std::vector<HidDeviceEvent>{{Kind::Arrival, Name("VID_1209&PID_0001&MI_00&COL01", "HIDRAW2")},
                                     {Kind::Arrival, Name("VID_1209&PID_0001&MI_00&COL02", "HIDRAW2")}}));
    sysfs.AddNode(uevents[1].at("DEVPATH"), kVendor);
    const std::vector<HidDeviceEvent> vendor = Feed(tracker, uevents[1]);
    EXPECT_EQ(vendor,
              (std::vector<HidDeviceEvent>{{Kind::Arrival, Name("VID_1209&PID_0001&MI_02", "HIDRAW3")}}));
    // The same name the enumeration gives the node it reports.
    EXPECT_EQ(vendor.at(0).name,
              HidrawInterfaceName({"/dev/hidraw3", HidBus::Usb, 0x1209, 0x0001, 0x0100, 2}, 1, 1));

    // By the time udev announces the removal, sysfs has nothing left to read.
    sysfs.RemoveNode(uevents[0].at("DEVPATH"));
    sysfs.RemoveNode(uevents[1].at("DEVPATH"));
    EXPECT_EQ(
        Feed(tracker, uevents[2]),
        (std::vector<HidDeviceEvent>{{Kind::Removal, Name("VID_1209&PID_0001&MI_00&COL01", "HIDRAW2")},
                                     {Kind::Removal, Name("VID_1209&PID_0001&MI_00&COL02", "HIDRAW2")}}));
    EXPECT_EQ(Feed(tracker, uevents[3]),
              (std::vector<HidDeviceEvent>{{Kind::Removal, Name("VID_1209&PID_0001&MI_02", "HIDRAW3")}}));
}

TEST(HidrawUevents, ABluetoothLowEnergyKeyboardCarriesTheServiceText)
{
    const std::vector<UeventProperties> uevents = ReadUevents("ble_keyboard.uevents");
    ASSERT_EQ(uevents.size(), 2u);
    SysfsTree sysfs;
    const std::vector<uint8_t> keyboardAndVendor = [] {
        std::vector<uint8_t> both(kBootKeyboardAndMedia.begin(), kBootKeyboardAndMedia.begin() + 15);
        both.insert(both.end(), kVendor.begin(), kVendor.end());
        return both;
    }();
    sysfs.AddNode(uevents[0].at("DEVPATH"), keyboardAndVendor);
    HidrawEventTracker tracker(sysfs.RootText());

    const std::string device = "{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&021209_PID&0003_REV&0000";
    const std::vector<HidDeviceEvent> arrival = Feed(tracker, uevents[0]);
    EXPECT_EQ(arrival, (std::vector<HidDeviceEvent>{{Kind::Arrival, Name(device + "&COL01", "HIDRAW4")},
                                                    {Kind::Arrival, Name(device + "&COL02", "HIDRAW4")}}));
    sysfs.RemoveNode(uevents[0].at("DEVPATH"));
    const std::vector<HidDeviceEvent> removal = Feed(tracker, uevents[1]);
    ASSERT_EQ(removal.size(), 2u);
    EXPECT_EQ(removal[1], (HidDeviceEvent{Kind::Removal, arrival[1].name}));
}

TEST(HidrawUevents, OtherBusesActionsAndSubsystems)
{
    const std::vector<UeventProperties> uevents = ReadUevents("other_devices.uevents");
    ASSERT_EQ(uevents.size(), 7u);
    SysfsTree sysfs; // no descriptors: each node counts as one interface
    HidrawEventTracker tracker(sysfs.RootText());

    const std::vector<std::vector<HidDeviceEvent>> expected = {
        {{Kind::Arrival, Name("{00001124-0000-1000-8000-00805F9B34FB}_VID&0002046D_PID&B016", "HIDRAW5")}},
        {{Kind::Arrival, Name("VID_04F3&PID_3140", "HIDRAW0")}},
        // Behind a hub: the interface number is the one after the configuration.
        {{Kind::Arrival, Name("VID_1209&PID_0002&MI_01", "HIDRAW6")}},
        // A USB device made through uhid has no USB interface: hidapi names no bus for it.
        {{Kind::Arrival, Name("VID_1209&PID_0007", "HIDRAW7")}},
        {}, // a bus the enumeration passes over
        {}, // "change"
        {}, // not a hidraw node
    };
    for (size_t i = 0; i < uevents.size(); ++i)
        EXPECT_EQ(Feed(tracker, uevents[i]), expected[i]) << "uevent " << i;

    EXPECT_TRUE(tracker.OnUevent({{"ACTION", "add"}}).empty());
    EXPECT_TRUE(tracker.OnUevent({{"DEVPATH", uevents[2].at("DEVPATH")}}).empty());
    EXPECT_FALSE(HidrawNodeOfDevpath("/devices/virtual/misc/uhid/0003:12G9:0001.0001/hidraw/hidraw1"));
    EXPECT_FALSE(HidrawNodeOfDevpath("/devices/virtual/misc/uhid/0003:1209:0001/hidraw/hidraw1"));
    EXPECT_FALSE(HidrawNodeOfDevpath("hidraw/hidraw1"));
}

TEST(HidrawUevents, NodesPresentBeforeWatchingAreNamedAtTheirRemoval)
{
    const std::vector<UeventProperties> uevents = ReadUevents("usb_keyboard_plug.uevents");
    SysfsTree sysfs;
    sysfs.AddNode(uevents[0].at("DEVPATH"), kBootKeyboardAndMedia);
    HidrawEventTracker tracker(sysfs.RootText());
    tracker.RememberPresentNodes();
    sysfs.RemoveNode(uevents[0].at("DEVPATH"));

    EXPECT_EQ(Feed(tracker, uevents[2]).size(), 2u);
    // Never seen: named from its path alone, as one interface.
    EXPECT_EQ(Feed(tracker, uevents[3]),
              (std::vector<HidDeviceEvent>{{Kind::Removal, Name("VID_1209&PID_0001&MI_02", "HIDRAW3")}}));
}

TEST(HidReportDescriptor, TopLevelCollectionsAreCountedAsHidapiListsThem)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> descriptor;
        int count;
    };
    const Case cases[] = {
        {"empty or unreadable", {}, 1},
        {"one vendor collection", kVendor, 1},
        {"keyboard and consumer control", kBootKeyboardAndMedia, 2},
        {"nested collections count once",
         {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x09, 0x30, 0x81, 0x02, 0xC0, 0xC0},
         1},
        {"a collection without a usage is not an interface",
         {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0, 0xA1, 0x01, 0xC0, 0x09, 0x02, 0xA1, 0x01, 0xC0},
         2},
        {"a four-byte usage carries its page", {0x0B, 0x01, 0x00, 0x01, 0xFF, 0xA1, 0x01, 0xC0}, 1},
        {"cut short after the first", {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0, 0x05, 0x0C, 0x09}, 1},
        {"a stray end collection ends the count", {0xC0, 0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TopLevelCollectionCount(c.descriptor), c.count) << c.name;
}

TEST(HidDeviceNotifiers, TheFakeAnnouncesOnlyWhileStarted)
{
    FakeHidNotifier notifier;
    std::vector<HidDeviceEvent> events;
    notifier.Raise(Kind::Arrival, "before");
    ASSERT_TRUE(notifier.Start([&](const HidDeviceEvent& event) { events.push_back(event); }));
    notifier.Raise(Kind::Removal, "during");
    notifier.Stop();
    notifier.Raise(Kind::Arrival, "after");
    EXPECT_EQ(events, (std::vector<HidDeviceEvent>{{Kind::Removal, "during"}}));
}

TEST(HidDeviceNotifiers, TheUdevMonitorStartsAndStopsWithoutWaiting)
{
    // Whether this machine lets us open udev's netlink socket or not, Start answers and Stop returns
    // at once; the monitor's thread sleeps in poll meanwhile.
    SysfsTree sysfs;
    UdevHidMonitor monitor(sysfs.RootText());
    const auto start = std::chrono::steady_clock::now();
    const bool started = monitor.Start([](const HidDeviceEvent&) {});
    EXPECT_FALSE(started && monitor.Start([](const HidDeviceEvent&) {})) << "a second start is refused";
    monitor.Stop();
    monitor.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}
