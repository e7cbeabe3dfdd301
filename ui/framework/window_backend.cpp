#include "ui/framework/window_backend.h"

#include "ui/framework/messages.h"

NativeTraits TraitsForStyle(DWORD style, DWORD exStyle, bool hasOwner)
{
    NativeTraits traits;
    if (style & WS_CHILD) {
        traits.kind = NativeKind::Child;
        return traits;
    }
    if (exStyle & WS_EX_KELVO_TRAYICON) {
        traits.kind = NativeKind::TrayIcon;
        traits.skipTaskbar = true;
        return traits;
    }
    const bool tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
    // Owned tool popups (menus, drop-downs, tips) are placed exactly where the library puts them and are
    // never framed, stacked below or listed by the window manager.
    traits.kind = (tool && hasOwner && (style & WS_POPUP)) ? NativeKind::Popup : NativeKind::Managed;
    traits.decorated = (style & WS_CAPTION) == WS_CAPTION;
    // Tool windows and owned windows have no task-bar entry of their own unless they ask for one.
    traits.skipTaskbar = (tool || hasOwner) && !(exStyle & WS_EX_APPWINDOW);
    traits.above = (exStyle & WS_EX_TOPMOST) != 0;
    traits.pointerThrough = (exStyle & WS_EX_LAYERED) && (exStyle & WS_EX_TRANSPARENT);
    return traits;
}
