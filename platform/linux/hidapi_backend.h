#pragma once
// HID interfaces through hidapi on hidraw. Enumeration is unfiltered and reads no strings (hidapi fills
// them; they are not used). Each interface gets the Windows-style name of hid_interface_name.h from its
// ids, bus and interface number; a Bluetooth device counts as Bluetooth LE when it sits under uhid, which
// is how BlueZ presents HID over GATT. Output reports go through hid_write (hidapi 0.13 has no separate
// output-report call); their length comes from the report descriptor in sysfs.

#include <string>

#include "platform/hid_backend.h"

// How a failed hidraw call failed, from its errno and whether the device node is still there: an
// unplugged device answers ENODEV (or the USB core's ESHUTDOWN and ENXIO), and its node goes away.
HidFault HidrawFaultOf(int errorNumber, bool nodePresent);

class HidapiBackend : public HidBackend {
public:
    // `sysfsRoot` is where sysfs is mounted ("/sys"); tests point it at a prepared tree.
    explicit HidapiBackend(std::string sysfsRoot = "/sys");

    bool Init() override;
    void Exit() override;
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;

    // What sysfs tells about a hidraw node ("/dev/hidraw3"): its output report length (0 when unknown)
    // and whether the HID device was created through uhid.
    size_t OutputReportLength(const std::string& path) const;
    bool IsUhidDevice(const std::string& path) const;

private:
    std::string SysfsDeviceFolder(const std::string& path) const;

    std::string m_sysfsRoot;
};
