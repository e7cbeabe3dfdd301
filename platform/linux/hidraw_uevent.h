#pragma once
// Turns the kernel's hidraw uevents into the arrival and removal events of the interfaces they carry,
// named as the enumeration names them (hidraw_interface_name.h). Only the event's DEVPATH is needed:
// the HID device's directory in it is named "<bus>:<vendor>:<product>.<number>" (hex) by the kernel,
// the USB interface's directory "<port path>:<configuration>.<interface number>", and Bluetooth LE
// devices sit under uhid. The one thing the path does not tell, how many top-level collections the
// node has (each its own interface), is read from its report descriptor in sysfs when it arrives and
// remembered for its removal, when sysfs no longer has it.
//
// Buses the enumeration passes over (anything but USB, Bluetooth, I2C and SPI) give no events, nor
// does any action but "add" and "remove".

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/hid_device_events.h"
#include "platform/linux/hidraw_interface_name.h"

// A uevent's properties: ACTION, DEVPATH, DEVNAME, SUBSYSTEM, ...
using UeventProperties = std::map<std::string, std::string>;

// The node a hidraw DEVPATH names ("/devices/.../0003:1209:0001.0004/hidraw/hidraw3"); nullopt when the
// path is not a hidraw node under a HID device on a bus the enumeration lists. The release number is
// left 0: it shows only in Bluetooth LE names, where hidapi gives 0 as well.
std::optional<HidrawNode> HidrawNodeOfDevpath(const std::string& devpath);

class HidrawEventTracker {
public:
    // `sysfsRoot` is where sysfs is mounted ("/sys"); tests point it at a prepared tree.
    explicit HidrawEventTracker(std::string sysfsRoot = "/sys");

    // Remembers the nodes present now (sysfs class/hidraw), so that a keyboard that was there before
    // watching began is named at its removal as it was enumerated.
    void RememberPresentNodes();
    // The events of one uevent, one per top-level collection of the node, in collection order.
    std::vector<HidDeviceEvent> OnUevent(const UeventProperties& properties);

private:
    std::vector<std::string> NamesOf(const std::string& devpath, const HidrawNode& node) const;

    std::string m_sysfsRoot;
    std::map<std::string, std::vector<std::string>> m_names; // by DEVPATH, for nodes present
};
