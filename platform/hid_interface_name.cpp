#include "platform/hid_interface_name.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

} // namespace

std::string SynthesiseInterfaceName(const HidInterfaceIdentity& identity)
{
    const std::string vid = Hex(identity.vendorId, 4);
    const std::string pid = Hex(identity.productId, 4);

    std::string device;
    switch (identity.bus) {
    case HidBus::BluetoothLowEnergy:
        device = std::string("{") + kBluetoothLowEnergyHidService + "}_DEV_VID&02" + vid + "_PID&" + pid +
                 "_REV&" + Hex(identity.releaseNumber, 4);
        break;
    case HidBus::Bluetooth:
        device = std::string("{") + kBluetoothHidService + "}_VID&0002" + vid + "_PID&" + pid;
        break;
    default:
        device = "VID_" + vid + "&PID_" + pid;
        if (identity.bus == HidBus::Usb && identity.interfaceNumber >= 0)
            device += "&MI_" + Hex(static_cast<unsigned>(identity.interfaceNumber) & 0xFF, 2);
        break;
    }
    if (identity.collection > 0)
        device += "&COL" + Hex(static_cast<unsigned>(identity.collection) & 0xFF, 2);

    // The name's fields are separated by '#'; an instance must not add fields.
    std::string instance = identity.instance;
    std::replace_if(
        instance.begin(), instance.end(), [](char c) { return c == '#' || c == '\\'; }, '_');

    return "\\\\?\\HID#" + device + "#" + instance + "#" + kHidInterfaceClassGuid;
}
