#include "tools/udev/udev_rules.h"

#include <cstdio>
#include <set>
#include <utility>

#include "device/device_description.h"

namespace {

// A name goes into a comment: a line break in it would start a rule of its own.
std::string CommentText(const CString& text)
{
    std::string line = WideToUtf8(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return line;
}

std::string Hex4(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

std::string ModeLabel(const DeviceDescription& description, const DeviceRecord& mode)
{
    const DeviceRecord* model = description.FindModel(mode.deviceType);
    const std::string name =
        model ? CommentText(model->name) : "device type " + std::to_string(mode.deviceType);
    return mode.description.empty() ? name : name + ", " + CommentText(mode.description);
}

// FIXME: the software keys' rules (the uinput node and the keyboards' input event nodes, by the same
// vendor/product pairs; today the hand-written data/udev/70-torvik-keyboards.rules that the program
// installs through pkexec) join the file here, so one file grants everything the program opens.
std::string SoftwareKeyRules(const DeviceDescription&)
{
    return {};
}

} // namespace

UdevRules MakeUdevRules(const DeviceDescription& description)
{
    if (description.modes.empty())
        return {{}, "config.xml describes no keyboard mode"};

    std::string rules = "# Torvik: the user at the seat may open the keyboards it configures.\n"
                        "# Made from config.xml by the build: change config.xml, not this file.\n"
                        "# Numbered below 73 so that uaccess is set before 73-seat-late.rules applies it.\n"
                        "\n"
                        "# The keyboards' HID interfaces, found by the name of their HID device\n"
                        "# (BUS:VENDOR:PRODUCT.INSTANCE), so every bus is covered.\n";
    std::set<std::pair<int, int>> written;
    for (const DeviceRecord& mode : description.modes) {
        const std::string label = ModeLabel(description, mode);
        if (mode.vendorId <= 0 || mode.vendorId > 0xFFFF || mode.productId <= 0 || mode.productId > 0xFFFF)
            return {{}, "mode \"" + label + "\" has no usable vid/pid"};
        if (!written.insert({mode.vendorId, mode.productId}).second)
            continue;
        // The kernel names HID devices in upper-case hexadecimal.
        rules += "# " + label + "\n" + "SUBSYSTEM==\"hidraw\", KERNELS==\"*:" + Hex4(mode.vendorId) + ":" +
                 Hex4(mode.productId) + ".*\", TAG+=\"uaccess\"\n";
    }
    rules += SoftwareKeyRules(description);
    return {rules, {}};
}
