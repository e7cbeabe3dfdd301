#pragma once
// Autostart entries of the freedesktop.org session: $XDG_CONFIG_HOME/autostart/<name>.desktop.

#include <string>

#include "platform/autostart.h"

class DesktopAutostart : public Autostart {
public:
    // The entry file of a name; $XDG_CONFIG_HOME is looked up on every call.
    static std::string EntryFilePath(const CString& name);
    // The Exec= line's value that starts the program: quoted and escaped as the desktop entry format
    // wants it.
    static std::string ExecValue(const CString& programPath);

    bool HasEntry(const CString& name) const override;
    bool SetEntry(const CString& name, const CString& programPath) override;
    bool RemoveEntry(const CString& name) override;
};
