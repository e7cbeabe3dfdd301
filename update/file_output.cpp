#include "update/file_output.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int CreateReplacingFile(const std::string& nativePath, mode_t permissions)
{
    ::unlink(nativePath.c_str());
    return ::open(nativePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, permissions);
}

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}
