#include "platform/linux/device_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

template <typename T> T Result(T value)
{
    return value < 0 ? static_cast<T>(-errno) : value;
}

} // namespace

int SystemDeviceIo::Open(const std::string& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return Result(fd);
}

void SystemDeviceIo::Close(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

ssize_t SystemDeviceIo::Read(int fd, void* buffer, size_t length)
{
    ssize_t n;
    do {
        n = ::read(fd, buffer, length);
    } while (n < 0 && errno == EINTR);
    return Result(n);
}

ssize_t SystemDeviceIo::Write(int fd, const void* buffer, size_t length)
{
    ssize_t n;
    do {
        n = ::write(fd, buffer, length);
    } while (n < 0 && errno == EINTR);
    return Result(n);
}

int SystemDeviceIo::IoctlPointer(int fd, unsigned long request, void* argument)
{
    return Result(::ioctl(fd, request, argument));
}

int SystemDeviceIo::IoctlValue(int fd, unsigned long request, unsigned long value)
{
    return Result(::ioctl(fd, request, value));
}

int SystemDeviceIo::Poll(std::span<pollfd> fds, int timeoutMs)
{
    return Result(::poll(fds.data(), fds.size(), timeoutMs));
}

int SystemDeviceIo::MakeEventFd()
{
    return Result(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
}

SystemDeviceIo& SystemDeviceIo::Shared()
{
    static SystemDeviceIo io;
    return io;
}
