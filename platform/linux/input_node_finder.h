#pragma once
// Finds the input event nodes of the keyboard whose vendor HID interface is a hidraw node, through
// sysfs. The keyboard's keys arrive on other interfaces of the same physical device: for USB (cable or
// receiver) every node below the same USB device; for classic Bluetooth every node below the same
// connection; for Bluetooth LE (one uhid device per keyboard) every node below the HID device itself.

#include <string>
#include <vector>

// /dev/input/eventN paths in number order; empty when the path is not a hidraw node or sysfs does not
// know it. The roots are parameters for tests.
std::vector<std::string> FindInputEventNodes(const std::string& hidrawPath,
                                             const std::string& sysfsRoot = "/sys",
                                             const std::string& deviceRoot = "/dev/input");
