#pragma once
// The tray icon of a desktop session: shown by the first available of its backends in order of
// preference — a StatusNotifierItem host over D-Bus (what most current desktops show), then a
// freedesktop system tray (XEmbed). When the availability changes (a panel starts, ends, restarts), the
// icon moves to the preferred backend that is there, and whoever added it hears whether it still shows.

#include <memory>
#include <vector>

#include "platform/linux/tray_backend.h"
#include "platform/tray_icon.h"

class DesktopTrayIcon : public TrayIcon {
public:
    explicit DesktopTrayIcon(std::vector<std::unique_ptr<TrayBackend>> backends);
    ~DesktopTrayIcon() override;

    // The session's: StatusNotifierItem on the session bus, then XEmbed through KelvoUI's window system.
    // Made and used on the UI thread.
    static std::unique_ptr<DesktopTrayIcon> ForSession();

    bool Add(TrayIconData data) override;
    bool Remove() override;
    bool IsAdded() const override { return m_added; }
    bool IsShown() const override;
    // The backend showing the icon now; null when none.
    const TrayBackend* Current() const { return m_current; }

private:
    void Choose();

    std::vector<std::unique_ptr<TrayBackend>> m_backends;
    TrayBackend* m_current = nullptr;
    TrayIconData m_data;
    bool m_added = false;
    bool m_shown = false;
    bool m_choosing = false;
};
