#pragma once
// The few system calls the uinput and evdev backends make, behind one interface, so that their ioctls,
// reads and writes can be checked against a fake (platform/fake/fake_device_io.h) on machines without
// uinput or evdev. Results follow the kernel's convention: a count or descriptor, or -errno.

#include <poll.h>

#include <cstddef>
#include <span>
#include <string>
#include <sys/types.h>

class DeviceIo {
public:
    virtual ~DeviceIo() = default;

    virtual int Open(const std::string& path, int flags) = 0;
    virtual void Close(int fd) = 0;
    virtual ssize_t Read(int fd, void* buffer, size_t length) = 0;
    virtual ssize_t Write(int fd, const void* buffer, size_t length) = 0;
    // An ioctl whose argument is a pointer to data.
    virtual int IoctlPointer(int fd, unsigned long request, void* argument) = 0;
    // An ioctl whose argument is the value itself (UI_SET_EVBIT, EVIOCGRAB).
    virtual int IoctlValue(int fd, unsigned long request, unsigned long value) = 0;
    virtual int Poll(std::span<pollfd> fds, int timeoutMs) = 0;
    // A non-blocking eventfd: writing an 8-byte count makes it readable until it is read.
    virtual int MakeEventFd() = 0;
};

// The real calls.
class SystemDeviceIo : public DeviceIo {
public:
    int Open(const std::string& path, int flags) override;
    void Close(int fd) override;
    ssize_t Read(int fd, void* buffer, size_t length) override;
    ssize_t Write(int fd, const void* buffer, size_t length) override;
    int IoctlPointer(int fd, unsigned long request, void* argument) override;
    int IoctlValue(int fd, unsigned long request, unsigned long value) override;
    int Poll(std::span<pollfd> fds, int timeoutMs) override;
    int MakeEventFd() override;

    static SystemDeviceIo& Shared();
};
