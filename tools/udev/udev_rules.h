#pragma once
// The udev rules that let the user at the seat open the keyboards of config.xml, made by the build so a
// keyboard added to config.xml is never missing from them.

#include <string>

struct DeviceDescription;

struct UdevRules {
    std::string text;  // the whole rules file
    std::string error; // set instead of text when a mode cannot be matched by a rule
};

// One uaccess rule per distinct vendor/product pair of the modes, in document order, matching the
// keyboard's hidraw nodes on any bus (USB, Bluetooth, the wireless receiver).
UdevRules MakeUdevRules(const DeviceDescription& description);
