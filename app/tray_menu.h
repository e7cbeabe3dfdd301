#pragma once
// The tray icon's menu: "closing options" (command 200) and "exit" (command 100), opened at the pointer.
// A chosen row reaches the main window as WM_COMMAND with the row's id.

#include "ui/controls/menu_wnd.h"

class TrayMenu final : public MenuWnd {
public:
    // Makes the menu at a screen point with the two rows in the current language; null-safe to show.
    bool Open(HWND owner, CPoint point);

protected:
    void OnItemClick(MenuItem* item) override;
};
