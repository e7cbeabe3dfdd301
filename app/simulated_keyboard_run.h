#pragma once
// A simulated run: the HID manager talks to the built-in keyboard simulator instead of hidapi, playing
// one keyboard model of config.xml connected by cable, and every report it receives can be written to a
// log file.

#include <optional>
#include <string>

struct DeviceDescription;
class KeyboardSimulator;

// The device type a --simulate argument names: empty for the start-up model (201), a device type, or a
// model name (letter case ignored). nullopt when the description has no such model.
std::optional<int> SimulatedDeviceType(const DeviceDescription& description, const std::string& model);

// Makes the simulator (and the report log when logPath is set) the HID manager's backend and connects a
// keyboard of the device type in its cable mode (its first mode when it has no cable). Must run before
// the HID manager is first used. The simulator lives as long as the manager, to the end of the process.
// Null, with the reason in `error`, when the model has no connection modes or the log cannot be written.
KeyboardSimulator* StartSimulatedKeyboard(const DeviceDescription& description, int deviceType,
                                          const std::string& logPath, std::string& error);
