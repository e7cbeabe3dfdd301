#pragma once
// A sysfs tree in a temporary folder, laid out as the kernel lays it out: USB devices with their
// interfaces, HID devices with hidraw nodes, input devices with event nodes, and the class links.

#include <filesystem>
#include <string>

#include "tests/support/scoped_folders.h"

class SysfsTree {
public:
    std::filesystem::path Root() const { return m_dir.Path() / "sys"; }

    // `folder` paths are relative to the root, e.g. "devices/pci0000:00/.../usb1/1-2".
    void UsbDevice(const std::string& folder);
    void Interface(const std::string& folder);
    // An input device folder holding event node `name`, linked from class/input.
    void Event(const std::string& inputFolder, const std::string& name);
    // Hidraw node `name` of a HID device, linked from class/hidraw, with its device link.
    void Hidraw(const std::string& hidDevice, const std::string& name);

private:
    void Touch(const std::filesystem::path& file);

    ScopedTempDir m_dir;
};
