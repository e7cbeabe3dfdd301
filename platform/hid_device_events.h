#pragma once
// Arrival and removal of HID interfaces, as the system announces them: one event per interface, named
// as the enumeration names it (hid_interface_name.h), so that the device connection handling matches
// the same patterns against both. The udev monitor (platform/linux) watches hidraw; the keyboard
// simulator raises the same events when a simulated keyboard is connected or disconnected; a fake
// raises them by hand.

#include <functional>
#include <string>

enum class HidDeviceEventKind { Arrival, Removal };

struct HidDeviceEvent {
    HidDeviceEventKind kind = HidDeviceEventKind::Arrival;
    std::string name; // the interface name, e.g. \\?\HID#VID_1209&PID_0001&MI_02#HIDRAW3#{4d1e55b2-...}

    bool operator==(const HidDeviceEvent&) const = default;
};

class HidDeviceNotifier {
public:
    using Sink = std::function<void(const HidDeviceEvent&)>;

    virtual ~HidDeviceNotifier() = default;

    // Starts handing events to `sink`, on a thread of the notifier's choice (never with a lock of its
    // own held): the sink passes them on to the UI thread. False when the system cannot announce
    // devices; the program then only sees what its scans find.
    virtual bool Start(Sink sink) = 0;
    // No event is handed over once Stop returns.
    virtual void Stop() = 0;
};
