#include "app/secondary_windows.h"

#include <string_view>

#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

void CloseSecondaryWindows()
{
    struct Rule {
        std::wstring_view title;
        bool hide;
        WPARAM closeCode;
    };
    static constexpr Rule kRules[] = {
        {L"CloseWindowTipDlg", false, 0}, {L"CustomKeyDlg", false, 0}, {L"MessageBox", false, 2},
        {L"WaitDlg", false, 0},           {L"Menu Window", false, 0},  {L"KeyboardTip Window", true, 0},
        {L"ComboWnd", true, 0},
    };
    for (const HWND hwnd : WindowSystem::Windows()) {
        CString className;
        CString title;
        if (!WindowSystem::GetClassNameW(hwnd, &className) || className != L"KelvoClient" ||
            !WindowSystem::GetWindowTextW(hwnd, &title))
            continue;
        for (const Rule& rule : kRules) {
            if (title != rule.title)
                continue;
            if (rule.hide)
                WindowSystem::ShowWindow(hwnd, SW_HIDE);
            else
                WindowSystem::PostMessageW(hwnd, WM_CLOSE, rule.closeCode, 0);
        }
    }
}
