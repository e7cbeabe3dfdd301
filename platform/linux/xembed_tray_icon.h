#pragma once
// The tray icon in a freedesktop system tray (XEmbed): a small KelvoUI window that the tray manager takes
// in, sizes and shows; it draws the icon file's entry for the size it gets and reports the left button's
// press and double click and the right button's release as mouse messages. When the manager ends, the
// window goes with it; when a manager (the same or another) starts, a new window is docked, made with
// that tray's visual.

#include <memory>
#include <vector>

#include "platform/linux/tray_backend.h"
#include "ui/framework/render_types.h"
#include "ui/framework/win_types.h"

class TrayIconWindow;

class XEmbedTrayIcon : public TrayBackend {
public:
    XEmbedTrayIcon();
    ~XEmbedTrayIcon() override;
    XEmbedTrayIcon(const XEmbedTrayIcon&) = delete;
    XEmbedTrayIcon& operator=(const XEmbedTrayIcon&) = delete;

    const char* Name() const override { return "system tray"; }
    bool Available() const override;
    bool Show(const TrayIconData& data) override;
    void Hide() override;
    bool Showing() const override { return m_window != nullptr; }

    // The docked window (null when none), for tests.
    HWND Window() const;

private:
    void OnTrayChange(bool present);
    void Dock();

    int m_listener = 0;
    bool m_wanted = false;
    TrayIconData m_data;
    std::vector<ImagePtr> m_pictures;
    std::unique_ptr<TrayIconWindow> m_window;
};
