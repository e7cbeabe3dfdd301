#pragma once
// The small encodings the keyboard's commands are made of: which command family a device type speaks,
// the report shapes, the lowered lighting values, the timing byte of a macro event and the built-in
// shortcut table.
//
// Report shapes (byte 0 is the report id; every byte not set is 0):
//   feature report   8 bytes   07 command arguments...
//   output report   65 bytes   00 command arguments...
//   payload report  65 bytes   00 BB AA 99 88 arguments...   (WritePayload takes the 64 bytes after the id)

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "device/hid_device_manager.h"

enum class ProtocolFamily {
    OutputReports,  // device types up to 200: 65-byte output reports with a command byte
    FeatureReports, // 201-299: 8-byte feature reports, payload reports when wireless
    None,           // 300 and above: no commands at all
};

ProtocolFamily ProtocolFamilyOf(int deviceType);

// The assignment types (macro_type) the keyboard's tables tell apart; every other type is remapped on
// the feature-report keyboards and left out of the output-report key map.
constexpr int kAssignmentNone = 0;
constexpr int kAssignmentDisabled = 1;
constexpr int kAssignmentKey = 2; // another key or media function
constexpr int kAssignmentMacro = 3;
constexpr int kAssignmentShortcut = 7; // a built-in key combination

// Every lighting row belongs to profile 1; per-key colours are sent from light set 128.
constexpr int kLightingProfile = 1;
constexpr int kCustomLightSet = 128;
// config_func bit of the modes with per-key colours: they send the custom-set choice.
constexpr int kConfigCustomColours = 0x100;

using FeatureReport = std::array<uint8_t, HidDeviceManager::kFeatureReportLength>;
using OutputReport = std::array<uint8_t, HidDeviceManager::kOutputReportLength>;
using PayloadData = std::array<uint8_t, HidDeviceManager::kPayloadLength>;

// A zero-filled report starting with `bytes` (the report id first).
FeatureReport MakeFeatureReport(std::initializer_list<uint8_t> bytes);
OutputReport MakeOutputReport(std::initializer_list<uint8_t> bytes);
// The payload marker BB AA 99 88 followed by `arguments`, the rest 0.
PayloadData MakePayload(std::initializer_list<uint8_t> arguments);

// The low byte of a value.
constexpr uint8_t LowByte(int value)
{
    return static_cast<uint8_t>(value & 0xFF);
}

// A lighting value as the feature-report family sends it: one less, except that 0 stays 0.
uint8_t LoweredByOne(int value);
// The mode's low byte minus 1 (mode 1 is sent as 0).
uint8_t ModeByte(int mode);
// (colorindex & 0x0F) * 16 OR the low byte of speed: colour index 2 with speed 3 is 0x23.
uint8_t CombinedByte(int colorIndex, int speed);

// One macro event's direction and delay in one byte: bit 7 release, bits 6-5 the unit (00 10 ms,
// 01 50 ms, 10 100 ms, 11 1000 ms), bits 4-0 the count. Delays above 31000 ms count as 31000; a
// negative delay has count 0; 0-10 ms count one 10 ms unit. A byte of 0 or 1 is sent as 1.
uint8_t TimingByte(bool release, int delayMs);

// One press or release of a built-in shortcut.
struct ShortcutEvent {
    uint8_t usage = 0; // HID keyboard usage
    bool release = false;

    bool operator==(const ShortcutEvent&) const = default;
};

// The built-in key combination that an assignment of macro type 7 selects by its value (1-15), presses
// and releases in order; empty for any other value.
std::span<const ShortcutEvent> ShortcutEvents(int value);
