#include "platform/linux/config_files.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/folders.h"

std::string XdgConfigHome()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config";
}

std::string FileNameComponent(const CString& name)
{
    std::string component = WideToUtf8(name);
    for (char& c : component) {
        if (c == '/' || c == '\0')
            c = '_';
    }
    if (component.empty() || component == "." || component == "..")
        component = "_" + component;
    return component;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes)
{
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !CreateFolderTree(Utf8ToWide(path.substr(0, slash))))
        return false;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, 0644) == 0;
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        ok = written > 0;
        done += ok ? static_cast<size_t>(written) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

bool RegularFileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
