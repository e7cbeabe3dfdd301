#include "app/tray_menu.h"

#include "app/app_messages.h"
#include "app/language_text.h"
#include "app/text_ids.h"
#include "ui/framework/window_system.h"

bool TrayMenu::Open(HWND owner, CPoint point)
{
    AddMenu(GetText(kDialogSection, kTextTrayClosingOptions), static_cast<unsigned>(kCommandClosingOptions));
    AddMenu(GetText(kDialogSection, kTextTrayExit), static_cast<unsigned>(kCommandQuit));
    if (!Create(owner, point, WM_COMMAND))
        return false;
    ShowWindow(SW_SHOW);
    return true;
}

void TrayMenu::OnItemClick(MenuItem* item)
{
    // The commands arrive as a menu's commands do: WM_COMMAND with the row's id.
    if (item)
        WindowSystem::PostMessageW(GetOwnerWnd(), WM_COMMAND, item->GetID(), 0);
    CloseMenu();
}
