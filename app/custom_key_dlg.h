#pragma once
// CustomKeyDlg: the dialog behind the key menu's macro, shortcut, mouse button and program-run rows, a
// 660 × 360 modal window over the main window. It shows the key, the function type (one item: the
// dialog's mode) and what the type needs: a list (a macro, a mouse button, a shortcut, a profile to
// switch to) or a text field (a program's path, a web address, a text to type). Apply stores the key's
// row; the result is 1 then, 2 when the dialog was closed without storing.
//
// Ids: 30 caption band, 31 heading, 32 close, 33/34 key field and its caption, 35 label, 36 type, 37
// value list, 38 text field, 39-42 modifier boxes (unused by these types), 43 program browse button,
// 44 apply, 45 the text field's label.

#include <optional>
#include <vector>

#include "keys/custom_key_rules.h"
#include "ui/framework/m_dialog.h"

class FileChooser;
class ProfileDatabase;

class CustomKeyDlg final : public MDialog {
public:
    static constexpr int kWidth = 660;
    static constexpr int kHeight = 360;
    static constexpr DWORD kStyle = 0x96000000;
    static constexpr int kStored = 1;
    static constexpr int kClosed = 2;

    static constexpr unsigned kCaptionBand = 30;
    static constexpr unsigned kHeading = 31;
    static constexpr unsigned kCloseButton = 32;
    static constexpr unsigned kKeyBack = 33;
    static constexpr unsigned kKeyCaption = 34;
    static constexpr unsigned kTypeLabel = 35;
    static constexpr unsigned kTypeBox = 36;
    static constexpr unsigned kValueList = 37;
    static constexpr unsigned kTextField = 38;
    static constexpr unsigned kFirstModifier = 39;
    static constexpr unsigned kLastModifier = 42;
    static constexpr unsigned kBrowse = 43;
    static constexpr unsigned kApply = 44;
    static constexpr unsigned kTextLabel = 45;
    // A text to type is cut here; the field takes no more.
    static constexpr int kMaxTextLength = 1000;

    // `keyCaption` names the key in the key field; `chooser` (may be null) picks a program's file.
    CustomKeyDlg(ProfileDatabase& database, KeyAssignments& assignments, FileChooser* chooser, int keyCode,
                 CString keyCaption, int profile, int mode);

    // Modal over `owner`, centred on it; kStored or kClosed.
    int DoModal(MWindow* owner);

    int InitUI(CRect client) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The items of the value list (for the modes that pick from one).
    const std::vector<CustomKeyChoice>& Choices() const { return m_choices; }

private:
    int SelectedMode() const;
    // Shows the controls the selected type needs and fills the value list.
    void ShowType();
    void Apply();
    void ChooseProgram();
    void Tell(int titleId, const CString& text);

    ProfileDatabase& m_database;
    KeyAssignments& m_assignments;
    FileChooser* m_chooser;
    const int m_keyCode;
    const CString m_keyCaption;
    const int m_profile;
    const int m_mode;
    std::vector<CustomKeyChoice> m_choices;
};
