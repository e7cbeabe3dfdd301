#include "core/folders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "core/native_path.h"

namespace {

CString Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? Utf8ToWide(value) : CString();
}

bool IsDirectory(const std::string& nativePath)
{
    struct stat st {};
    return ::stat(nativePath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

CString ApplicationFolder()
{
    CString folder = Environment(kApplicationFolderVariable);
    if (folder.empty()) {
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (length <= 0)
            return {};
        folder = Utf8ToWide(std::string_view(buffer, static_cast<size_t>(length)));
        const size_t slash = folder.rfind(L'/');
        folder.resize(slash == CString::npos ? 0 : slash);
    }
    while (folder.size() > 1 && (folder.back() == L'/' || folder.back() == L'\\'))
        folder.pop_back();
    return folder;
}

CString ApplicationFolderWithSeparator()
{
    CString folder = ApplicationFolder();
    if (folder != L"/")
        folder += L'/';
    return folder;
}

CString DataFolder(const CString& deviceName)
{
    CString base = Environment("XDG_DATA_HOME");
    // The XDG rule: a relative value is invalid and is ignored.
    if (base.empty() || base.front() != L'/')
        base = Environment("HOME") + L"/.local/share";
    return base + L'/' + deviceName + L" Files/";
}

bool CreateFolderTree(const CString& path)
{
    const std::string native = NativePath(path);
    if (native.empty())
        return false;
    if (IsDirectory(native))
        return true;
    for (size_t slash = native.find('/', 1); slash != std::string::npos; slash = native.find('/', slash + 1))
        ::mkdir(native.substr(0, slash).c_str(), 0755);
    errno = 0;
    if (::mkdir(native.c_str(), 0755) == 0)
        return true;
    return errno == EEXIST && IsDirectory(native);
}

bool PathExists(const CString& path)
{
    struct stat st {};
    return ::stat(NativePath(path).c_str(), &st) == 0;
}
