#pragma once
// The custom key page (page 51): the profile bar with its five buttons (60–64), the profile list (66),
// the keyboard view (67) in assignment mode with key tips, the line that says what to do or why key
// assignments do not work (68), and the key function picker (69). It also answers the key menu
// (WM_USER+801), the profile commands (WM_USER+802) and the software key actions (WM_USER+68).
//
// What the user does, and what follows:
//   click on a key (67, code 2)        → it becomes the current key; the picker marks its function
//                                        (the Fn key: deselected, and the Fn message)
//   right click on a key (67, code 5)  → the same, then the key menu (not for Fn)
//   a picker button (69)               → the current key does that function (type 2, or 12 from 500)
//   key menu 606 / 607                 → restore the key's default / disable it
//   key menu 608–614                   → the custom key dialog in mode 3, 7, 8, 9, 10, 11 or 5
// Every change of an assignment ends in one refresh of the software keys for the current profile.
//
// FIXME: the profile list and its buttons (add, delete, rename, import, export, select) come with the
// profile work; the current profile already lives in KeyboardDlg::CurrentProfile().

#include <memory>

#include "app/main_page.h"
#include "core/wide_text.h"
#include "device/keyboard_layout.h"
#include "keys/key_assignments.h"
#include "keys/key_extra_actions.h"
#include "macros/software_keys.h"
#include "store/profile_rows.h"

class KeyboardCtrl;
class KeyFuncControl;

class CustomKeyPage final : public MainPage {
public:
    static constexpr int kFnKey = 175;

    explicit CustomKeyPage(KeyboardDlg& window);
    ~CustomKeyPage() override;

    void Build(MPanel* page, const CRect& client) override;
    void Layout(const CRect& client) override;
    bool Owns(unsigned controlId) const override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    void ApplyTexts() override;

    // Marks and labels every assigned key of the profile on the keyboard view (rows that are not sound
    // show as default).
    void ShowProfileAssignments(int profile);
    // Stores the row for the current key of the current profile and layer, shows it and refreshes the
    // software keys.
    void AssignToCurrentKey(KeyAssignmentRow row);
    int CurrentKey() const { return m_currentKey; }

    // The key menu's row 606–614.
    long OnKeyMenuCommand(long itemId);
    // 605 delete, 606 rename in place, 607 import, 608 export.
    long OnProfileCommand(long command);
    // The program-run action of a key extra record (start a program, open an address, type a text,
    // switch the profile); a failure the user must know of is shown in a message box.
    void RunKeyAction(long recordId);
    // A press of a key whose assignment the software keys leave to the program (types 8-11), posted
    // from the key filter's thread.
    void OnOtherAssignment(const KeyAssignmentRow& row, bool pressed);
    // Whether software keys work on this computer, and if not, why (shown on the page).
    void SetSoftwareKeyStatus(SoftwareKeyStatus status);
    SoftwareKeyStatus SoftwareKeysState() const { return m_softwareKeyStatus; }
    // Makes `profile` current: the database's active mark, the view and the software keys follow.
    void SwitchToProfile(int profile);

    // The keyboard view, as the model selection fills it.
    void ClearKeyboard();
    void PlaceKeyboard(const CRect& rect, const CString& picture, int width, int height);
    void AddKeyItem(const LayoutKeyItem& key);

    KeyAssignments& Assignments() { return *m_assignments; }

private:
    KeyboardCtrl* View() const;
    KeyFuncControl* Picker() const;
    void OnKeyClick(long keyValue);
    void OnKeyRightClick(long keyValue);
    void OnPickerPress();
    // Makes the key current and marks the picker button of its row.
    void SelectKey(long keyValue);
    void MarkPickerFor(const std::optional<KeyAssignmentRow>& row);
    void ShowKeyRow(int keyCode, const std::optional<KeyAssignmentRow>& row);
    void ShowFnKeyMessage();
    void RunCustomKeyDialog(int mode);
    void ShowStatusLine();
    CString KeyCaption(int keyCode) const;

    std::unique_ptr<KeyAssignments> m_assignments;
    std::unique_ptr<KeyExtraActions> m_actions;
    int m_currentKey = 0;
    SoftwareKeyStatus m_softwareKeyStatus = SoftwareKeyStatus::NotStarted;
};
