#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "platform/linux/hid_report_descriptor.h"
#include "platform/linux/hidapi_backend.h"
#include "tests/support/scoped_folders.h"

namespace {

// Report descriptor items: (prefix, data...).
std::vector<uint8_t> Descriptor(std::initializer_list<std::initializer_list<uint8_t>> items)
{
    std::vector<uint8_t> bytes;
    for (const auto& item : items)
        bytes.insert(bytes.end(), item.begin(), item.end());
    return bytes;
}

// Usage Page (vendor 0xFF01), Usage 1, Collection (application).
const std::initializer_list<uint8_t> kVendorPage = {0x06, 0x01, 0xFF};
const std::initializer_list<uint8_t> kUsage1 = {0x09, 0x01};
const std::initializer_list<uint8_t> kCollection = {0xA1, 0x01};
const std::initializer_list<uint8_t> kEndCollection = {0xC0};
const std::initializer_list<uint8_t> kSize8 = {0x75, 0x08};
const std::initializer_list<uint8_t> kOutput = {0x91, 0x02};
const std::initializer_list<uint8_t> kInput = {0x81, 0x02};
const std::initializer_list<uint8_t> kFeature = {0xB1, 0x02};

} // namespace

TEST(HidReportDescriptor, OutputReportLengthCountsTheLongestReportAndItsIdByte)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> descriptor;
        size_t length;
    };
    const Case cases[] = {
        {"empty", {}, 0},
        {"input and feature only",
         Descriptor(
             {kVendorPage, kUsage1, kCollection, kSize8, {0x95, 0x40}, kInput, kFeature, kEndCollection}),
         0},
        {"64 bytes without report ids",
         Descriptor({kVendorPage, kUsage1, kCollection, kSize8, {0x95, 0x40}, kOutput, kEndCollection}), 65},
        {"two output items add up",
         Descriptor({kSize8, {0x95, 0x10}, kOutput, {0x75, 0x01}, {0x95, 0x04}, kOutput}), 18},
        {"the longest of several report ids",
         Descriptor({{0x85, 0x02}, kSize8, {0x95, 0x20}, kOutput, {0x85, 0x03}, {0x96, 0x80, 0x00}, kOutput}),
         129},
        {"push and pop restore the globals",
         Descriptor({kSize8, {0x95, 0x20}, {0xA4}, {0x95, 0x02}, {0xB4}, kOutput}), 33},
        {"long items are stepped over",
         Descriptor({{0xFE, 0x02, 0x10, 0xAA, 0xBB}, kSize8, {0x95, 0x08}, kOutput}), 9},
        {"a cut descriptor keeps what came before", Descriptor({kSize8, {0x95, 0x08}, kOutput, {0x96, 0x00}}),
         9},
        {"beyond what hidraw carries", Descriptor({kSize8, {0x97, 0x00, 0x00, 0x01, 0x00}, kOutput}), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OutputReportByteLength(c.descriptor), c.length) << c.name;
}

TEST(HidapiBackend, AMachineWithoutHidrawHasNothingToEnumerateOrOpen)
{
    std::error_code error;
    if (std::filesystem::exists("/sys/class/hidraw", error) &&
        !std::filesystem::is_empty("/sys/class/hidraw", error))
        GTEST_SKIP() << "this machine has hidraw devices";

    HidapiBackend backend;
    backend.Init();
    EXPECT_TRUE(backend.Enumerate().empty());
    EXPECT_EQ(backend.Open("/dev/hidraw0"), nullptr);
    EXPECT_EQ(backend.Open(""), nullptr);
    backend.Exit();
}

TEST(HidapiBackend, SysfsGivesTheOutputLengthAndTellsUhidDevices)
{
    // /sys/class/hidraw/<node>/device links to the HID device, which sits under uhid for HID over GATT.
    ScopedTempDir sysfs;
    const std::filesystem::path root = sysfs.Path();
    const std::filesystem::path uhid = root / "devices/virtual/misc/uhid/0005:1209:0003.0001";
    const std::filesystem::path usb = root / "devices/pci0000:00/usb1/1-1/1-1:1.2/0003:1209:0001.0002";
    std::filesystem::create_directories(uhid);
    std::filesystem::create_directories(usb);
    std::filesystem::create_directories(root / "class/hidraw/hidraw3");
    std::filesystem::create_directories(root / "class/hidraw/hidraw4");
    std::filesystem::create_directory_symlink(uhid, root / "class/hidraw/hidraw3/device");
    std::filesystem::create_directory_symlink(usb, root / "class/hidraw/hidraw4/device");
    const std::vector<uint8_t> descriptor =
        Descriptor({kVendorPage, kUsage1, kCollection, kSize8, {0x96, 0x80, 0x00}, kOutput, kEndCollection});
    WriteFileBytes(usb / "report_descriptor", std::string(descriptor.begin(), descriptor.end()));

    const HidapiBackend backend(root.string());
    EXPECT_TRUE(backend.IsUhidDevice("/dev/hidraw3"));
    EXPECT_FALSE(backend.IsUhidDevice("/dev/hidraw4"));
    EXPECT_FALSE(backend.IsUhidDevice("/dev/hidraw9"));
    EXPECT_EQ(backend.OutputReportLength("/dev/hidraw4"), 129u);
    EXPECT_EQ(backend.OutputReportLength("/dev/hidraw3"), 0u);
    EXPECT_EQ(backend.OutputReportLength("/dev/hidraw9"), 0u);
}

TEST(HidapiBackend, AFailedCallTellsAnUnpluggedDeviceFromAPassingFailure)
{
    struct Case {
        int error;
        bool nodePresent;
        HidFault fault;
    };
    const Case cases[] = {
        {ENODEV, true, HidFault::Gone},        {ESHUTDOWN, true, HidFault::Gone},
        {ENXIO, true, HidFault::Gone},         {EPIPE, false, HidFault::Gone},
        {EPIPE, true, HidFault::Failed},       {EIO, true, HidFault::Failed},
        {ETIMEDOUT, true, HidFault::TimedOut}, {0, true, HidFault::Failed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HidrawFaultOf(c.error, c.nodePresent), c.fault) << c.error << " " << c.nodePresent;
}
