#pragma once
// The custom key page (page 51): the profile bar with its five buttons (60–64), the profile list (66),
// the keyboard view (67) and the key function picker (69). Ids 59–69, and the key menu
// (WM_USER+801), the profile commands (WM_USER+802) and the software key actions (WM_USER+68).
//
// FIXME: what the page does (assignments, the key menu, the custom key dialog, profiles, import and
// export) comes with the key assignment and profile work; every entry point already lands here.

#include "app/main_page.h"
#include "core/wide_text.h"
#include "device/keyboard_layout.h"
#include "macros/software_keys.h"
#include "store/profile_rows.h"

class CustomKeyPage final : public MainPage {
public:
    using MainPage::MainPage;

    void Build(MPanel* page, const CRect& client) override;
    void Layout(const CRect& client) override;
    bool Owns(unsigned controlId) const override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    void ApplyTexts() override;

    // The keyboard view's menu item 606–609.
    long OnKeyMenuCommand(long itemId);
    // 605 delete, 606 rename in place, 607 import, 608 export.
    long OnProfileCommand(long command);
    // The program-run action of a key extra record (start a program, open an address, …).
    void RunKeyAction(long recordId);
    // A press or release of a key whose assignment the software keys leave to the program (types
    // 8-11: program, address, text, profile).
    void OnOtherAssignment(const KeyAssignmentRow& row, bool pressed);
    // Whether software keys work on this computer, and if not, why.
    void SetSoftwareKeyStatus(SoftwareKeyStatus status);
    SoftwareKeyStatus SoftwareKeysState() const { return m_softwareKeyStatus; }

    // The keyboard view, as the model selection fills it.
    void ClearKeyboard();
    void PlaceKeyboard(const CRect& rect, const CString& picture, int width, int height);
    void AddKeyItem(const LayoutKeyItem& key);

private:
    SoftwareKeyStatus m_softwareKeyStatus = SoftwareKeyStatus::NotStarted;
};
