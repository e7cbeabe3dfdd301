#pragma once
// The interface names of one hidraw node, shared by the enumeration (hidapi) and the device monitor
// (udev), so that an arrival or removal names an interface exactly as the next scan will: the node's
// bus, ids and USB interface number, its name upper-cased as the instance ("HIDRAW3"), and "&COLxx"
// when the node has more than one top-level collection.

#include <cstdint>
#include <string>

#include "platform/hid_interface_name.h"

struct HidrawNode {
    std::string node; // the node's path or name: "/dev/hidraw3" or "hidraw3"
    HidBus bus = HidBus::Unknown;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t releaseNumber = 0;
    int interfaceNumber = -1; // counts on USB only

    bool operator==(const HidrawNode&) const = default;
};

// The name of top-level collection `index` (from 1) of the node's `count`.
std::string HidrawInterfaceName(const HidrawNode& node, int index, int count);
