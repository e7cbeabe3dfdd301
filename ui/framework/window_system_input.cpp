// Native input and window-manager events turned into window messages: pointer and buttons (with double
// clicks, capture, hover and leave tracking and caption drags), keys (virtual keys, key-message bits and
// typed characters), exposure, configuration, close requests, focus and minimising.

#include <algorithm>
#include <cstdlib>

#include "core/linux_keys.h"
#include "core/wide_text.h"
#include "ui/framework/clock.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_record.h"
#include "ui/framework/window_system.h"

namespace {

constexpr size_t kMaxPendingChars = 64;
constexpr int kHoverBox = 4;

unsigned ButtonBit(int button)
{
    switch (button) {
    case kButtonLeft:
        return kModLeftButton;
    case kButtonRight:
        return kModRightButton;
    case kButtonMiddle:
        return kModMiddleButton;
    default:
        return 0;
    }
}

bool IsWheel(int button)
{
    return button >= kButtonWheelUp && button <= kButtonWheelRight;
}

// Popups that must not take the activation away from the window they belong to (menus, drop-downs).
bool IsNonActivatingPopup(const WindowRecord& r)
{
    return (r.exStyle & WS_EX_NOACTIVATE) ||
           TraitsForStyle(r.style, r.exStyle, r.owner != nullptr).kind == NativeKind::Popup;
}

} // namespace

unsigned WindowSystem::MouseKeyFlags() const
{
    unsigned flags = 0;
    if (m_buttons & kModLeftButton)
        flags |= MK_LBUTTON;
    if (m_buttons & kModRightButton)
        flags |= MK_RBUTTON;
    if (m_buttons & kModMiddleButton)
        flags |= MK_MBUTTON;
    if (m_keys.IsDown(VK_SHIFT))
        flags |= MK_SHIFT;
    if (m_keys.IsDown(VK_CONTROL))
        flags |= MK_CONTROL;
    return flags;
}

HWND WindowSystem::InputTarget(NativeWindow window) const
{
    if (m_capture)
        return m_capture;
    return FromNative(window);
}

void WindowSystem::TrackPointer(HWND source, CPoint screen)
{
    m_cursor = screen;
    m_pointerWindow = source && ScreenRectOf(source).PtInRect(screen) ? source : nullptr;
}

void WindowSystem::OnNativePointerMotion(NativeWindow window, CPoint screen, unsigned modifiers)
{
    const HWND source = FromNative(window);
    TrackPointer(source, screen);
    m_keys.SyncModifiers(modifiers);
    m_buttons = modifiers & (kModLeftButton | kModRightButton | kModMiddleButton);
    const HWND target = InputTarget(window);
    if (!target || !IsWindowEnabled(target) || !IsWindowEnabled(GetTopLevel(target)))
        return;
    if (m_tracking.hwnd == target && m_tracking.hover) {
        const CPoint d = screen - m_tracking.hoverAnchor;
        if (std::abs(d.x) > kHoverBox / 2 || std::abs(d.y) > kHoverBox / 2) {
            m_tracking.hoverAnchor = screen;
            m_tracking.hoverDue = m_backend->GetClock().NowMs() + m_tracking.hoverMs;
        }
    }
    const CPoint client = screen - ClientOrigin(target);
    m_queue.PostMouseMove(MakeMessage(target, WM_MOUSEMOVE, MouseKeyFlags(), MAKELPARAM(client.x, client.y)));
}

void WindowSystem::OnNativeButton(NativeWindow window, int button, bool pressed, CPoint screen,
                                  unsigned modifiers, uint32_t timeMs)
{
    const HWND source = FromNative(window);
    TrackPointer(source, screen);
    m_keys.SyncModifiers(modifiers);
    m_buttons = modifiers & (kModLeftButton | kModRightButton | kModMiddleButton);
    if (pressed)
        m_buttons |= ButtonBit(button);
    else
        m_buttons &= ~ButtonBit(button);
    const HWND target = InputTarget(window);
    const WindowRecord* r = Find(target);
    if (!r)
        return;
    if (!IsWindowEnabled(target) || !IsWindowEnabled(GetTopLevel(target))) {
        // A window that waits under an open menu or drop-down takes no input, but a press on it still
        // ends the popup, as it would by taking the activation from it.
        const WindowRecord* active = Find(m_active);
        if (pressed && !IsWheel(button) && active && m_active != GetTopLevel(target) &&
            IsNonActivatingPopup(*active))
            Deactivate(m_active);
        return;
    }

    if (IsWheel(button)) {
        if (!pressed)
            return;
        const bool horizontal = button == kButtonWheelLeft || button == kButtonWheelRight;
        const int delta =
            (button == kButtonWheelUp || button == kButtonWheelRight) ? WHEEL_DELTA : -WHEEL_DELTA;
        m_queue.Post(MakeMessage(target, horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL,
                                 MAKEWPARAM(static_cast<int>(MouseKeyFlags()), delta),
                                 MAKELPARAM(screen.x, screen.y)));
        return;
    }

    UINT down = WM_LBUTTONDOWN;
    if (button == kButtonRight)
        down = WM_RBUTTONDOWN;
    else if (button == kButtonMiddle)
        down = WM_MBUTTONDOWN;
    else if (button != kButtonLeft)
        return;
    UINT msg = pressed ? down : down + 1;
    if (pressed) {
        const bool isDouble = m_clicks.Press(target, button, screen.x, screen.y, timeMs);
        if (isDouble && (r->classStyle & CS_DBLCLKS))
            msg = down + 2;
        const HWND top = GetTopLevel(target);
        const WindowRecord* t = Find(top);
        if (t && top != m_active && !IsNonActivatingPopup(*t))
            Activate(top, true);
        if (!IsWindow(target))
            return;
    }
    const CPoint client = screen - ClientOrigin(target);
    m_queue.Post(MakeMessage(target, msg, MouseKeyFlags(), MAKELPARAM(client.x, client.y)));
}

void WindowSystem::OnNativePointerLeave(NativeWindow window)
{
    const HWND source = FromNative(window);
    if (m_pointerWindow == source)
        m_pointerWindow = nullptr;
    if (source && m_tracking.hwnd == source && m_tracking.leave && m_capture != source) {
        m_queue.Post(MakeMessage(source, WM_MOUSELEAVE, 0, 0));
        m_tracking = {};
    }
}

void WindowSystem::PostLeaveIfOutside(HWND hwnd)
{
    if (m_tracking.hwnd == hwnd && m_tracking.leave && !ScreenRectOf(hwnd).PtInRect(m_cursor)) {
        m_queue.Post(MakeMessage(hwnd, WM_MOUSELEAVE, 0, 0));
        m_tracking = {};
    }
}

BOOL WindowSystem::TrackMouseEvent(TRACKMOUSEEVENT* tme)
{
    WindowSystem& ws = Self();
    if (!tme || !ws.Find(tme->hwndTrack))
        return FALSE;
    const HWND hwnd = tme->hwndTrack;
    if (tme->dwFlags & TME_CANCEL) {
        if (ws.m_tracking.hwnd == hwnd) {
            if (tme->dwFlags & TME_LEAVE)
                ws.m_tracking.leave = false;
            if (tme->dwFlags & TME_HOVER)
                ws.m_tracking.hover = false;
        }
        return TRUE;
    }
    if (ws.m_tracking.hwnd != hwnd)
        ws.m_tracking = {};
    ws.m_tracking.hwnd = hwnd;
    if (tme->dwFlags & TME_HOVER) {
        ws.m_tracking.hover = true;
        ws.m_tracking.hoverMs = tme->dwHoverTime == HOVER_DEFAULT ? kDefaultHoverMs : tme->dwHoverTime;
        ws.m_tracking.hoverAnchor = ws.m_cursor;
        ws.m_tracking.hoverDue = ws.m_backend->GetClock().NowMs() + ws.m_tracking.hoverMs;
    }
    if (tme->dwFlags & TME_LEAVE) {
        ws.m_tracking.leave = true;
        // Asking while the pointer is already elsewhere answers at once.
        if (ws.m_pointerWindow != hwnd && ws.m_capture != hwnd) {
            ws.m_queue.Post(ws.MakeMessage(hwnd, WM_MOUSELEAVE, 0, 0));
            ws.m_tracking = {};
        }
    }
    return TRUE;
}

bool WindowSystem::PostDueHover()
{
    if (!m_tracking.hwnd || !m_tracking.hover || m_backend->GetClock().NowMs() < m_tracking.hoverDue)
        return false;
    const HWND hwnd = m_tracking.hwnd;
    m_tracking.hover = false;
    const CPoint client = m_cursor - ClientOrigin(hwnd);
    m_queue.Post(MakeMessage(hwnd, WM_MOUSEHOVER, MouseKeyFlags(), MAKELPARAM(client.x, client.y)));
    return true;
}

short WindowSystem::GetKeyState(int vk)
{
    if (vk < 0 || vk > 255)
        return 0;
    WindowSystem& ws = Self();
    const auto key = static_cast<uint8_t>(vk);
    bool down = ws.m_keys.IsDown(key);
    if (vk == VK_LBUTTON)
        down = (ws.m_buttons & kModLeftButton) != 0;
    else if (vk == VK_RBUTTON)
        down = (ws.m_buttons & kModRightButton) != 0;
    else if (vk == VK_MBUTTON)
        down = (ws.m_buttons & kModMiddleButton) != 0;
    return static_cast<short>((down ? 0x8000 : 0) | (ws.m_keys.IsToggled(key) ? 1 : 0));
}

short WindowSystem::GetAsyncKeyState(int vk)
{
    return static_cast<short>(GetKeyState(vk) & 0x8000);
}

// --- Keys ---

void WindowSystem::OnNativeKey(NativeWindow window, unsigned evdevCode, bool pressed,
                               const std::string& textUtf8, unsigned modifiers)
{
    m_keys.SyncModifiers(modifiers);
    const HWND source = FromNative(window);
    HWND target = source;
    if (m_focus && (!source || GetTopLevel(m_focus) == GetTopLevel(source)))
        target = m_focus;
    const std::wstring wide = Utf8ToWide(textUtf8);
    std::u32string chars(wide.begin(), wide.end());

    const auto key = FindLinuxKey(evdevCode);
    if (!key) {
        // A key without a virtual key still types its characters.
        if (pressed && target && IsWindowEnabled(target)) {
            for (char32_t c : chars)
                m_queue.Post(MakeMessage(target, WM_CHAR, c, 1));
        }
        return;
    }
    uint8_t vk = key->vk;
    if (!(modifiers & kModNumLock))
        vk = KeypadNavigationKey(vk);
    const bool wasDown = pressed ? m_keys.Press(vk) : true;
    if (!pressed)
        m_keys.Release(vk);
    if (!target || !IsWindowEnabled(target) || !IsWindowEnabled(GetTopLevel(target)))
        return;

    const uint8_t neutral = SideNeutralVirtualKey(vk);
    const bool alt = m_keys.IsDown(VK_MENU) || neutral == VK_MENU;
    const bool ctrl = m_keys.IsDown(VK_CONTROL);
    const bool system = (alt && !ctrl) || neutral == VK_F10;
    LPARAM lParam = 1 | (static_cast<LPARAM>(key->scanCode) << 16);
    if (key->extended)
        lParam |= KF_EXTENDED_BIT;
    if (alt)
        lParam |= KF_ALTDOWN_BIT;
    if (wasDown)
        lParam |= KF_REPEAT_BIT;
    if (!pressed)
        lParam |= KF_UP_BIT;
    UINT msg = pressed ? WM_KEYDOWN : WM_KEYUP;
    if (system)
        msg = pressed ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    MSG m = MakeMessage(target, msg, neutral, lParam);

    if (pressed) {
        // Delete types nothing; X reports it as the DEL control character.
        if (neutral == VK_DELETE)
            std::erase(chars, U'\x7F');
        if (!chars.empty()) {
            if (++m_lastCharSerial == 0)
                ++m_lastCharSerial;
            m_pendingChars[m_lastCharSerial] = std::move(chars);
            m.charSerial = m_lastCharSerial;
            // Key messages that were never translated leave their characters behind; keep a few.
            while (m_pendingChars.size() > kMaxPendingChars)
                m_pendingChars.erase(m_pendingChars.begin());
        }
    }
    m_queue.Post(m);
}

void WindowSystem::OnNativeKeymap(const std::vector<unsigned>& downEvdevCodes)
{
    m_keys.Reset(downEvdevCodes);
}

// --- Window manager events ---

void WindowSystem::OnNativeExpose(NativeWindow window, const CRect& rect)
{
    if (const HWND hwnd = FromNative(window))
        InvalidateRect(hwnd, &rect, FALSE);
}

void WindowSystem::OnNativeConfigure(NativeWindow window, const CRect& rect)
{
    WindowRecord* r = FindByNative(window);
    if (!r || r->IsIconicFlag() || rect == r->rect)
        return;
    const HWND hwnd = r->hwnd;
    const bool moved = rect.TopLeft() != r->rect.TopLeft();
    const bool sized = rect.Size() != r->rect.Size();
    r->rect = rect;
    if (!r->zoomed)
        r->restoreRect = rect;
    if (sized)
        InvalidateRect(hwnd, nullptr, TRUE);
    SendWindowPosChanged(hwnd,
                         SWP_NOZORDER | SWP_NOACTIVATE | (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE));
}

void WindowSystem::OnNativeCloseRequest(NativeWindow window)
{
    const HWND hwnd = FromNative(window);
    // A window disabled under a modal dialog cannot be closed from its frame either.
    if (hwnd && IsWindowEnabled(hwnd))
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

void WindowSystem::OnNativeFocus(NativeWindow window, bool focused)
{
    const HWND top = GetTopLevel(FromNative(window));
    if (!top)
        return;
    if (!focused) {
        if (m_active == top) {
            Deactivate(top);
            m_keys.Clear();
        }
        return;
    }
    if (!IsWindowEnabled(top)) {
        // The window manager focused a window that waits for a modal dialog: the dialog takes it.
        for (const auto& [hwnd, r] : m_windows) {
            if (r->owner == top && r->IsVisibleFlag() && !r->IsDisabledFlag()) {
                Activate(hwnd, true);
                return;
            }
        }
        return;
    }
    if (m_active != top)
        Activate(top, false);
}

void WindowSystem::OnNativeIconic(NativeWindow window, bool iconic)
{
    WindowRecord* r = FindByNative(window);
    if (!r || r->IsIconicFlag() == iconic)
        return;
    const HWND hwnd = r->hwnd;
    if (iconic) {
        r->style |= WS_MINIMIZE;
        Deactivate(hwnd);
    } else {
        r->style &= ~WS_MINIMIZE;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    SendWindowPosChanged(hwnd, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

void WindowSystem::OnNativeRestoreRequest(NativeWindow window)
{
    const HWND hwnd = FromNative(window);
    if (!hwnd)
        return;
    SetForegroundWindow(hwnd);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    BringWindowToTop(hwnd);
}

// --- Caption drags ---

// Like a modal move loop, the drag follows the mouse messages as they are taken from the queue, starting
// from the press that began it: press, motion and release may all be queued before the press is handled.
void WindowSystem::StartCaptionDrag(HWND hwnd)
{
    const WindowRecord* r = Find(hwnd);
    if (!r || r->parent || r->zoomed || !(m_queuedButtons & kModLeftButton))
        return;
    if (m_backend->BeginMoveDrag(r->native, m_messagePos))
        return;
    m_drag = {hwnd, m_messagePos, r->rect.TopLeft()};
    m_backend->GrabPointer(r->native);
}

bool WindowSystem::FollowOwnDrag(const MSG& msg)
{
    if (!m_drag.hwnd || msg.message < WM_MOUSEMOVE || msg.message > WM_MOUSEHWHEEL)
        return false;
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
        const CPoint origin = m_drag.startOrigin + (msg.pt - m_drag.startCursor);
        SetWindowPos(m_drag.hwnd, nullptr, origin.x, origin.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A move without the button means the release went elsewhere; the drag must not hold the mouse.
    if (msg.message == WM_LBUTTONUP || (msg.message == WM_MOUSEMOVE && !(msg.wParam & MK_LBUTTON)))
        EndOwnDrag();
    return true;
}

void WindowSystem::NoteQueuedMouse(const MSG& msg)
{
    switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        m_queuedButtons |= kModLeftButton;
        break;
    case WM_LBUTTONUP:
        m_queuedButtons &= ~kModLeftButton;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        m_queuedButtons |= kModRightButton;
        break;
    case WM_RBUTTONUP:
        m_queuedButtons &= ~kModRightButton;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        m_queuedButtons |= kModMiddleButton;
        break;
    case WM_MBUTTONUP:
        m_queuedButtons &= ~kModMiddleButton;
        break;
    default:
        break;
    }
}

void WindowSystem::EndOwnDrag()
{
    m_drag = {};
    if (const WindowRecord* c = Find(m_capture))
        m_backend->GrabPointer(c->native);
    else
        m_backend->UngrabPointer();
}
