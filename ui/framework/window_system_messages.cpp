// The message side of the window system: posting and sending, the message loop primitives, window
// timers, the periodic timers of RKTimer, invalid regions and presentation, and the default window
// procedure.

#include <algorithm>

#include "ui/framework/clock.h"
#include "ui/framework/messages.h"
#include "ui/framework/mm_timer_service.h"
#include "ui/framework/surface.h"
#include "ui/framework/window_record.h"
#include "ui/framework/window_system.h"

namespace {

// Timers faster than this are slowed to it, as a busy-looping timer would starve everything else.
constexpr UINT kMinimumTimerMs = 10;

} // namespace

MSG WindowSystem::MakeMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    MSG m;
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = static_cast<DWORD>(m_backend->GetClock().NowMs());
    // The cursor position is UI-thread state; posts from other threads carry none.
    if (std::this_thread::get_id() == m_uiThread)
        m.pt = m_cursor;
    return m;
}

// --- Posting and sending ---

BOOL WindowSystem::PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !IsWindow(hwnd))
        return FALSE;
    WindowSystem& ws = Self();
    ws.m_queue.Post(ws.MakeMessage(hwnd, msg, wParam, lParam));
    return TRUE;
}

LRESULT WindowSystem::SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendMessageTimeoutW(hwnd, msg, wParam, lParam, kCrossThreadSendTimeoutMs).value_or(0);
}

std::optional<LRESULT> WindowSystem::SendMessageTimeoutW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                                         int64_t timeoutMs)
{
    if (!IsWindow(hwnd))
        return std::nullopt;
    WindowSystem& ws = Self();
    if (IsUiThread()) {
        const WindowRecord* r = ws.Find(hwnd);
        if (!r)
            return std::nullopt;
        return CallWindowProcW(r->proc, hwnd, msg, wParam, lParam);
    }
    return ws.m_queue.SendAndWait(
        [hwnd, msg, wParam, lParam] {
            const WindowRecord* r = Self().Find(hwnd);
            return r ? CallWindowProcW(r->proc, hwnd, msg, wParam, lParam) : 0;
        },
        timeoutMs);
}

void WindowSystem::PostQuitMessage(int exitCode)
{
    Self().m_queue.PostQuit(exitCode);
}

void WindowSystem::PostClosure(std::function<void()> closure)
{
    if (closure)
        Self().m_queue.PostClosure(std::move(closure));
}

LRESULT WindowSystem::CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

// --- The loop primitives ---

BOOL WindowSystem::GetMessageW(MSG* msg)
{
    MSG m;
    Self().NextMessage(&m, true);
    if (msg)
        *msg = m;
    return m.message == WM_QUIT ? FALSE : TRUE;
}

BOOL WindowSystem::PeekMessageW(MSG* msg, UINT /*removeFlags*/)
{
    MSG m;
    if (!Self().NextMessage(&m, false))
        return FALSE;
    if (msg)
        *msg = m;
    return TRUE;
}

bool WindowSystem::NextMessage(MSG* out, bool wait)
{
    for (;;) {
        m_queue.DrainWake();
        m_backend->DispatchPending();
        m_queue.RunSentCalls();
        if (auto item = m_queue.TakePosted()) {
            if (item->closure) {
                item->closure();
                continue;
            }
            NoteQueuedMouse(item->msg);
            if (FollowOwnDrag(item->msg))
                continue;
            m_messagePos = item->msg.pt;
            *out = item->msg;
            return true;
        }
        if (const auto code = m_queue.TakeQuit()) {
            *out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(*code), 0);
            return true;
        }
        if (const HWND hwnd = WindowNeedingPaint()) {
            *out = MakeMessage(hwnd, WM_PAINT, 0, 0);
            return true;
        }
        if (TakeDueTimer(out))
            return true;
        if (PostDueHover())
            continue;
        const int64_t now = m_backend->GetClock().NowMs();
        if (const auto due = m_mmTimers->NextDue(); due && *due <= now) {
            m_mmTimers->DeliverDue(now);
            continue;
        }
        if (!wait)
            return false;
        m_backend->WaitAndDispatch(m_queue.WakeFd(), NextDeadline());
        ++m_wakeCount;
    }
}

HWND WindowSystem::WindowNeedingPaint() const
{
    for (const auto& [hwnd, r] : m_windows) {
        if (!r->invalid.IsEmpty() && !r->IsIconicFlag() && IsWindowVisible(hwnd))
            return hwnd;
    }
    return nullptr;
}

std::optional<int64_t> WindowSystem::NextDeadline() const
{
    std::optional<int64_t> next = m_mmTimers->NextDue();
    auto consider = [&next](int64_t t) {
        if (!next || t < *next)
            next = t;
    };
    for (const auto& [key, timer] : m_timers)
        consider(timer.next);
    if (m_tracking.hwnd && m_tracking.hover)
        consider(m_tracking.hoverDue);
    return next;
}

std::optional<int64_t> WindowSystem::PendingDeadline()
{
    return Self().NextDeadline();
}

BOOL WindowSystem::TranslateMessage(const MSG* msg)
{
    if (!msg || !msg->charSerial || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    WindowSystem& ws = Self();
    const auto it = ws.m_pendingChars.find(msg->charSerial);
    if (it == ws.m_pendingChars.end())
        return FALSE;
    const std::u32string chars = std::move(it->second);
    ws.m_pendingChars.erase(it);
    const UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    for (auto c = chars.rbegin(); c != chars.rend(); ++c) {
        MSG m = *msg;
        m.message = charMessage;
        m.wParam = *c;
        m.charSerial = 0;
        ws.m_queue.PostFront(m);
    }
    return TRUE;
}

LRESULT WindowSystem::DispatchMessageW(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(msg->hwnd);
    if (!r)
        return 0;
    if (msg->message != WM_PAINT)
        return CallWindowProcW(r->proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
    r->paintBegun = false;
    const LRESULT result = CallWindowProcW(r->proc, msg->hwnd, WM_PAINT, msg->wParam, msg->lParam);
    // A handler that never began painting leaves its region alone; it would come back forever.
    if ((r = ws.Find(msg->hwnd)) && !r->paintBegun) {
        r->invalid.Clear();
        r->eraseBackground = false;
    }
    return result;
}

// --- Window timers ---

uintptr_t WindowSystem::SetTimer(HWND hwnd, uintptr_t id, UINT elapseMs, TIMERPROC proc)
{
    WindowSystem& ws = Self();
    if (hwnd && !ws.Find(hwnd))
        return 0;
    if (!hwnd) {
        // A timer without a window gets an id of its own.
        static uintptr_t lastThreadTimer = 0x7000;
        id = ++lastThreadTimer;
    }
    const UINT period = std::max(elapseMs, kMinimumTimerMs);
    ws.m_timers[{hwnd, id}] = Timer{period, ws.m_backend->GetClock().NowMs() + period, proc};
    return id ? id : 1;
}

BOOL WindowSystem::KillTimer(HWND hwnd, uintptr_t id)
{
    return Self().m_timers.erase({hwnd, id}) ? TRUE : FALSE;
}

bool WindowSystem::TakeDueTimer(MSG* out)
{
    const int64_t now = m_backend->GetClock().NowMs();
    auto due = m_timers.end();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->second.next <= now && (due == m_timers.end() || it->second.next < due->second.next))
            due = it;
    }
    if (due == m_timers.end())
        return false;
    // One message per due timer however late it is, as a timer message is a reminder, not a count.
    due->second.next = now + due->second.periodMs;
    *out = MakeMessage(due->first.first, WM_TIMER, due->first.second,
                       reinterpret_cast<LPARAM>(due->second.proc));
    return true;
}

// --- Periodic timers ---

unsigned WindowSystem::StartMmTimer(unsigned periodMs, MmTick tick, bool paused)
{
    WindowSystem& ws = Self();
    const unsigned id = ws.m_mmTimers->Start(periodMs, paused);
    if (id)
        ws.m_mmTicks[id] = tick;
    return id;
}

void WindowSystem::StopMmTimer(unsigned id)
{
    WindowSystem& ws = Self();
    ws.m_mmTimers->Stop(id);
    ws.m_mmTicks.erase(id);
}

void WindowSystem::PauseMmTimer(unsigned id, bool paused)
{
    Self().m_mmTimers->SetPaused(id, paused);
}

void WindowSystem::DeliverMmTick(unsigned id)
{
    m_mmTimers->Acknowledge(id);
    const auto it = m_mmTicks.find(id);
    if (it != m_mmTicks.end())
        it->second(id);
}

// --- Invalid regions and painting ---

BOOL WindowSystem::InvalidateRect(HWND hwnd, const CRect* rect, BOOL erase)
{
    if (!IsUiThread()) {
        if (!IsWindow(hwnd))
            return FALSE;
        const std::optional<CRect> copy = rect ? std::optional<CRect>(*rect) : std::nullopt;
        PostClosure([hwnd, copy, erase] { InvalidateRect(hwnd, copy ? &*copy : nullptr, erase); });
        return TRUE;
    }
    WindowRecord* r = Self().Find(hwnd);
    if (!r)
        return FALSE;
    CRect area = r->ClientRect();
    if (rect && !area.IntersectRect(area, *rect))
        return TRUE;
    r->invalid.Union(area);
    if (erase)
        r->eraseBackground = true;
    return TRUE;
}

BOOL WindowSystem::ValidateRect(HWND hwnd, const CRect* rect)
{
    WindowRecord* r = Self().Find(hwnd);
    if (!r)
        return FALSE;
    if (rect) {
        r->invalid.Subtract(*rect);
    } else {
        r->invalid.Clear();
    }
    if (r->invalid.IsEmpty())
        r->eraseBackground = false;
    return TRUE;
}

BOOL WindowSystem::GetUpdateRect(HWND hwnd, CRect* rect, BOOL /*erase*/)
{
    const WindowRecord* r = Self().Find(hwnd);
    if (!r)
        return FALSE;
    if (rect)
        *rect = r->invalid.Bounds();
    return r->invalid.IsEmpty() ? FALSE : TRUE;
}

CRegion WindowSystem::GetUpdateRegion(HWND hwnd)
{
    const WindowRecord* r = Self().Find(hwnd);
    return r ? r->invalid : CRegion();
}

BOOL WindowSystem::UpdateWindow(HWND hwnd)
{
    WindowRecord* r = Self().Find(hwnd);
    if (!r)
        return FALSE;
    if (!r->invalid.IsEmpty() && !r->IsIconicFlag() && IsWindowVisible(hwnd)) {
        MSG m = Self().MakeMessage(hwnd, WM_PAINT, 0, 0);
        DispatchMessageW(&m);
    }
    return TRUE;
}

PaintPass WindowSystem::BeginPaint(HWND hwnd)
{
    PaintPass pass;
    WindowRecord* r = Self().Find(hwnd);
    if (!r)
        return pass;
    r->paintBegun = true;
    pass.region = r->invalid;
    pass.region.Intersect(r->ClientRect());
    pass.rcPaint = pass.region.Bounds();
    pass.erase = r->eraseBackground;
    r->invalid.Clear();
    r->eraseBackground = false;
    if (pass.erase)
        SendMessageW(hwnd, WM_ERASEBKGND, 0, 0);
    return pass;
}

void WindowSystem::EndPaint(HWND /*hwnd*/) {}

BOOL WindowSystem::Present(HWND hwnd, const Surface& pixels, const CRect& rect)
{
    WindowSystem& ws = Self();
    const WindowRecord* r = ws.Find(hwnd);
    if (!r || !pixels.IsValid())
        return FALSE;
    CRect area;
    if (!area.IntersectRect(rect, r->ClientRect()) || !area.IntersectRect(area, pixels.Bounds()))
        return TRUE;
    PresentMode mode;
    if ((r->exStyle & WS_EX_LAYERED) && (r->layeredFlags & LWA_COLORKEY))
        mode.colorKey = ColorRefToARGB(r->layeredKey) & 0x00FFFFFF;
    ws.m_backend->Present(r->native, pixels, area, mode);
    return TRUE;
}

BOOL WindowSystem::UpdateLayeredWindow(HWND hwnd, const Surface& pixels)
{
    WindowSystem& ws = Self();
    const WindowRecord* r = ws.Find(hwnd);
    if (!r || !pixels.IsValid())
        return FALSE;
    CRect area;
    if (!area.IntersectRect(r->ClientRect(), pixels.Bounds()))
        return TRUE;
    PresentMode mode;
    mode.perPixelAlpha = true;
    ws.m_backend->Present(r->native, pixels, area, mode);
    return TRUE;
}

// --- The default window procedure ---

LRESULT WindowSystem::DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(hwnd);
    if (!r)
        return 0;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT:
        BeginPaint(hwnd);
        EndPaint(hwnd);
        return 0;
    case WM_SETTEXT:
        r->title = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        ws.m_backend->SetTitle(r->native, r->title);
        return TRUE;
    case WM_WINDOWPOSCHANGED:
        if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam))
            ws.SendSizeAndMove(hwnd, !(pos->flags & SWP_NOSIZE), !(pos->flags & SWP_NOMOVE));
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & KF_ALTDOWN_BIT))
            SendMessageW(GetTopLevel(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_NCLBUTTONDOWN:
        if (static_cast<LRESULT>(wParam) == HTCAPTION)
            ws.StartCaptionDrag(GetTopLevel(hwnd));
        return 0;
    default:
        return 0;
    }
}
