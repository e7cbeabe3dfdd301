#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/input_node_finder.h"
#include "tests/platform/sysfs_fixture.h"

namespace fs = std::filesystem;

namespace {

// A sysfs tree as the kernel lays it out: a USB keyboard with three input nodes and a vendor
// interface, a USB mouse beside it, a classic Bluetooth keyboard and mouse on a USB Bluetooth adapter,
// and two Bluetooth LE devices under uhid.
class InputNodeFinderTest : public testing::Test {
protected:
    InputNodeFinderTest()
    {
        const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1";
        m_sys.UsbDevice(usb + "/1-2");
        m_sys.UsbDevice(usb + "/1-3");
        m_sys.UsbDevice(usb + "/1-4");
        const std::string keyboard = usb + "/1-2/1-2:1.0/0003:1209:0001.0001";
        const std::string media = usb + "/1-2/1-2:1.1/0003:1209:0001.0002";
        m_sys.Interface(usb + "/1-2/1-2:1.0");
        m_sys.Interface(usb + "/1-2/1-2:1.1");
        m_sys.Interface(usb + "/1-2/1-2:1.2");
        m_sys.Event(keyboard + "/input/input5", "event5");
        m_sys.Event(media + "/input/input6", "event6");
        m_sys.Event(media + "/input/input12", "event12");
        m_sys.Hidraw(usb + "/1-2/1-2:1.2/0003:1209:0001.0003", "hidraw2");

        m_sys.Interface(usb + "/1-3/1-3:1.0");
        m_sys.Event(usb + "/1-3/1-3:1.0/0003:046D:C077.0004/input/input8", "event8");
        m_sys.Hidraw(usb + "/1-3/1-3:1.0/0003:046D:C077.0004", "hidraw3");

        m_sys.Interface(usb + "/1-4/1-4:1.0");
        const std::string adapter = usb + "/1-4/1-4:1.0/bluetooth/hci0";
        m_sys.Event(adapter + "/hci0:256/0005:1209:0007.0005/input/input9", "event9");
        m_sys.Hidraw(adapter + "/hci0:256/0005:1209:0007.0005", "hidraw4");
        m_sys.Event(adapter + "/hci0:257/0005:046D:B01A.0008/input/input13", "event13");

        const std::string uhid = "devices/virtual/misc/uhid";
        m_sys.Event(uhid + "/0005:1209:0003.0006/input/input10", "event10");
        m_sys.Hidraw(uhid + "/0005:1209:0003.0006", "hidraw5");
        m_sys.Event(uhid + "/0005:046D:B023.0007/input/input11", "event11");
    }

    std::vector<std::string> Find(const std::string& hidraw)
    {
        return FindInputEventNodes(hidraw, Root().string(), "/dev/input");
    }
    fs::path Root() const { return m_sys.Root(); }

    SysfsTree m_sys;
};

TEST_F(InputNodeFinderTest, FindsTheNodesOfTheSamePhysicalDeviceOnly)
{
    EXPECT_EQ(Find("/dev/hidraw2"),
              (std::vector<std::string>{"/dev/input/event5", "/dev/input/event6", "/dev/input/event12"}));
    EXPECT_EQ(Find("/dev/hidraw3"), std::vector<std::string>{"/dev/input/event8"});
    // Not every device on the same Bluetooth adapter, which is a USB device itself.
    EXPECT_EQ(Find("/dev/hidraw4"), std::vector<std::string>{"/dev/input/event9"});
    // Not every device uhid made.
    EXPECT_EQ(Find("/dev/hidraw5"), std::vector<std::string>{"/dev/input/event10"});
}

TEST_F(InputNodeFinderTest, UnknownPathsFindNothing)
{
    for (const char* path : {"/dev/hidraw9", "sim:keyboard/1", "/dev/input/event5", "", "/dev/hidraw"})
        EXPECT_TRUE(Find(path).empty()) << path;
    EXPECT_TRUE(FindInputEventNodes("/dev/hidraw2", (Root() / "missing").string()).empty());
}

} // namespace
