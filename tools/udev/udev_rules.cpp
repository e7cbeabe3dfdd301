#include "tools/udev/udev_rules.h"

#include <cstdio>
#include <set>
#include <utility>
#include <vector>

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

// The kernel names HID and input devices in upper-case hexadecimal.
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

struct Keyboard {
    std::string label;
    std::string vendor, product;
};

} // namespace

UdevRules MakeUdevRules(const DeviceDescription& description)
{
    if (description.modes.empty())
        return {{}, "config.xml describes no keyboard mode"};

    std::vector<Keyboard> keyboards;
    std::set<std::pair<int, int>> seen;
    for (const DeviceRecord& mode : description.modes) {
        const std::string label = ModeLabel(description, mode);
        if (mode.vendorId <= 0 || mode.vendorId > 0xFFFF || mode.productId <= 0 || mode.productId > 0xFFFF)
            return {{}, "mode \"" + label + "\" has no usable vid/pid"};
        if (seen.insert({mode.vendorId, mode.productId}).second)
            keyboards.push_back({label, Hex4(mode.vendorId), Hex4(mode.productId)});
    }

    std::string rules =
        "# Torvik: the user at the seat may open the keyboards it configures and uinput.\n"
        "# Made from config.xml by the build: change config.xml, not this file.\n"
        "# Numbered below 73 so that uaccess is set before 73-seat-late.rules applies it.\n"
        "\n"
        "# Each keyboard on any bus (USB, the receiver, Bluetooth): its HID interfaces, by the name\n"
        "# of their HID device (BUS:VENDOR:PRODUCT.INSTANCE), and its input event nodes, which the\n"
        "# software keys read and grab, by their input device's modalias.\n";
    for (const Keyboard& k : keyboards) {
        rules += "# " + k.label + "\n";
        rules +=
            "SUBSYSTEM==\"hidraw\", KERNELS==\"*:" + k.vendor + ":" + k.product + ".*\", TAG+=\"uaccess\"\n";
        rules += "SUBSYSTEM==\"input\", KERNEL==\"event*\", ATTRS{modalias}==\"input:b*v" + k.vendor + "p" +
                 k.product + "e*\", TAG+=\"uaccess\"\n";
    }
    // static_node: /dev/uinput exists from boot and opening it loads the module, so the node must get
    // the tag before any misc device appears.
    rules += "\n"
             "# The software keys' virtual keyboard and the key filter's pass-through device.\n"
             "KERNEL==\"uinput\", SUBSYSTEM==\"misc\", TAG+=\"uaccess\", OPTIONS+=\"static_node=uinput\"\n";
    return {rules, {}};
}
