#pragma once
// The key menu of the custom key page's keyboard view: what a right click on a key offers. Each row
// posts WM_USER+801 with its id to the main window once the menu has closed:
//   606 restore default, 608 macro, 609 shortcut, 607 disable,
//   then 614 mouse button, 610 start a program, 611 open a web address, 612 type a text, 613 switch
//   profile.

#include "ui/controls/menu_wnd.h"

class KeyMenu final : public MenuWnd {
public:
    static constexpr unsigned kRestoreDefault = 606;
    static constexpr unsigned kDisable = 607;
    static constexpr unsigned kMacro = 608;
    static constexpr unsigned kShortcut = 609;
    static constexpr unsigned kProgram = 610;
    static constexpr unsigned kAddress = 611;
    static constexpr unsigned kText = 612;
    static constexpr unsigned kProfile = 613;
    static constexpr unsigned kMouse = 614;

    // The custom key dialog's mode a row opens; 0 for rows without a dialog.
    static int DialogModeOf(long item);

    // Makes the menu at `point` (screen coordinates) with its rows in the language in use.
    HWND Open(HWND owner, CPoint point);
};
