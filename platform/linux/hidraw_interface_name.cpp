#include "platform/linux/hidraw_interface_name.h"

#include <algorithm>
#include <cctype>

std::string HidrawInterfaceName(const HidrawNode& node, int index, int count)
{
    HidInterfaceIdentity identity;
    identity.bus = node.bus;
    identity.vendorId = node.vendorId;
    identity.productId = node.productId;
    identity.releaseNumber = node.releaseNumber;
    identity.interfaceNumber = node.bus == HidBus::Usb ? node.interfaceNumber : -1;
    identity.collection = count > 1 ? index : 0;
    identity.instance = node.node.substr(node.node.find_last_of('/') + 1);
    std::transform(identity.instance.begin(), identity.instance.end(), identity.instance.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return SynthesiseInterfaceName(identity);
}
