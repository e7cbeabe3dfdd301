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
//   Space typed while editing     → notifications 1 and 2 (after the space is taken)
//   editor: change / close        → the title follows, 26 / 29 (see TitleEditor)
// and what every edit field does (EditFieldControl).

#include "ui/controls/edit_field.h"
#include "ui/framework/m_control_font.h"

class MEdit : public EditFieldControl<MControlFont> {
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

    void SetNumberOnly(int on) { m_editor.SetNumberOnly(on != 0); }
    // An icon strip from the skin folder (frames: normal, hovered, pressed), at the right of the box.
    int SetIconImage(const wchar_t* file, int count);
    // Where the text goes, in the control's own coordinates (empty: the box less its insets and icon).
    void SetTextRect(CRect rect);
    CRect GetTextRect() const;
    // The icon's place in the control's own coordinates (empty without an icon).
    CRect GetIconRect() const;

    // Opens the editor with all of the text selected.
    void ShowEdit() override;

protected:
    CRect EditorRect() const override;

private:
    enum class Press { None, Text, Icon };
    bool InIcon(CPoint point) const;

    CRect m_textRect;
    FieldIcon m_icon;
    bool m_hover = false;
    bool m_iconHover = false;
    Press m_press = Press::None;
};
