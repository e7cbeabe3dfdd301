#pragma once
// MLevelCtrl ("MLevelCtrl"): a stepped level selector, a row of bars rising from left to right; the
// level is how many are lit (0…count). The strip, when set, has two frames (unlit, lit) stretched over
// each bar; without it the bars are flat shapes in the theme's colours.
//
//   left press on bar k          → level k + 1 (a press on the first bar at level 1 turns it to 0)
//   keys while focused           → Right/Up +1, Left/Down −1, Home 0, End the count
//   wheel                        → ±1 (down lowers it)
// Every change the user makes sends notification 2 with wParam = the level; SetLevel sends nothing.

#include "ui/framework/m_control_font.h"

class MLevelCtrl : public MControlFont {
public:
    static constexpr unsigned kNotifyLevel = 2;
    static constexpr int kBarGap = 4;

    MLevelCtrl(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlScroll(int steps, unsigned down, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;

    // At least 1; the level is kept within it.
    void SetLevelCount(int count);
    int GetLevelCount() const { return m_count; }
    // Kept within 0…count; no notification.
    void SetLevel(int level);
    int GetLevel() const { return m_level; }
    // Bar k in the control's own coordinates.
    CRect BarRect(int k) const;
    // The bar under a window point, or −1.
    int BarAt(CPoint point) const;

private:
    void ChangeTo(int level);

    int m_count = 5;
    int m_level = 0;
    int m_hoverBar = -1;
};
