#pragma once
// What keyboard the simulator plays: its ids, command family and the HID interfaces of each connection
// mode. A USB connection has interface 0 with two collections (the boot keyboard and the consumer control
// of the media keys) and the vendor command interface (usage page 0xFF01, usage 1); the output-report
// family adds vendor interface 3 for the colour stream. Bluetooth LE has one node with two collections,
// the keyboard and the vendor one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/device_description.h"
#include "platform/hid_interface_name.h"

enum class CommandFamily { FeatureReports, OutputReports };

// Device types up to 200 speak output reports, the others feature reports.
CommandFamily CommandFamilyOf(int deviceType);

struct SimulatedMode {
    int connectionMode = 0; // 0 cable, 1 and 2 the two wireless connections
    uint16_t productId = 0;
    HidBus bus = HidBus::Usb;     // Usb or BluetoothLowEnergy
    int commandInterface = 2;     // USB interface number of the vendor interface that takes commands
    bool streamInterface = false; // a vendor interface 3 takes the colour stream
};

struct SimulatedModel {
    int deviceType = 201;
    uint16_t vendorId = 0x1209;
    uint16_t releaseNumber = 0x0100;
    uint16_t firmwareVersion = 0x0105;
    size_t outputReportLength = 65; // of every vendor interface, the report-id byte included
    std::string instance; // instance text of the interface names; numbered by the simulator if empty
    std::vector<SimulatedMode> modes;

    CommandFamily Family() const { return CommandFamilyOf(deviceType); }

    // A feature-report keyboard with cable (0x1209:0x0001, interface 2), 2.4 GHz receiver (0x0002,
    // interface 2) and Bluetooth LE (0x0003).
    static SimulatedModel FeatureKeyboard();
    // An output-report keyboard, cable only (0x1209:0x0004): commands on interface 1, stream on 3.
    static SimulatedModel OutputKeyboard();
    // The model of `deviceType` as the known-device rows of config.xml describe it: a pattern with
    // "MI_xx" is a USB connection with command interface xx, one with the Bluetooth LE vendor form
    // "VID&02" is Bluetooth LE, any other USB with interface 2.
    static SimulatedModel FromKnownDevices(const std::vector<KnownDeviceRow>& rows, int deviceType);
};
