#pragma once
// One way of showing the tray icon (a StatusNotifierItem host, a system tray manager): DesktopTrayIcon
// picks the first available one in its order of preference and moves the icon when that changes.
//
// Threads: every call and the availability callback on the UI thread.

#include <functional>

#include "platform/tray_icon.h"

class TrayBackend {
public:
    virtual ~TrayBackend() = default;

    virtual const char* Name() const = 0;
    // Whether a tray of this kind is there now.
    virtual bool Available() const = 0;
    // Shows the icon with this data (again when it shows already); false when it cannot show now.
    virtual bool Show(const TrayIconData& data) = 0;
    virtual void Hide() = 0;
    virtual bool Showing() const = 0;

    // Runs whenever Available() or Showing() may have changed.
    void SetChanged(std::function<void()> changed) { m_changed = std::move(changed); }

protected:
    void Changed()
    {
        if (m_changed)
            m_changed();
    }

private:
    std::function<void()> m_changed;
};
