#pragma once
// CColorButton ("CColorButton", class name "ColorButton" for grouping): a colour swatch. Swatches of one
// parent with equal group names (exact, case-sensitive; an empty name is a group too) form a row of which
// one is checked. An image (SetImage) replaces the flat colour; the bordered style (SetVisibleBorder)
// draws a light frame with a dark ring around the colour and looks the same in every state.
//
// Input (enabled; a disabled swatch stays in state 3):
//   pointer over / away (not pressed)   → state 1 / 0, hand cursor while over it
//   left press inside                   → state 2, checked, the rest of the group unchecked (silently),
//                                         notification 1
//   release inside after that press     → state 1, notification 2; outside → state 0 and nothing else
//   Space or Enter (focused), its key   → as a press and a release inside
// Shown frame: 2 while checked, else the state. A release never clears the check.

#include "ui/controls/m_push_control.h"

class CColorButton : public MPushControl {
public:
    static constexpr COLORREF kDefaultColor = 0xFFFFFF;
    static constexpr ARGB kOutline = 0xFF440062;
    static constexpr ARGB kBorderLight = 0xFFEBEBEB;
    static constexpr ARGB kBorderDark = 0xFF050505;

    CColorButton(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    const wchar_t* GetClassNameW() const override { return L"ColorButton"; }
    int CurrentFrame() const override { return m_check ? 2 : m_state; }
    // Reports whether the state changed.
    int OnControlMouseMove(unsigned flags, CPoint point) override;

    // Asks for a repaint only when the colour changes.
    void SetColor(unsigned long colour);
    COLORREF GetColor() const { return m_color; }
    // Only while enabled: the check, state 2 (checked) or 0, and when it changed the rest of the group is
    // unchecked. The check afterwards.
    int SetCheck(int check);
    int GetCheck() const { return m_check; }
    // The check and its state alone: no enabled test, no group.
    void SetControlCheck(int check);
    // Unchecks the other visible, enabled members of the group; 0 without a parent, else 1.
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name);
    CString GetGroupName() const { return m_group; }
    void SetVisibleBorder(bool on);
    bool IsVisibleBorder() const { return m_visibleBorder; }

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;
    void OnPress() override;

private:
    COLORREF m_color = kDefaultColor;
    int m_check = 0;
    bool m_visibleBorder = false;
    CString m_group;
};
