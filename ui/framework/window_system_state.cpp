// The window system's window state: geometry and positioning, showing, minimising and maximising,
// enabling, activation and keyboard focus, mouse capture and cursors.

#include <algorithm>
#include <utility>

#include "ui/framework/messages.h"
#include "ui/framework/window_record.h"
#include "ui/framework/window_system.h"

// --- Geometry ---

CPoint WindowSystem::ClientOrigin(HWND hwnd) const
{
    CPoint origin;
    for (const WindowRecord* r = Find(hwnd); r; r = r->parent ? Find(r->parent) : nullptr)
        origin = origin + r->rect.TopLeft();
    return origin;
}

CRect WindowSystem::ScreenRectOf(HWND hwnd) const
{
    const WindowRecord* r = Find(hwnd);
    if (!r)
        return {};
    return CRect(ClientOrigin(hwnd), r->rect.Size());
}

BOOL WindowSystem::GetWindowRect(HWND hwnd, CRect* rect)
{
    WindowSystem& ws = Self();
    if (!ws.Find(hwnd) || !rect)
        return FALSE;
    *rect = ws.ScreenRectOf(hwnd);
    return TRUE;
}

BOOL WindowSystem::GetClientRect(HWND hwnd, CRect* rect)
{
    const WindowRecord* r = Self().Find(hwnd);
    if (!r || !rect)
        return FALSE;
    // A minimised window has no client area to draw on.
    *rect = r->IsIconicFlag() ? CRect() : r->ClientRect();
    return TRUE;
}

BOOL WindowSystem::ClientToScreen(HWND hwnd, CPoint* point)
{
    WindowSystem& ws = Self();
    if (!ws.Find(hwnd) || !point)
        return FALSE;
    *point = *point + ws.ClientOrigin(hwnd);
    return TRUE;
}

BOOL WindowSystem::ScreenToClient(HWND hwnd, CPoint* point)
{
    WindowSystem& ws = Self();
    if (!ws.Find(hwnd) || !point)
        return FALSE;
    *point = *point - ws.ClientOrigin(hwnd);
    return TRUE;
}

BOOL WindowSystem::MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, cx, cy,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WindowSystem::SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(hwnd);
    if (!r)
        return FALSE;
    WINDOWPOS pos;
    pos.hwnd = hwnd;
    pos.hwndInsertAfter = insertAfter;
    pos.x = (flags & SWP_NOMOVE) ? r->rect.left : x;
    pos.y = (flags & SWP_NOMOVE) ? r->rect.top : y;
    pos.cx = (flags & SWP_NOSIZE) ? r->rect.Width() : std::max(cx, 0);
    pos.cy = (flags & SWP_NOSIZE) ? r->rect.Height() : std::max(cy, 0);
    pos.flags = flags;
    SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    r = ws.Find(hwnd);
    if (!r)
        return FALSE;

    if (!(pos.flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
            const DWORD ex =
                insertAfter == HWND_TOPMOST ? (r->exStyle | WS_EX_TOPMOST) : (r->exStyle & ~WS_EX_TOPMOST);
            if (ex != r->exStyle) {
                r->exStyle = ex;
                ws.ApplyStyleToNative(*r);
            }
        }
        if (insertAfter != HWND_BOTTOM && insertAfter != HWND_NOTOPMOST)
            ws.m_backend->Raise(r->native);
    }

    const CRect newRect(pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy);
    const bool moved = newRect.TopLeft() != r->rect.TopLeft();
    const bool sized = newRect.Size() != r->rect.Size();
    if (moved || sized) {
        r->rect = newRect;
        if (!r->zoomed)
            r->restoreRect = newRect;
        ws.m_backend->SetGeometry(r->native, newRect);
        if (sized && !(pos.flags & SWP_NOREDRAW))
            InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (pos.flags & SWP_SHOWWINDOW)
        ws.ShowState(hwnd, true);
    else if (pos.flags & SWP_HIDEWINDOW)
        ws.ShowState(hwnd, false);

    UINT changed = pos.flags & ~(SWP_NOMOVE | SWP_NOSIZE);
    if (!moved)
        changed |= SWP_NOMOVE;
    if (!sized)
        changed |= SWP_NOSIZE;
    if (moved || sized || (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)))
        ws.SendWindowPosChanged(hwnd, changed);

    r = ws.Find(hwnd);
    if (r && !r->parent && !(pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && r->IsVisibleFlag())
        ws.Activate(hwnd, true);
    return TRUE;
}

void WindowSystem::SendWindowPosChanged(HWND hwnd, UINT flags)
{
    const WindowRecord* r = Find(hwnd);
    if (!r)
        return;
    WINDOWPOS pos;
    pos.hwnd = hwnd;
    pos.x = r->rect.left;
    pos.y = r->rect.top;
    pos.cx = r->rect.Width();
    pos.cy = r->rect.Height();
    pos.flags = flags;
    SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void WindowSystem::SendSizeAndMove(HWND hwnd, bool sized, bool moved)
{
    const WindowRecord* r = Find(hwnd);
    if (!r)
        return;
    if (sized) {
        WPARAM type = SIZE_RESTORED;
        int cx = r->rect.Width();
        int cy = r->rect.Height();
        if (r->IsIconicFlag()) {
            type = SIZE_MINIMIZED;
            cx = cy = 0;
        } else if (r->zoomed) {
            type = SIZE_MAXIMIZED;
        }
        SendMessageW(hwnd, WM_SIZE, type, MAKELPARAM(cx, cy));
    }
    r = Find(hwnd);
    if (moved && r)
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(r->rect.left, r->rect.top));
}

// --- Showing, minimising, maximising ---

bool WindowSystem::ShowState(HWND hwnd, bool show)
{
    WindowRecord* r = Find(hwnd);
    if (!r || r->IsVisibleFlag() == show)
        return false;
    SendMessageW(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    r = Find(hwnd);
    if (!r)
        return false;
    if (show) {
        r->style |= WS_VISIBLE;
        m_backend->SetVisible(r->native, true);
        InvalidateRect(hwnd, nullptr, TRUE);
    } else {
        r->style &= ~WS_VISIBLE;
        m_backend->SetVisible(r->native, false);
        if (m_capture && GetTopLevel(m_capture) == GetTopLevel(hwnd))
            ReleaseCapture();
        if (m_active && m_active == GetTopLevel(hwnd) && !r->parent) {
            Deactivate(hwnd);
            ActivateAfterLoss(hwnd);
        } else if (m_focus && (m_focus == hwnd || GetParent(m_focus) == hwnd)) {
            ChangeFocus(nullptr);
        }
    }
    return true;
}

BOOL WindowSystem::ShowWindow(HWND hwnd, int cmd)
{
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(hwnd);
    if (!r)
        return FALSE;
    const BOOL wasVisible = r->IsVisibleFlag() ? TRUE : FALSE;
    bool activate = false;
    bool sizeChanged = false;

    switch (cmd) {
    case SW_HIDE:
        if (ws.ShowState(hwnd, false))
            ws.SendWindowPosChanged(hwnd,
                                    SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return wasVisible;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        if (!r->IsIconicFlag()) {
            r->style |= WS_MINIMIZE;
            ws.m_backend->SetIconic(r->native, true);
            sizeChanged = true;
        }
        ws.ShowState(hwnd, true);
        if (ws.m_active == hwnd) {
            ws.Deactivate(hwnd);
            ws.m_active = nullptr;
        }
        break;
    case SW_SHOWMAXIMIZED:
        if (r->IsIconicFlag()) {
            r->style &= ~WS_MINIMIZE;
            ws.m_backend->SetIconic(r->native, false);
            sizeChanged = true;
        }
        if (!r->zoomed) {
            r->restoreRect = r->rect;
            r->zoomed = true;
            CRect area = GetWorkArea(hwnd);
            MINMAXINFO info;
            info.ptMaxSize = {area.Width(), area.Height()};
            info.ptMaxPosition = area.TopLeft();
            SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
            if (!(r = ws.Find(hwnd)))
                return wasVisible;
            r->rect = CRect(info.ptMaxPosition, CSize(info.ptMaxSize.x, info.ptMaxSize.y));
            ws.m_backend->SetGeometry(r->native, r->rect);
            sizeChanged = true;
        }
        ws.ShowState(hwnd, true);
        activate = true;
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        if (r->IsIconicFlag()) {
            r->style &= ~WS_MINIMIZE;
            ws.m_backend->SetIconic(r->native, false);
            sizeChanged = true;
        } else if (r->zoomed) {
            r->zoomed = false;
            r->rect = r->restoreRect;
            ws.m_backend->SetGeometry(r->native, r->rect);
            sizeChanged = true;
        }
        ws.ShowState(hwnd, true);
        activate = true;
        break;
    case SW_SHOW:
        ws.ShowState(hwnd, true);
        activate = true;
        break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
    default:
        ws.ShowState(hwnd, true);
        break;
    }
    if (!(r = ws.Find(hwnd)))
        return wasVisible;
    UINT flags = SWP_NOZORDER | (activate ? 0 : SWP_NOACTIVATE);
    if (!wasVisible)
        flags |= SWP_SHOWWINDOW;
    if (!sizeChanged)
        flags |= SWP_NOSIZE | SWP_NOMOVE;
    if (sizeChanged || !wasVisible)
        ws.SendWindowPosChanged(hwnd, flags);
    if (sizeChanged)
        InvalidateRect(hwnd, nullptr, TRUE);
    r = ws.Find(hwnd);
    if (activate && r && !r->parent && !r->IsIconicFlag())
        ws.Activate(hwnd, true);
    return wasVisible;
}

BOOL WindowSystem::SetWindowTextW(HWND hwnd, const wchar_t* text)
{
    if (!Self().Find(hwnd))
        return FALSE;
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L"")) ? TRUE : FALSE;
}

int WindowSystem::GetWindowTextLengthW(HWND hwnd)
{
    const WindowRecord* r = Self().Find(hwnd);
    return r ? static_cast<int>(r->title.size()) : 0;
}

BOOL WindowSystem::GetWindowTextW(HWND hwnd, CString* text)
{
    const WindowRecord* r = Self().Find(hwnd);
    if (!r || !text)
        return FALSE;
    *text = r->title;
    return TRUE;
}

BOOL WindowSystem::EnableWindow(HWND hwnd, BOOL enable)
{
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(hwnd);
    if (!r)
        return FALSE;
    const BOOL wasDisabled = r->IsDisabledFlag() ? TRUE : FALSE;
    if (static_cast<bool>(enable) == !wasDisabled)
        return wasDisabled;
    if (enable) {
        r->style &= ~WS_DISABLED;
    } else {
        r->style |= WS_DISABLED;
        if (ws.m_focus == hwnd)
            ws.ChangeFocus(nullptr);
        if (ws.m_capture == hwnd)
            ReleaseCapture();
    }
    SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL WindowSystem::IsWindowEnabled(HWND hwnd)
{
    const WindowRecord* r = Self().Find(hwnd);
    return r && !r->IsDisabledFlag() ? TRUE : FALSE;
}

BOOL WindowSystem::IsWindowVisible(HWND hwnd)
{
    WindowSystem& ws = Self();
    for (const WindowRecord* r = ws.Find(hwnd); r; r = r->parent ? ws.Find(r->parent) : nullptr) {
        if (!r->IsVisibleFlag())
            return FALSE;
        if (!r->parent)
            return TRUE;
    }
    return FALSE;
}

BOOL WindowSystem::IsIconic(HWND hwnd)
{
    const WindowRecord* r = Self().Find(hwnd);
    return r && r->IsIconicFlag() ? TRUE : FALSE;
}

BOOL WindowSystem::IsZoomed(HWND hwnd)
{
    const WindowRecord* r = Self().Find(hwnd);
    return r && r->zoomed && !r->IsIconicFlag() ? TRUE : FALSE;
}

// --- Focus and activation ---

void WindowSystem::Activate(HWND top, bool native)
{
    WindowRecord* r = Find(top);
    if (!r)
        return;
    if (native)
        m_backend->Activate(r->native);
    if (m_active != top) {
        const HWND old = m_active;
        if (old)
            Deactivate(old);
        if (!IsWindow(top))
            return;
        m_active = top;
        SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
        SendMessageW(top, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    }
    r = Find(top);
    if (r && (!m_focus || GetTopLevel(m_focus) != top))
        ChangeFocus(r->lastFocus && IsWindow(r->lastFocus) ? r->lastFocus : top);
}

void WindowSystem::Deactivate(HWND top)
{
    if (m_active != top)
        return;
    if (m_focus && GetTopLevel(m_focus) == top)
        ChangeFocus(nullptr);
    m_active = nullptr;
    SendMessageW(top, WM_NCACTIVATE, FALSE, 0);
    SendMessageW(top, WM_ACTIVATE, WA_INACTIVE, 0);
}

void WindowSystem::ActivateAfterLoss(HWND lost)
{
    const WindowRecord* r = Find(lost);
    const HWND owner = r ? r->owner : nullptr;
    const WindowRecord* o = Find(owner);
    if (o && o->IsVisibleFlag() && !o->IsIconicFlag() && !o->IsDisabledFlag())
        Activate(owner, true);
}

void WindowSystem::ChangeFocus(HWND hwnd)
{
    const HWND old = m_focus;
    if (old == hwnd)
        return;
    m_focus = hwnd;
    if (old && IsWindow(old))
        SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && m_focus == hwnd && IsWindow(hwnd)) {
        if (WindowRecord* top = Find(GetTopLevel(hwnd)))
            top->lastFocus = hwnd;
        SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
}

HWND WindowSystem::SetFocus(HWND hwnd)
{
    WindowSystem& ws = Self();
    const HWND old = ws.m_focus;
    if (!hwnd) {
        ws.ChangeFocus(nullptr);
        return old;
    }
    if (!ws.Find(hwnd))
        return nullptr;
    const HWND top = GetTopLevel(hwnd);
    if (WindowRecord* t = ws.Find(top))
        t->lastFocus = hwnd;
    if (ws.m_active != top)
        ws.Activate(top, true);
    ws.ChangeFocus(hwnd);
    return old;
}

HWND WindowSystem::GetFocus()
{
    return Self().m_focus;
}

HWND WindowSystem::GetActiveWindow()
{
    return Self().m_active;
}

HWND WindowSystem::GetForegroundWindow()
{
    return Self().m_active;
}

BOOL WindowSystem::SetForegroundWindow(HWND hwnd)
{
    WindowSystem& ws = Self();
    const HWND top = GetTopLevel(hwnd);
    if (!top)
        return FALSE;
    ws.m_backend->Raise(ws.ToNative(top));
    ws.Activate(top, true);
    return TRUE;
}

BOOL WindowSystem::BringWindowToTop(HWND hwnd)
{
    WindowSystem& ws = Self();
    const WindowRecord* r = ws.Find(hwnd);
    if (!r)
        return FALSE;
    ws.m_backend->Raise(r->native);
    return TRUE;
}

// --- Capture and cursor ---

HWND WindowSystem::SetCapture(HWND hwnd)
{
    WindowSystem& ws = Self();
    const WindowRecord* r = ws.Find(hwnd);
    if (!r)
        return nullptr;
    const HWND old = ws.m_capture;
    ws.m_capture = hwnd;
    ws.m_backend->GrabPointer(r->native);
    if (old && old != hwnd)
        SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL WindowSystem::ReleaseCapture()
{
    WindowSystem& ws = Self();
    const HWND old = std::exchange(ws.m_capture, nullptr);
    if (!old)
        return TRUE;
    if (!ws.m_drag.hwnd)
        ws.m_backend->UngrabPointer();
    SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    ws.PostLeaveIfOutside(old);
    return TRUE;
}

HWND WindowSystem::GetCapture()
{
    return Self().m_capture;
}

HCURSOR WindowSystem::LoadCursorW(HINSTANCE, const wchar_t* id)
{
    // System cursors only: the handle is the cursor's resource number.
    const auto number = reinterpret_cast<uintptr_t>(id);
    if (id == IDC_ARROW || id == IDC_IBEAM || id == IDC_WAIT || id == IDC_HAND)
        return reinterpret_cast<HCURSOR>(number);
    return nullptr;
}

HCURSOR WindowSystem::SetCursor(HCURSOR cursor)
{
    WindowSystem& ws = Self();
    const HCURSOR old = std::exchange(ws.m_cursorHandle, cursor);
    const HWND target = ws.m_capture ? ws.m_capture : ws.m_pointerWindow;
    const WindowRecord* r = ws.Find(target);
    if (!r)
        return old;
    PointerShape shape = PointerShape::Arrow;
    const auto id = reinterpret_cast<const wchar_t*>(cursor);
    if (id == IDC_HAND)
        shape = PointerShape::Hand;
    else if (id == IDC_IBEAM)
        shape = PointerShape::IBeam;
    else if (id == IDC_WAIT)
        shape = PointerShape::Wait;
    ws.m_backend->SetCursor(r->native, shape);
    return old;
}
