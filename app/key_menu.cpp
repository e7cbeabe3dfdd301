#include "app/key_menu.h"

#include "app/app_messages.h"
#include "app/language_text.h"
#include "keys/custom_key_rules.h"

namespace {

struct Row {
    unsigned id;
    int textId;
};

// The first four in the order users of the keyboard's own software know; the program-run rows after.
constexpr Row kRows[] = {
    {KeyMenu::kRestoreDefault, 201},
    {KeyMenu::kMacro, 206},
    {KeyMenu::kShortcut, 209},
    {KeyMenu::kDisable, 202},
    {0, 0},
    {KeyMenu::kMouse, 207},
    {KeyMenu::kProgram, 210},
    {KeyMenu::kAddress, 211},
    {KeyMenu::kText, 212},
    {KeyMenu::kProfile, 367},
};

} // namespace

int KeyMenu::DialogModeOf(long item)
{
    switch (item) {
    case kMacro:
        return CustomKeyMode::kMacro;
    case kShortcut:
        return CustomKeyMode::kShortcut;
    case kMouse:
        return CustomKeyMode::kMouse;
    case kProgram:
        return CustomKeyMode::kProgram;
    case kAddress:
        return CustomKeyMode::kAddress;
    case kText:
        return CustomKeyMode::kText;
    case kProfile:
        return CustomKeyMode::kProfile;
    default:
        return 0;
    }
}

HWND KeyMenu::Open(HWND owner, CPoint point)
{
    const HWND hwnd = Create(owner, point, WM_KEY_MENU_COMMAND);
    for (const Row& row : kRows) {
        if (row.id == 0)
            AddSeparator();
        else
            AddMenu(GetText(kDialogSection, row.textId), row.id);
    }
    return hwnd;
}
