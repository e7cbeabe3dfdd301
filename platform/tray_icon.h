#pragma once
// The program's icon in the desktop's notification area (the tray). The icon tells the window it belongs
// to of the user's clicks with the mouse messages a window gets (WM_LBUTTONDOWN, WM_LBUTTONDBLCLK,
// WM_RBUTTONUP); the window answers them as its tray callback.
//
// A desktop may have no tray at all, or one that starts (or ends) while the program runs: an added icon
// shows once a tray is there, and whoever holds it hears each change, so that a window hidden to the
// tray is never left without a way back.
//
// Threads: every call, and every callback, on the UI thread.

#include <functional>
#include <string>

#include "core/wide_text.h"

struct TrayIconData {
    // The picture (a native path; an icon file's entries are drawn at the size the tray asks for). A
    // missing or undecodable file shows a stand-in picture: an icon the user cannot see cannot be clicked.
    std::string iconFile;
    CString tip;
    // A click on the icon, as a window's mouse message.
    std::function<void(unsigned mouseMessage)> onMouse;
    // The icon began (true) or stopped (false) showing in a tray.
    std::function<void(bool shown)> onShownChange;
};

class TrayIcon {
public:
    // The longest tip a tray is handed; longer texts are cut to it.
    static constexpr size_t kMaxTipLength = 127;

    virtual ~TrayIcon() = default;

    // Puts the icon up (it shows now, or once a tray appears). False when it is up already.
    virtual bool Add(TrayIconData data) = 0;
    // Takes the icon down. False when it was not up, so a second removal does nothing.
    virtual bool Remove() = 0;
    virtual bool IsAdded() const = 0;
    // Whether a tray shows the icon now.
    virtual bool IsShown() const = 0;
};

// The tip as a tray takes it: the text cut to kMaxTipLength characters.
inline CString TrayTip(const CString& text)
{
    return text.substr(0, TrayIcon::kMaxTipLength);
}
