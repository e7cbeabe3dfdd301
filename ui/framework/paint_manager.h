#pragma once
// The per-window paint manager that every MDialog and MPopupWnd holds. What exists here is what the
// window model hands to it: attachment to the window, the window's messages after the dialog's own
// handlers, painting into a 32-bit surface presented through the window system, the layered switch,
// window dragging by empty area, and the window's animation tick.
//
// FIXME: the control tree (creation by class name, areas and controls with their locks), mouse and
// keyboard routing to controls, focus and Tab order, control timers, tooltips, the message and progress
// overlay, background images and private fonts are not built yet.

#include "core/color.h"
#include "core/geometry.h"
#include "ui/framework/rk_timer.h"
#include "ui/framework/surface.h"
#include "ui/framework/win_types.h"

class MControl;
class MWindow;

class PaintManager : public RKTimer {
public:
    PaintManager() = default;
    ~PaintManager() override;

    // Attaches to a live window (does nothing otherwise).
    void Init(HWND hwnd, MWindow* owner);
    // Releases everything tied to the window; only when attached.
    void DestroyData();
    bool IsInitialized() const { return m_initialized; }
    HWND GetPaintWnd() const { return m_hWnd; }
    MWindow* GetMDialog() const { return m_owner; }

    // A message of the window after the dialog's handler; nonzero ends its processing.
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Called for every message of the modal or main loop; nonzero swallows it.
    int PreTranslateMessage(MSG* msg);
    long OnControlUpdate(CRect rect, int redraw, MControl* control);
    void Invalidate();
    void InvalidateRect(CRect rect, int erase);

    void SetBackColor(COLORREF back, COLORREF border);
    void SetLayeredWindow(int layered) { m_layered = layered != 0; }
    int IsLayered() const { return m_layered ? 1 : 0; }
    void EnableWndDrag(int enable) { m_windowDrag = enable != 0; }
    int IsWndDragEnabled() const { return m_windowDrag ? 1 : 0; }

    // The window's animation tick: one periodic timer whose ticks go to the animated controls.
    unsigned SetMTimer(unsigned ms);
    void KillMTimer(unsigned id);
    void KillMTimer();
    unsigned GetMTimerID() const { return m_animationTimer; }
    // How many animation ticks arrived (the animated controls arrive with the control tree).
    uint64_t AnimationTicks() const { return m_animationTicks; }

protected:
    using RKTimer::OnMTimer;
    void OnMTimer(unsigned id) override;

private:
    bool OnPaint();

    HWND m_hWnd = nullptr;
    MWindow* m_owner = nullptr;
    bool m_initialized = false;
    COLORREF m_backColor = 0x130D09;
    COLORREF m_borderColor = 0x620044;
    bool m_layered = false;
    bool m_windowDrag = true;
    unsigned m_animationTimer = 0;
    uint64_t m_animationTicks = 0;
    Surface m_surface;
};
