#pragma once
// The window messages the main window answers beyond the library's own, with the values other
// processes and the program's threads send them with.

#include <string>

#include "ui/framework/messages.h"

// lParam: the id of a key extra record whose action runs (returns 1).
constexpr UINT WM_RUN_KEY_ACTION = WM_USER + 68;
// Sent by the key hook: wParam the key message, lParam the hook's key record; a nonzero answer
// swallows the key.
constexpr UINT WM_HOOK_KEY = WM_USER + 630;
// The tray icon's callback: lParam the mouse message (the download progress also arrives here).
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 666;
// Another process asks the program to end; only with lParam kQuitRequestCode.
constexpr UINT WM_QUIT_REQUEST = WM_USER + 667;
constexpr LPARAM kQuitRequestCode = 610;
// Menu commands: lParam the chosen item's id.
constexpr UINT WM_KEY_MENU_COMMAND = WM_USER + 801;   // 606–609, custom key page's keyboard view
constexpr UINT WM_PROFILE_COMMAND = WM_USER + 802;    // 605–608, profile list
constexpr UINT WM_MACRO_MENU_COMMAND = WM_USER + 803; // 600–610, macro page
// Every text again in the current language.
constexpr UINT WM_APPLY_TEXTS = WM_USER + 998;

// WM_COMMAND ids of the tray menu.
constexpr WPARAM kCommandQuit = 100;
constexpr WPARAM kCommandClosingOptions = 200;

// WM_DEVICECHANGE: wParam what happened, lParam a DeviceInterfaceBroadcast*.
constexpr WPARAM DBT_DEVICEARRIVAL = 0x8000;
constexpr WPARAM DBT_DEVICEREMOVECOMPLETE = 0x8004;
constexpr unsigned DBT_DEVTYP_DEVICEINTERFACE = 5;

struct DeviceInterfaceBroadcast {
    unsigned deviceType = DBT_DEVTYP_DEVICEINTERFACE;
    std::wstring name; // the interface name, as enumeration names it
};
