#pragma once
// KeyFuncControl ("KeyFuncControl", made only inside a panel): the palette from which the user picks what
// a key does. It holds the fixed catalogue of 122 buttons (key_func_catalogue.h) and draws each with a
// frame of the control's picture strip (0 normal, 1 hovered, 2 pressed or marked; 3 while disabled) and
// either its icon (20 × 20, centred) or its label (centred, regular style, the control's size and
// colour). The owner reads the pressed button with GetCurItemData and marks the button of the current
// assignment with SetItemCheckByItemData.
//
// Input (while enabled):
//   move onto a button        → it is lit (hand cursor); a button of a special function (value 232 and
//                               up) with a description shows it as its tooltip
//   move between buttons      → nothing lit, arrow cursor, the tooltip goes
//   move out of the control   → the same, and a tooltip of this control is hidden
//   left press                → the button under the pointer (or none) is the pressed one; notification
//                               1 (wParam = its index, −1 between buttons; lParam 0)
//   release, wheel            → nothing (the wheel is taken so the page behind does not scroll)
//
// The item list has its own lock: every walk over it holds the lock for the whole walk, and no
// notification or repaint request is made while it is held.

#include <mutex>
#include <optional>
#include <vector>

#include "ui/framework/m_panel.h"

// One button of the catalogue.
struct KeyFuncItem {
    CString label;    // drawn on the button; empty on an icon button until SetItemDesc
    int value = 0;    // the function's code, the lookup key of SetItemDesc
    int data2 = 0;    // 0 throughout this catalogue
    int data3 = 0;    // 0 throughout this catalogue
    ImagePtr icon;    // null when the button has none, or its picture is missing
    CRect rect;       // relative to the control's top-left corner
    CString iconFile; // the skin picture the icon comes from
};

class KeyFuncControl : public MPanel {
public:
    static constexpr unsigned kNotifyPress = 1;
    static constexpr int kIconSize = 20;
    // Wider buttons are drawn as a frame so that their corners keep their shape.
    static constexpr int kStretchMaxWidth = 60;
    static constexpr int kFrameBorder = 8;
    // Special functions: only these show their description as a tooltip.
    static constexpr int kFirstSpecialValue = 232;

    KeyFuncControl(MObject* parent, unsigned id, CRect rect, int visible);
    ~KeyFuncControl() override;

    // --- MControl ---
    const wchar_t* GetClassNameW() const override { return L"KeyFuncControl"; }
    // Loads the icons once the control has its window.
    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlScroll(int steps, unsigned down, CPoint point) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;

    // --- Catalogue ---
    // Drops every item, then builds the catalogue in its order (descriptions set earlier are gone).
    void InitItemInfo();
    void ClearItems();
    // The label of the first item with that value; nothing for a value not in the catalogue.
    void SetItemDesc(int value, CString text);
    // False when no button was pressed since the last SetItemCheckByItemData (or the press was between
    // buttons); else value, data 2, data 3 and label of the pressed button. `first` is not written.
    bool GetCurItemData(int& first, int& value, int& data2, int& data3, CString& label);
    // Forgets the pressed button and marks the first item with all three values (none for value 0 or
    // when nothing matches).
    void SetItemCheckByItemData(int value, int data2, int data3);

    // --- State ---
    int GetItemCount() const;
    std::optional<KeyFuncItem> GetItem(int index) const;
    // The first button holding a point of the control's space (as its rectangle is), or −1.
    int ItemAt(CPoint point) const;
    // A button's rectangle in the window's client coordinates.
    CRect GetItemWindowRect(int index) const;
    int GetHotIndex() const { return m_hotItem; }
    int GetPressedIndex() const { return m_pressedItem; }
    int GetMarkedIndex() const { return m_markedItem; }
    int GetTipIndex() const { return m_tipItem; }

private:
    // Button rectangles in the control's space (m_rect's), given the scroll offset.
    CRect ButtonRect(const CRect& itemRect) const;
    int ItemAtLocked(CPoint point) const;
    void LoadIconsLocked();
    // Hides the tooltip when it is this control's.
    void HideTip();
    // The pointer left the control: nothing lit, no tooltip of ours.
    void ForgetHover();
    void ShowTip(int index);

    mutable std::mutex m_itemsLock;
    std::vector<KeyFuncItem> m_items;
    int m_hotItem = -1;
    int m_pressedItem = -1;
    int m_markedItem = -1;
    int m_tipItem = -1;
    bool m_inside = false;
};
