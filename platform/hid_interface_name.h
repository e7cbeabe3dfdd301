#pragma once
// Windows-style names for HID interfaces. The program finds its keyboards by fragments of interface
// names ("VID_1209&PID_0001&MI_02", "&MI_03", the Bluetooth LE HID service text); hidraw nodes carry none
// of that, so every backend names its interfaces the way Windows would:
//
//   USB               \\?\HID#VID_1209&PID_0001&MI_02#<instance>#{4d1e55b2-f16f-11cf-88cb-001111000030}
//   Bluetooth LE
//   \\?\HID#{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&021209_PID&0003_REV&0100#<instance>#{...}
//   Bluetooth classic \\?\HID#{00001124-0000-1000-8000-00805F9B34FB}_VID&00021209_PID&0003#<instance>#{...}
//   other buses       \\?\HID#VID_1209&PID_0001#<instance>#{...}
//
// "&MI_xx" appears when the interface number is known, "&COLxx" when the interface has more than one
// top-level collection (numbered from 1 in report-descriptor order).

#include <cstdint>
#include <string>

enum class HidBus { Unknown, Usb, Bluetooth, BluetoothLowEnergy, I2c, Spi };

inline constexpr char kHidInterfaceClassGuid[] = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
inline constexpr char kBluetoothLowEnergyHidService[] = "00001812-0000-1000-8000-00805F9B34FB";
inline constexpr char kBluetoothHidService[] = "00001124-0000-1000-8000-00805F9B34FB";

struct HidInterfaceIdentity {
    HidBus bus = HidBus::Unknown;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t releaseNumber = 0;
    int interfaceNumber = -1; // -1: none
    int collection = 0;       // 0: the interface has a single top-level collection
    std::string instance;     // tells apart interfaces with equal ids ('#' and '\' become '_')
};

std::string SynthesiseInterfaceName(const HidInterfaceIdentity& identity);
