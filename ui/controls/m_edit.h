#pragma once
// MEdit ("MEdit"): an edit box. Its title is the text, drawn like a label in the text rectangle over
// the field picture (frames: 0 normal, 1 hovered, 2 editing, 3 disabled), with an optional icon at the
// right. Editing happens in an in-place edit window (CEditWnd) over the text rectangle.
//
// Input:
//   press in the icon area        → the editor closes (keeping the text), notification 9
//   release in the icon area      → notification 31 (after a press there)
//   press elsewhere               → the editor opens (notification 30), notification 1
//   release after such a press    → notification 2
//   Enter / F2 while focused      → the editor opens
//   Space typed while editing     → notifications 1 and 2 (after the space is taken)
//   editor: change / close        → the title follows, 26 / 29 (see TitleEditor)
//   losing the focus, hiding, disabling → the editor closes, keeping the text

#include "ui/controls/edit_field.h"
#include "ui/framework/m_control_font.h"

class MEdit : public MControlFont {
public:
    static constexpr unsigned kNotifyPress = 1;
    static constexpr unsigned kNotifyClick = 2;
    static constexpr unsigned kNotifyIconPress = 9;
    static constexpr unsigned kNotifyIconRelease = 31;
    static constexpr int kTextInset = 8;
    static constexpr int kIconInset = 6;

    MEdit(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~MEdit() override;

    // --- MControl ---
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
    void SetControlFocus(int focus) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;
    void SetControlTitle(const wchar_t* title) override;

    // The current text (the title, kept in step while editing).
    CString GetEditText() const { return m_title; }
    void SetLimitText(int limit) { m_editor.SetLimitText(limit); }
    void SetNumberOnly(int on) { m_editor.SetNumberOnly(on != 0); }
    void EnablePassWord(int on);
    void SetPassWordChar(wchar_t c);
    void SetReadOnly(int on) { m_editor.SetReadOnly(on != 0); }
    void SetEditBKColor(ARGB colour) { m_editor.SetBackColor(colour); }
    // An icon strip from the skin folder (frames: normal, hovered, pressed), at the right of the box.
    int SetIconImage(const wchar_t* file, int count);
    // Where the text goes, in the control's own coordinates (empty: the box less its insets and icon).
    void SetTextRect(CRect rect);
    CRect GetTextRect() const;
    // The icon's place in the control's own coordinates (empty without an icon).
    CRect GetIconRect() const;

    void ShowEdit();
    void HideEdit() { m_editor.Close(); }
    bool IsEditing() const { return m_editor.IsOpen(); }
    TitleEditor& GetTitleEditor() { return m_editor; }

private:
    enum class Press { None, Text, Icon };
    CRect TextRectInWindow() const;
    bool InIcon(CPoint point) const;

    TitleEditor m_editor;
    CRect m_textRect;
    ImagePtr m_icon;
    int m_iconWidth = 0;
    int m_iconHeight = 0;
    int m_iconCount = 3;
    bool m_hover = false;
    bool m_iconHover = false;
    Press m_press = Press::None;
};
