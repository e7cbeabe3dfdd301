// PaintManager: mouse, wheel and keyboard routing to the top-level controls, activation, and the Tab
// order (see the state table in paint_manager.h).

#include <cstdlib>

#include "ui/framework/m_control.h"
#include "ui/framework/messages.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/tooltip_wnd.h"
#include "ui/framework/window_system.h"

namespace {

constexpr DWORD kHoverTimeMs = 400;
const CPoint kOutside(-1, -1);

// The modifier code handed to key handlers: Alt 18, else Shift 16, else 0; Ctrl or-s in 17.
unsigned ModifierCode()
{
    unsigned code = 0;
    if (WindowSystem::GetKeyState(VK_MENU) & 0x8000)
        code = 18;
    else if (WindowSystem::GetKeyState(VK_SHIFT) & 0x8000)
        code = 16;
    if (WindowSystem::GetKeyState(VK_CONTROL) & 0x8000)
        code |= 17;
    return code;
}

// Whether control is container or one of the controls inside it.
bool IsWithin(const MControl* control, const MControl* container)
{
    for (const MObject* p = control; p;) {
        if (p == container)
            return true;
        const auto* c = dynamic_cast<const MControl*>(p);
        p = c ? c->GetParantObject() : nullptr;
    }
    return false;
}

bool IsMouseMessage(UINT msg)
{
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
        return true;
    default:
        return false;
    }
}

} // namespace

void PaintManager::TrackMouse()
{
    if (m_tracking || !m_initialized)
        return;
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE | TME_HOVER;
    tme.hwndTrack = m_hWnd;
    tme.dwHoverTime = kHoverTimeMs;
    m_tracking = WindowSystem::TrackMouseEvent(&tme) != FALSE;
}

void PaintManager::RefreshHover(unsigned flags, CPoint point)
{
    MControl* hover = nullptr;
    m_controls.ForEach([&](MControl* c) {
        c->OnMouseMove(flags, point);
        if (c->PtInRect(point) && c->GetRresponse())
            hover = c;
    });
    m_hover = m_controls.Contains(hover) ? hover : nullptr;
}

LRESULT PaintManager::OnMouseMove(unsigned flags, CPoint point)
{
    TrackMouse();
    m_lastMove = point;
    if (m_hover && m_hover->PtInRect(point) && m_hover->OnCheckMouseResponse(flags, point))
        return m_hover->OnMouseMove(flags, point) ? 1 : 0;
    HideTooltip();
    // The control that holds a press follows the pointer wherever it goes (a dragged thumb).
    if (m_leftPressed || m_rightPressed)
        return m_hover ? m_hover->OnMouseMove(flags, point) : 0;
    RefreshHover(flags, point);
    return m_hover ? 1 : 0;
}

// Whether the hover control takes a press at point; the hover is brought up to date first when the
// press comes somewhere the pointer was not seen moving to.
bool PaintManager::PressTarget(unsigned flags, CPoint point)
{
    if (!m_lastMove || *m_lastMove != point) {
        m_lastMove = point;
        RefreshHover(flags, point);
    }
    return m_hover && m_hover->IsVisible() && m_hover->GetRresponse() && m_hover->IsEnabled() &&
           m_hover->PtInRect(point) && m_hover->OnCheckMouseResponse(flags, point);
}

LRESULT PaintManager::OnLButtonDown(unsigned flags, CPoint point)
{
    SetFocusMarked(false);
    const bool taken = PressTarget(flags, point);
    // A press inside the control that holds the focus inside it settles the focus on the way down (the
    // control pressed takes it); handing it to the top-level control first would end an in-place edit
    // that the press means to keep.
    const bool within = taken && IsWithin(m_focus, m_hover);
    if (m_focus && m_focus != m_hover && !within)
        SetFocusControl(nullptr);
    if (taken) {
        MControl* target = m_hover;
        m_leftPressed = true;
        if (!within)
            SetFocusControl(target);
        target->OnLButtonDown(flags, point);
        if (!m_captured)
            SetCapture();
        return 1;
    }
    if (m_windowDrag && m_initialized) {
        // A press on empty area drags the frameless window, as a press on a caption would.
        ReleaseCapture();
        CPoint screen = point;
        WindowSystem::ClientToScreen(m_hWnd, &screen);
        WindowSystem::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTCAPTION),
                                   MAKELPARAM(screen.x, screen.y));
    }
    return 0;
}

LRESULT PaintManager::OnLButtonUp(unsigned flags, CPoint point)
{
    ReleaseCapture();
    m_leftPressed = false;
    m_doubleClicked = false;
    MControl* hover = m_hover;
    if (!hover || !hover->IsVisible() || !hover->GetRresponse())
        return 0;
    hover->OnLButtonUp(flags, point);
    if (m_hover == hover && !hover->GetRect().PtInRect(point))
        m_hover = nullptr;
    return 1;
}

LRESULT PaintManager::OnLButtonDblClk(unsigned flags, CPoint point)
{
    if (!PressTarget(flags, point))
        return 0;
    MControl* hover = m_hover;
    m_leftPressed = true;
    m_doubleClicked = true;
    if (!m_captured)
        SetCapture();
    hover->OnLButtonDblClk(flags, point);
    if (m_hover == hover && !hover->GetRect().PtInRect(point))
        m_hover = nullptr;
    return 1;
}

LRESULT PaintManager::OnRButtonDown(unsigned flags, CPoint point)
{
    SetFocusMarked(false);
    const bool taken = PressTarget(flags, point);
    const bool within = taken && IsWithin(m_focus, m_hover);
    if (m_focus && m_focus != m_hover && !within)
        SetFocusControl(nullptr);
    if (!taken)
        return 0;
    MControl* target = m_hover;
    m_rightPressed = true;
    if (!within)
        SetFocusControl(target);
    target->OnRButtonDown(flags, point);
    if (!m_captured)
        SetCapture();
    return 1;
}

LRESULT PaintManager::OnRButtonUp(unsigned flags, CPoint point)
{
    ReleaseCapture();
    m_rightPressed = false;
    MControl* hover = m_hover;
    if (!hover || !hover->IsVisible() || !hover->GetRresponse())
        return 0;
    hover->OnRButtonUp(flags, point);
    if (m_hover == hover && !hover->GetRect().PtInRect(point))
        m_hover = nullptr;
    return 1;
}

LRESULT PaintManager::OnRButtonDblClk(unsigned flags, CPoint point)
{
    if (!PressTarget(flags, point))
        return 0;
    MControl* hover = m_hover;
    hover->OnRButtonDblClk(flags, point);
    if (m_hover == hover && !hover->GetRect().PtInRect(point))
        m_hover = nullptr;
    return 1;
}

LRESULT PaintManager::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (m_initialized)
        WindowSystem::ScreenToClient(m_hWnd, &point);
    const int distance = GET_WHEEL_DELTA_WPARAM(wParam);
    const int steps = std::abs(distance) / WHEEL_DELTA;
    const unsigned down = distance <= 0 ? 1 : 0;
    bool taken = false;
    for (int i = 0; i < steps; ++i) {
        if (m_hover && m_hover->OnScroll(1, down, point)) {
            taken = true;
            continue;
        }
        if (m_controls.FindIf([&](MControl* c) { return c->OnScroll(1, down, point) != 0; }))
            taken = true;
    }
    return taken ? 1 : 0;
}

LRESULT PaintManager::OnMouseLeave()
{
    ClearTooltip();
    m_tracking = false;
    if (m_leftPressed || m_rightPressed)
        return 0;
    if (MControl* hover = m_hover) {
        hover->OnMouseMove(0, kOutside);
        m_hover = nullptr;
    }
    m_lastMove.reset();
    return 1;
}

void PaintManager::OnActivate(bool active)
{
    m_active = active;
    if (!active) {
        m_tracking = false;
        ReleaseCapture();
        const bool leftWasPressed = m_leftPressed;
        m_leftPressed = m_rightPressed = m_doubleClicked = false;
        if (MControl* hover = m_hover) {
            if (leftWasPressed)
                hover->OnLButtonUp(0, kOutside);
            else
                hover->OnMouseMove(0, kOutside);
        }
        m_hover = nullptr;
        m_lastMove.reset();
        HideTooltip();
    }
    Invalidate();
}

// The control that has the keyboard focus hears keys first (a focused control may sit inside a panel),
// as long as it is still shown and enabled.
bool PaintManager::FocusTakesKey(unsigned key, unsigned modifiers, bool down)
{
    MControl* focus = m_focus;
    if (!focus || !focus->IsVisible() || !focus->IsEnabled() || !focus->IsParentVisible())
        return false;
    return (down ? focus->OnKeyDown(key, 1, modifiers) : focus->OnKeyUp(key, 1, modifiers)) != 0;
}

LRESULT PaintManager::OnKeyDown(unsigned key)
{
    const unsigned modifiers = ModifierCode();
    if (FocusTakesKey(key, modifiers, true))
        return 1;
    if (m_hover && m_hover != m_focus && m_hover->OnKeyDown(key, 1, modifiers))
        return 1;
    return m_controls.FindIf([&](MControl* c) { return c->OnKeyDown(key, 1, modifiers) != 0; }) ? 1 : 0;
}

LRESULT PaintManager::OnKeyUp(unsigned key)
{
    const unsigned modifiers = ModifierCode();
    if (FocusTakesKey(key, modifiers, false))
        return 1;
    if (m_hover && m_hover != m_focus && m_hover->OnKeyUp(key, 1, modifiers))
        return 1;
    return m_controls.FindIf([&](MControl* c) { return c->OnKeyUp(key, 1, modifiers) != 0; }) ? 1 : 0;
}

int PaintManager::PreTranslateMessage(MSG* msg)
{
    if (!msg || !m_initialized || !msg->hwnd || WindowSystem::GetTopLevel(msg->hwnd) != m_hWnd)
        return 0;
    WalkScope walk;
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && msg->wParam == VK_TAB) {
        const unsigned modifiers = ModifierCode();
        MControl* next = nullptr;
        if (modifiers == 0)
            next = GetNextFocusableControl();
        else if (modifiers == 16)
            next = GetPrevFocusableControl();
        if (next && next != m_focus) {
            SetFocusMarked(true);
            SetFocusControl(next);
            return 1;
        }
        return 0;
    }
    if (IsMouseMessage(msg->message))
        RelayToTooltip(*msg);
    return 0;
}

void PaintManager::SetFocusMarked(bool marked)
{
    if (marked == m_focusMarked)
        return;
    m_focusMarked = marked;
    InvalidateFocusMark(m_focus);
}

void PaintManager::RelayToTooltip(const MSG& msg)
{
    if (m_tooltip)
        m_tooltip->RelayEvent(msg);
}

void PaintManager::HideTooltip()
{
    // A hidden tip is shown again when the pointer comes back to its control.
    if (m_tooltip)
        m_tooltip->Deactivate();
    m_tooltipCtrlID = 0;
}
