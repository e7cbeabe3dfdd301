#pragma once
// Numeric spinners. MSpinButton ("MSpinButton", a panel): a value between min and max shown in a box
// with an up and a down arrow at its right edge. CSpinButton ("CSpinButton"): the same whose value can
// also be typed. Every change the user makes sends notification 28 with wParam = the value (as an
// unsigned word; negative values wrap); SetValue sends nothing.
//
//   left press on an arrow        → ± step; held, it repeats (first after 400 ms, then every 60 ms)
//   wheel                         → ± step (down lowers it)
//   keys while focused            → Up/Down ± step, PageUp/PageDown ± 10 steps, Home min, End max
//   CSpinButton, focused, typing  → digits (and a leading minus while min < 0) build a new value, shown
//                                   with a caret; Enter or losing the focus takes it (kept within
//                                   min…max), Escape drops it, Backspace removes the last character

#include "ui/framework/m_panel.h"

class MSpinButton : public MPanel {
public:
    static constexpr unsigned kNotifyValue = 28;
    static constexpr unsigned kRepeatTimerKey = 1;
    static constexpr unsigned kRepeatFirstMs = 400;
    static constexpr unsigned kRepeatMs = 60;
    static constexpr int kArrowWidth = 18;

    MSpinButton(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlScroll(int steps, unsigned down, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
    int OnControlTimer(unsigned key) override;
    void SetControlEnabled(int enabled) override;

    // Kept within min…max; no notification.
    void SetValue(int value);
    int GetValue() const { return m_value; }
    // min > max is turned around.
    void SetRange(int min, int max);
    int GetMin() const { return m_min; }
    int GetMax() const { return m_max; }
    void SetStep(int step);
    // The arrows, in window coordinates.
    CRect UpArrowRect() const;
    CRect DownArrowRect() const;

protected:
    // The user's change: kept within the range; notification 28 when it changed.
    void ChangeTo(int value);
    // The text in the box.
    virtual CString ShownText() const;
    virtual void DrawCaret(Graphics* /*g*/, const CRect& /*text*/) {}

    int m_value = 0;
    int m_min = 0;
    int m_max = 100;
    int m_step = 1;
    int m_hoverArrow = 0; // +1 up, −1 down, 0 none
    int m_heldArrow = 0;
};

class CSpinButton : public MSpinButton {
public:
    static constexpr size_t kMaxDigits = 10;

    CSpinButton(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
    void SetControlFocus(int focus) override;

    bool IsEditing() const { return m_editing; }
    const CString& GetEditText() const { return m_edit; }

protected:
    CString ShownText() const override;
    void DrawCaret(Graphics* g, const CRect& text) override;

private:
    void Commit();
    void Cancel();

    bool m_editing = false;
    CString m_edit;
};
