#pragma once
// Arrival and removal of HID interfaces from udev: a monitor on the hidraw subsystem, read on a thread
// of its own, whose uevents HidrawEventTracker turns into named interface events. The thread blocks in
// poll until udev or Stop wakes it; it never wakes on its own.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "platform/hid_device_events.h"
#include "platform/linux/hidraw_uevent.h"

struct udev;
struct udev_monitor;

class UdevHidMonitor : public HidDeviceNotifier {
public:
    // `sysfsRoot` is where the tracker reads report descriptors ("/sys").
    explicit UdevHidMonitor(std::string sysfsRoot = "/sys");
    ~UdevHidMonitor() override;
    UdevHidMonitor(const UdevHidMonitor&) = delete;
    UdevHidMonitor& operator=(const UdevHidMonitor&) = delete;

    // False when udev's monitor cannot be opened (no netlink socket, as in some containers) or the
    // monitor runs already.
    bool Start(Sink sink) override;
    void Stop() override;

private:
    void Loop();
    void Release();

    HidrawEventTracker m_tracker; // used by the thread only once it runs
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    int m_stopFd = -1;
    std::thread m_thread;
    Sink m_sink;
};
