#include "platform/linux/desktop_autostart.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "core/native_path.h"
#include "platform/linux/config_files.h"

namespace {

// The general escapes of a desktop entry's string values.
std::string EscapeString(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string DesktopAutostart::EntryFilePath(const CString& name)
{
    return XdgConfigHome() + "/autostart/" + FileNameComponent(name) + ".desktop";
}

std::string DesktopAutostart::ExecValue(const CString& programPath)
{
    const std::string path = NativePath(programPath);
    // An argument with a reserved character is quoted; inside the quotes ", `, $ and \ take a backslash.
    // '%' starts a field code anywhere, so a literal one is doubled.
    const bool quote = path.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string argument = quote ? "\"" : "";
    for (char c : path) {
        if (quote && std::strchr("\"`$\\", c))
            argument += '\\';
        argument += c;
        if (c == '%')
            argument += '%';
    }
    if (quote)
        argument += '"';
    return EscapeString(argument);
}

bool DesktopAutostart::HasEntry(const CString& name) const
{
    return ::access(EntryFilePath(name).c_str(), F_OK) == 0;
}

bool DesktopAutostart::SetEntry(const CString& name, const CString& programPath)
{
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=" +
                              EscapeString(WideToUtf8(name)) +
                              "\n"
                              "Exec=" +
                              ExecValue(programPath) +
                              "\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    return ReplaceFileAtomically(EntryFilePath(name), entry);
}

bool DesktopAutostart::RemoveEntry(const CString& name)
{
    return ::unlink(EntryFilePath(name).c_str()) == 0 || errno == ENOENT;
}
