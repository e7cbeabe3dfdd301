#pragma once
// Which keyboard is connected, and how: the connection modes of the device description with their
// connected flags, the device scan that opens the keyboard's interfaces, and the matching of interface
// arrivals and removals against the modes' interface patterns.
//
// Threads: arrivals and removals are matched on the UI thread, scans run on the worker; the mode
// records are guarded by a lock, the flags are atomics that any thread may read.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "device/device_description.h"

class HidDeviceManager;
class DeviceWindowView;

class DeviceConnection {
public:
    // One record per `mode` of the description, in document order.
    explicit DeviceConnection(std::vector<DeviceRecord> modes);

    // The device scan:
    //   1. the device-known flag is cleared;
    //   2. CloseAll, Refresh, opened flag set; SelectDeviceType(0); CollectInterfaces;
    //   3. the device list shows no model connected;
    //   4. each mode record whose ids and mode FindInterface finds is marked connected, the device
    //      is known, and the record's model shows as connected;
    //   5. the interface-open flag is whether any interface was collected.
    void Scan(HidDeviceManager& manager, DeviceWindowView& view);

    // The model to use after the last scan: `preferred` while one of its modes was found (the model in
    // use, or the one the user picked, stays while its keyboard is there), otherwise the model of the
    // first mode found in document order; 0 when the scan found none.
    int ModelToUse(int preferred) const;
    // Whether the last scan found a mode of this model.
    bool Found(int deviceType) const;

    // An interface arrived: true when a task 2 (scan) is due. The name is upper-cased; in mode order,
    // a name with the Bluetooth HID service text ends the search with nothing due (the keyboard is
    // found by the next scan something else causes), a name holding the mode's pattern makes a scan
    // due.
    bool OnArrival(const std::string& interfaceName) const;
    // An interface went: true when a task 3 (scan) is due. Only connected modes are looked at; the
    // Bluetooth text ends the search as above; the first whose pattern the name holds is no longer
    // connected, and a scan is due.
    bool OnRemoval(const std::string& interfaceName);

    bool InterfaceOpen() const { return m_interfaceOpen.load(); }
    bool DeviceKnown() const { return m_deviceKnown.load(); }
    // 0 cable, 1 and 2 wireless, -1 none: set by the page update after a scan.
    int ConnectionMode() const { return m_connectionMode.load(); }
    void SetConnectionMode(int mode) { m_connectionMode.store(mode); }

    std::vector<DeviceRecord> Modes() const;

private:
    mutable std::mutex m_lock;
    std::vector<DeviceRecord> m_modes;
    std::vector<std::string> m_patterns; // each mode's pattern, upper-cased
    std::vector<int> m_foundTypes;       // the device types of the modes the last scan found, in order
    std::atomic<bool> m_interfaceOpen{false};
    std::atomic<bool> m_deviceKnown{false};
    std::atomic<int> m_connectionMode{-1};
};
