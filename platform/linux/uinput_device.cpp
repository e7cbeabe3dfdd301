#include "platform/linux/uinput_device.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/uinput.h>

#include "platform/linux/debug_output.h"

namespace {

DeviceAccess AccessFromError(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return DeviceAccess::Denied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return DeviceAccess::Missing;
    default:
        return DeviceAccess::Failed;
    }
}

// At most `limit` bytes without splitting a UTF-8 sequence.
std::string CutUtf8(const std::string& text, size_t limit)
{
    if (text.size() <= limit)
        return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

} // namespace

DeviceAccess UinputDevice::Create(const UinputCapabilities& capabilities)
{
    if (m_fd >= 0)
        return DeviceAccess::Ok;
    const int fd = m_io.Open(kPath, O_WRONLY | O_NONBLOCK);
    if (fd < 0) {
        DebugPrint("uinput: cannot open %s: %s\n", kPath, std::strerror(-fd));
        return AccessFromError(-fd);
    }
    if (!Setup(fd, capabilities)) {
        DebugPrint("uinput: cannot create \"%s\"\n", capabilities.name.c_str());
        m_io.Close(fd);
        return DeviceAccess::Failed;
    }
    m_fd = fd;
    return DeviceAccess::Ok;
}

bool UinputDevice::Setup(int fd, const UinputCapabilities& capabilities)
{
    auto setBit = [&](unsigned long request, unsigned long value) {
        return m_io.IoctlValue(fd, request, value) >= 0;
    };
    bool ok = setBit(UI_SET_EVBIT, EV_SYN);
    if (!capabilities.keys.empty())
        ok = ok && setBit(UI_SET_EVBIT, EV_KEY);
    for (uint16_t key : capabilities.keys)
        ok = ok && setBit(UI_SET_KEYBIT, key);
    if (!capabilities.relativeAxes.empty())
        ok = ok && setBit(UI_SET_EVBIT, EV_REL);
    for (uint16_t axis : capabilities.relativeAxes)
        ok = ok && setBit(UI_SET_RELBIT, axis);
    if (!capabilities.miscEvents.empty())
        ok = ok && setBit(UI_SET_EVBIT, EV_MSC);
    for (uint16_t misc : capabilities.miscEvents)
        ok = ok && setBit(UI_SET_MSCBIT, misc);
    if (capabilities.autoRepeat)
        ok = ok && setBit(UI_SET_EVBIT, EV_REP);
    if (!ok)
        return false;

    uinput_setup setup{};
    setup.id = capabilities.id;
    const std::string name = CutUtf8(capabilities.name, UINPUT_MAX_NAME_SIZE - 1);
    std::memcpy(setup.name, name.data(), name.size());
    return m_io.IoctlPointer(fd, UI_DEV_SETUP, &setup) >= 0 && m_io.IoctlValue(fd, UI_DEV_CREATE, 0) >= 0;
}

void UinputDevice::Destroy()
{
    if (m_fd < 0)
        return;
    m_io.IoctlValue(m_fd, UI_DEV_DESTROY, 0);
    m_io.Close(m_fd);
    m_fd = -1;
}

bool UinputDevice::Emit(std::span<const input_event> events)
{
    if (m_fd < 0)
        return false;
    if (events.empty())
        return true;
    const size_t bytes = events.size_bytes();
    return m_io.Write(m_fd, events.data(), bytes) == static_cast<ssize_t>(bytes);
}
