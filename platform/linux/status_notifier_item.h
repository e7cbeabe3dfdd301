#pragma once
// The tray icon as a StatusNotifierItem (the freedesktop/KDE notification-item protocol over D-Bus, shown
// by KDE Plasma, the GNOME AppIndicator extension, xfce4-panel, waybar and others). The item is an object
// /StatusNotifierItem under a bus name of its own, registered with the session's
// org.kde.StatusNotifierWatcher; the host that shows it calls Activate on a left click and ContextMenu on
// a right click, which reach the program as WM_LBUTTONDOWN and WM_RBUTTONUP. The item offers no menu
// of its own ("/NO_DBUSMENU"), so the host asks for ContextMenu and the program shows its own.
//
// Available while a watcher is on the bus and says a host is registered with it; a watcher that starts
// later (a panel restarting) gets the item registered again.
//
// Threads: the D-Bus side runs on the connection's thread; every public call and every callback that
// reaches the program (clicks, changes) runs on the UI thread through `post`.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/tray_backend.h"

class BusConnection;

class StatusNotifierItem : public TrayBackend {
public:
    using PostToUi = std::function<void(std::function<void()>)>;

    StatusNotifierItem(std::string busAddress, PostToUi post);
    ~StatusNotifierItem() override;
    StatusNotifierItem(const StatusNotifierItem&) = delete;
    StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

    const char* Name() const override { return "StatusNotifierItem"; }
    bool Available() const override;
    bool Show(const TrayIconData& data) override;
    void Hide() override;
    bool Showing() const override { return m_wanted && Available(); }

    // One picture of the item: width, height and ARGB32 pixels in network byte order.
    struct Pixmap {
        int width = 0;
        int height = 0;
        std::vector<uint8_t> argb;
    };
    // The pictures the item offers, made from the icon file's entries.
    static std::vector<Pixmap> MakePixmaps(const std::string& iconFile);

    // What the bus thread keeps; shared with its callbacks, which may outlive a call.
    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<BusConnection> m_bus;
    bool m_wanted = false;
    std::string m_iconFile;
    std::vector<Pixmap> m_pixmaps;
};
