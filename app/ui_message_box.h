#pragma once
// CUIMessageBox: the program's skinned message box, a 380 × 200 tool window centred on the screen with a
// title, a message wrapped over several lines, and one button (kind 0) or two (kind 4).
//
// Result: 1 when the first button (33) was clicked; 2 for the second button (34) and for every other way
// the box went away (closed by the secondary-window closing, by the desktop, by Escape). Callers take 2
// as a refusal, so nothing but the first button ever reads as consent.

#include "core/wide_text.h"
#include "ui/framework/m_dialog.h"

class CUIMessageBox final : public MDialog {
public:
    static constexpr int kOneButton = 0;
    static constexpr int kTwoButtons = 4;
    static constexpr int kWidth = 380;
    static constexpr int kHeight = 200;
    static constexpr unsigned kTitleId = 31;
    static constexpr unsigned kTextId = 32;
    static constexpr unsigned kFirstButton = 33;
    static constexpr unsigned kSecondButton = 34;
    static constexpr int kAccepted = 1;
    static constexpr int kRefused = 2;

    CUIMessageBox(HWND owner, CString title, CString text, int kind);

    // Shows the box modally over its owner (which may be null); the result as above. kRefused when the
    // window cannot be made.
    int DoModal();

    int OnInitDialog() override;
    int InitUI(CRect client) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HWND m_owner;
    CString m_title;
    CString m_text;
    int m_kind;
};
