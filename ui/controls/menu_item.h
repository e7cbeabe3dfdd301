#pragma once
// MenuItem ("MenuItem", class name "MenuItem"): one row of a popup menu (MenuWnd): its title, an
// optional icon (4 frames: normal, lit, pressed, disabled), a check mark when it is checkable and
// checked, an arrow when it opens a nested menu, or a 1-pixel line when it is a separator. Its menu
// lights it (under the pointer or chosen with the keys) and decides what a click means.
//
// Input (enabled, not a separator):
//   pointer over it              → its menu lights it (and opens its nested menu)
//   press on a checkable item    → the check flips, notification 7 (lParam = the new check)
//   press and release on another → notification 2
// Both go to the menu window it lives in.

#include "ui/framework/m_control_font.h"

class MenuWnd;

class MenuItem : public MControlFont {
public:
    static constexpr unsigned kNotifyClick = 2;
    static constexpr unsigned kNotifyCheck = 7;
    // Room at the left for the icon or the check mark, after the menu's text margin.
    static constexpr int kGlyphWidth = 24;
    static constexpr int kArrowWidth = 18;

    MenuItem(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    const wchar_t* GetClassNameW() const override { return L"MenuItem"; }
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    void SetControlEnabled(int enabled) override;

    void SetSeparator(bool on) { m_separator = on; }
    bool IsSeparator() const { return m_separator; }
    void SetCheckable(bool on);
    bool IsCheckable() const { return m_checkable; }
    void SetCheck(int check);
    int GetCheck() const { return m_check; }
    // Flips the check and sends notification 7 with the new one.
    void Toggle();
    // A nested menu, opened when the item is lit or chosen. Not owned: whoever made it keeps it, for as
    // long as this menu is open.
    void SetPopupMenu(MenuWnd* menu) { m_popup = menu; }
    MenuWnd* GetPopupMenu() const { return m_popup; }
    void SetHot(bool hot);
    bool IsHot() const { return m_hot; }
    // Whether the keys and the pointer can light it.
    bool IsSelectable() const { return m_visible && m_enabled && !m_separator; }
    // The left edge of the title in the item, for the menu's width.
    int TextLeft() const;

private:
    MenuWnd* Menu() const;

    bool m_separator = false;
    bool m_checkable = false;
    int m_check = 0;
    bool m_hot = false;
    bool m_down = false;
    MenuWnd* m_popup = nullptr;
};
