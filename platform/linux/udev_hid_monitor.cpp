#include "platform/linux/udev_hid_monitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

UdevHidMonitor::UdevHidMonitor(std::string sysfsRoot) : m_tracker(std::move(sysfsRoot)) {}

UdevHidMonitor::~UdevHidMonitor()
{
    Stop();
}

bool UdevHidMonitor::Start(Sink sink)
{
    if (m_thread.joinable())
        return false;
    m_udev = udev_new();
    if (m_udev)
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        Release();
        return false;
    }
    m_stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stopFd < 0) {
        Release();
        return false;
    }
    // After the monitor receives: a node that arrives meanwhile is then remembered and announced.
    m_tracker.RememberPresentNodes();
    m_sink = std::move(sink);
    m_thread = std::thread([this] { Loop(); });
    return true;
}

void UdevHidMonitor::Stop()
{
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        while (write(m_stopFd, &one, sizeof one) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
    m_sink = nullptr;
    Release();
}

void UdevHidMonitor::Release()
{
    if (m_stopFd >= 0)
        close(m_stopFd);
    m_stopFd = -1;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
    if (m_udev)
        udev_unref(m_udev);
    m_udev = nullptr;
}

void UdevHidMonitor::Loop()
{
    pollfd fds[2] = {{udev_monitor_get_fd(m_monitor), POLLIN, 0}, {m_stopFd, POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
            return;
        if ((fds[0].revents & POLLIN) == 0)
            continue;
        udev_device* device = udev_monitor_receive_device(m_monitor);
        if (!device)
            continue;
        UeventProperties properties;
        for (udev_list_entry* entry = udev_device_get_properties_list_entry(device); entry;
             entry = udev_list_entry_get_next(entry)) {
            const char* value = udev_list_entry_get_value(entry);
            properties[udev_list_entry_get_name(entry)] = value ? value : "";
        }
        udev_device_unref(device);
        for (const HidDeviceEvent& event : m_tracker.OnUevent(properties))
            m_sink(event);
    }
}
