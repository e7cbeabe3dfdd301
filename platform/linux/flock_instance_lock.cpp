#include "platform/linux/flock_instance_lock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "core/folders.h"
#include "core/native_path.h"

FlockInstanceLock::FlockInstanceLock(CString folder) : m_folder(std::move(folder)) {}

FlockInstanceLock::~FlockInstanceLock()
{
    Release();
}

CString FlockInstanceLock::DefaultFolder(const CString& fallback)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
        return Utf8ToWide(runtime);
    return fallback;
}

std::string FlockInstanceLock::LockFilePath(const CString& name) const
{
    std::string file = WideToUtf8(name);
    for (char& c : file) {
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    }
    std::string folder = NativePath(m_folder);
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder + file + ".lock";
}

InstanceLockResult FlockInstanceLock::Acquire(const CString& name)
{
    Release();
    CreateFolderTree(m_folder);
    const std::string path = LockFilePath(name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return InstanceLockResult::Unavailable;
    int result;
    while ((result = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? InstanceLockResult::HeldByAnother : InstanceLockResult::Unavailable;
    }
    m_fd = fd;
    return InstanceLockResult::Acquired;
}

void FlockInstanceLock::Release()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
