#include "platform/fake/fake_device_io.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <linux/uinput.h>

void FakeDeviceIo::SetUinputError(int error)
{
    std::lock_guard lock(m_lock);
    m_uinputError = error;
}

void FakeDeviceIo::AddEvdevNode(const std::string& path, const EvdevCapabilities& capabilities)
{
    std::lock_guard lock(m_lock);
    m_evdev[path].capabilities = capabilities;
}

void FakeDeviceIo::SetOpenError(const std::string& path, int error)
{
    std::lock_guard lock(m_lock);
    m_evdev[path].openError = error;
}

void FakeDeviceIo::Feed(const std::string& path, const std::vector<input_event>& events)
{
    std::lock_guard lock(m_lock);
    Evdev& node = m_evdev[path];
    for (const input_event& event : events) {
        if (event.type == EV_KEY && event.code < KEY_CNT && event.value != 2)
            node.keyState[event.code] = event.value != 0;
        if (node.openCount > 0)
            node.queue.push_back(event);
    }
    m_changed.notify_all();
}

void FakeDeviceIo::Key(const std::string& path, uint16_t code, int value)
{
    auto event = [](uint16_t type, uint16_t c, int32_t v) {
        input_event e{};
        e.type = type;
        e.code = c;
        e.value = v;
        return e;
    };
    Feed(path,
         {event(EV_MSC, MSC_SCAN, 0x70000 + code), event(EV_KEY, code, value), event(EV_SYN, SYN_REPORT, 0)});
}

void FakeDeviceIo::Unplug(const std::string& path)
{
    std::lock_guard lock(m_lock);
    m_evdev[path].unplugged = true;
    m_changed.notify_all();
}

void FakeDeviceIo::Replug(const std::string& path)
{
    std::lock_guard lock(m_lock);
    Evdev& node = m_evdev[path];
    node.unplugged = false;
    node.keyState.reset();
    node.queue.clear();
}

void FakeDeviceIo::SetGrabError(const std::string& path, int error)
{
    std::lock_guard lock(m_lock);
    m_evdev[path].grabError = error;
}

std::vector<FakeDeviceIo::Uinput> FakeDeviceIo::UinputDevices() const
{
    std::lock_guard lock(m_lock);
    return m_uinputs;
}

bool FakeDeviceIo::Grabbed(const std::string& path) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_evdev.find(path);
    return it != m_evdev.end() && it->second.grabbed;
}

int FakeDeviceIo::GrabCount(const std::string& path) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_evdev.find(path);
    return it == m_evdev.end() ? 0 : it->second.grabCount;
}

bool FakeDeviceIo::IsOpen(const std::string& path) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_evdev.find(path);
    return it != m_evdev.end() && it->second.openCount > 0;
}

std::vector<input_event> FakeDeviceIo::Written(size_t index) const
{
    std::lock_guard lock(m_lock);
    std::vector<input_event> all;
    if (index < m_uinputs.size()) {
        for (const auto& write : m_uinputs[index].writes)
            all.insert(all.end(), write.begin(), write.end());
    }
    return all;
}

int FakeDeviceIo::OpenDescriptors() const
{
    std::lock_guard lock(m_lock);
    return static_cast<int>(m_fds.size());
}

FakeDeviceIo::Descriptor* FakeDeviceIo::Find(int fd)
{
    const auto it = m_fds.find(fd);
    return it == m_fds.end() ? nullptr : &it->second;
}

int FakeDeviceIo::Open(const std::string& path, int /*flags*/)
{
    std::lock_guard lock(m_lock);
    if (path == "/dev/uinput") {
        if (m_uinputError != 0)
            return -m_uinputError;
        m_uinputs.emplace_back();
        m_fds[m_nextFd] = Descriptor{Descriptor::UinputFd, path, m_uinputs.size() - 1, 0};
        return m_nextFd++;
    }
    const auto it = m_evdev.find(path);
    if (it == m_evdev.end() || it->second.unplugged)
        return -ENOENT;
    if (it->second.openError != 0)
        return -it->second.openError;
    ++it->second.openCount;
    m_fds[m_nextFd] = Descriptor{Descriptor::EvdevFd, path, 0, 0};
    return m_nextFd++;
}

void FakeDeviceIo::Close(int fd)
{
    std::lock_guard lock(m_lock);
    const auto it = m_fds.find(fd);
    if (it == m_fds.end())
        return;
    if (it->second.kind == Descriptor::EvdevFd) {
        Evdev& node = m_evdev[it->second.path];
        // As the kernel does when the grabbing descriptor closes.
        node.grabbed = false;
        if (--node.openCount == 0)
            node.queue.clear();
    } else if (it->second.kind == Descriptor::UinputFd) {
        m_uinputs[it->second.uinput].destroyed = true;
    }
    m_fds.erase(it);
    m_changed.notify_all();
}

ssize_t FakeDeviceIo::Read(int fd, void* buffer, size_t length)
{
    std::lock_guard lock(m_lock);
    Descriptor* d = Find(fd);
    if (!d)
        return -EBADF;
    if (d->kind == Descriptor::EventFd) {
        if (d->count == 0)
            return -EAGAIN;
        if (length < sizeof(uint64_t))
            return -EINVAL;
        std::memcpy(buffer, &d->count, sizeof d->count);
        d->count = 0;
        return sizeof(uint64_t);
    }
    if (d->kind != Descriptor::EvdevFd)
        return -EINVAL;
    Evdev& node = m_evdev[d->path];
    if (node.unplugged)
        return -ENODEV;
    if (node.queue.empty())
        return -EAGAIN;
    const size_t count = std::min(length / sizeof(input_event), node.queue.size());
    auto* events = static_cast<input_event*>(buffer);
    for (size_t i = 0; i < count; ++i) {
        events[i] = node.queue.front();
        node.queue.pop_front();
    }
    return static_cast<ssize_t>(count * sizeof(input_event));
}

ssize_t FakeDeviceIo::Write(int fd, const void* buffer, size_t length)
{
    std::lock_guard lock(m_lock);
    Descriptor* d = Find(fd);
    if (!d)
        return -EBADF;
    if (d->kind == Descriptor::EventFd) {
        uint64_t add = 0;
        std::memcpy(&add, buffer, std::min(length, sizeof add));
        d->count += add;
        m_changed.notify_all();
        return static_cast<ssize_t>(length);
    }
    if (d->kind != Descriptor::UinputFd || length % sizeof(input_event) != 0)
        return -EINVAL;
    Uinput& device = m_uinputs[d->uinput];
    if (!device.created)
        return -EINVAL;
    const auto* events = static_cast<const input_event*>(buffer);
    device.writes.emplace_back(events, events + length / sizeof(input_event));
    return static_cast<ssize_t>(length);
}

namespace {

template <typename Codes> void FillBits(const Codes& codes, void* argument, size_t size)
{
    auto* bytes = static_cast<uint8_t*>(argument);
    std::memset(bytes, 0, size);
    for (const auto code : codes) {
        if (code / 8u < size)
            bytes[code / 8] |= static_cast<uint8_t>(1u << (code % 8));
    }
}

} // namespace

int FakeDeviceIo::IoctlPointer(int fd, unsigned long request, void* argument)
{
    std::lock_guard lock(m_lock);
    Descriptor* d = Find(fd);
    if (!d)
        return -EBADF;
    if (d->kind == Descriptor::UinputFd) {
        if (request != UI_DEV_SETUP)
            return -EINVAL;
        std::memcpy(&m_uinputs[d->uinput].setup, argument, sizeof(uinput_setup));
        return 0;
    }
    if (d->kind != Descriptor::EvdevFd)
        return -EINVAL;
    Evdev& node = m_evdev[d->path];
    if (node.unplugged)
        return -ENODEV;
    if (request == EVIOCGID) {
        std::memcpy(argument, &node.capabilities.id, sizeof(input_id));
        return 0;
    }
    if (_IOC_TYPE(request) != 'E' || _IOC_DIR(request) != _IOC_READ)
        return -EINVAL;
    const unsigned nr = _IOC_NR(request);
    const size_t size = _IOC_SIZE(request);
    if (nr == _IOC_NR(EVIOCGKEY(0))) {
        std::vector<uint16_t> held;
        for (size_t code = 0; code < KEY_CNT; ++code) {
            if (node.keyState[code])
                held.push_back(static_cast<uint16_t>(code));
        }
        FillBits(held, argument, size);
        return static_cast<int>(size);
    }
    if (nr == 0x20) {
        std::vector<uint16_t> types = node.capabilities.types;
        types.push_back(EV_SYN);
        FillBits(types, argument, size);
        return static_cast<int>(size);
    }
    switch (nr - 0x20) {
    case EV_KEY:
        FillBits(node.capabilities.keys, argument, size);
        return static_cast<int>(size);
    case EV_REL:
        FillBits(node.capabilities.relativeAxes, argument, size);
        return static_cast<int>(size);
    case EV_MSC:
        FillBits(node.capabilities.miscEvents, argument, size);
        return static_cast<int>(size);
    case EV_ABS:
        FillBits(std::vector<uint16_t>{}, argument, size);
        return static_cast<int>(size);
    default:
        return -EINVAL;
    }
}

int FakeDeviceIo::IoctlValue(int fd, unsigned long request, unsigned long value)
{
    std::lock_guard lock(m_lock);
    Descriptor* d = Find(fd);
    if (!d)
        return -EBADF;
    if (d->kind == Descriptor::UinputFd) {
        Uinput& device = m_uinputs[d->uinput];
        if (request == UI_DEV_CREATE) {
            device.created = true;
        } else if (request == UI_DEV_DESTROY) {
            device.destroyed = true;
        } else if (_IOC_TYPE(request) == UINPUT_IOCTL_BASE && !device.created) {
            device.setBits.push_back(Ioctl{request, value});
        } else {
            return -EINVAL;
        }
        return 0;
    }
    if (d->kind != Descriptor::EvdevFd || request != EVIOCGRAB)
        return -EINVAL;
    Evdev& node = m_evdev[d->path];
    if (node.unplugged)
        return -ENODEV;
    if (value != 0) {
        if (node.grabError != 0)
            return -node.grabError;
        if (node.grabbed)
            return -EBUSY;
        node.grabbed = true;
        ++node.grabCount;
    } else {
        if (!node.grabbed)
            return -EINVAL;
        node.grabbed = false;
    }
    return 0;
}

bool FakeDeviceIo::ReadableLocked(const Descriptor& d) const
{
    if (d.kind == Descriptor::EventFd)
        return d.count > 0;
    if (d.kind != Descriptor::EvdevFd)
        return false;
    const Evdev& node = m_evdev.at(d.path);
    return node.unplugged || !node.queue.empty();
}

int FakeDeviceIo::Poll(std::span<pollfd> fds, int timeoutMs)
{
    std::unique_lock lock(m_lock);
    auto ready = [&] {
        int count = 0;
        for (pollfd& p : fds) {
            p.revents = 0;
            const auto it = m_fds.find(p.fd);
            if (it == m_fds.end()) {
                p.revents = POLLNVAL;
            } else if (ReadableLocked(it->second)) {
                const bool gone =
                    it->second.kind == Descriptor::EvdevFd && m_evdev.at(it->second.path).unplugged;
                p.revents = gone ? POLLERR : POLLIN;
            }
            count += p.revents != 0;
        }
        return count;
    };
    if (timeoutMs < 0) {
        int count = 0;
        m_changed.wait(lock, [&] { return (count = ready()) > 0; });
        return count;
    }
    int count = 0;
    m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return (count = ready()) > 0; });
    return count;
}

int FakeDeviceIo::MakeEventFd()
{
    std::lock_guard lock(m_lock);
    m_fds[m_nextFd] = Descriptor{Descriptor::EventFd, {}, 0, 0};
    return m_nextFd++;
}
