#pragma once
// The udev rules that let the user at the seat open what the program opens: the keyboards of config.xml
// (their hidraw and input event nodes) and uinput. Made by the build, so a keyboard added to config.xml
// is never missing from them; the package installs them, and the program offers to install the same
// file when the software keys find no access.

#include <string>

struct DeviceDescription;

struct UdevRules {
    std::string text;  // the whole rules file
    std::string error; // set instead of text when a mode cannot be matched by a rule
};

// Per distinct vendor/product pair of the modes, in document order, a uaccess rule for the keyboard's
// hidraw nodes and one for its input event nodes, on any bus (USB, Bluetooth, the wireless receiver);
// then one for /dev/uinput.
UdevRules MakeUdevRules(const DeviceDescription& description);
