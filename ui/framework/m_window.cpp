#include "ui/framework/m_window.h"

#include <optional>

#include "ui/framework/image.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/resource_module.h"
#include "ui/framework/window_system.h"

namespace {

constexpr const wchar_t* kControlProperty = L"Control";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr DWORD kDefaultStyle = 0x0000080B;
constexpr UINT kFrameRefresh = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

using WS = WindowSystem;

// The shared part of both window procedures once the object is known.
LRESULT RouteToObject(MWindow* self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, WNDPROC previous,
                      void (*detach)(HWND), void (*clearHandle)(MWindow*))
{
    if (!self)
        return WS::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        const LRESULT result = WS::CallWindowProcW(previous, hwnd, msg, wParam, lParam);
        detach(hwnd);
        clearHandle(self);
        self->OnDestroyMessage(hwnd);
        return result;
    }
    return self->OnWindowMessage(msg, wParam, lParam);
}

} // namespace

MWindow::MWindow() : m_prevWndProc(&WindowSystem::DefWindowProcW) {}

MWindow::~MWindow()
{
    if (IsLive()) {
        // The window must not reach this half-destroyed object any more.
        WS::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        WS::RemovePropW(m_hWnd, kControlProperty);
        WS::DestroyWindow(m_hWnd);
    }
}

bool MWindow::IsLive() const
{
    return m_hWnd && m_hWnd != reinterpret_cast<HWND>(-1) && WS::IsWindow(m_hWnd);
}

// --- Creation ---

HWND MWindow::Create(HWND parent)
{
    return Create(parent, L"KelvoClient", kDefaultStyle, 0, CRect(0, 0, 800, 600));
}

HWND MWindow::Create(HWND parent, const CRect& rect)
{
    return Create(parent, L"KelvoClient", kDefaultStyle, 0, rect);
}

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, const CRect& rect,
                     HMENU menu)
{
    if (IsLive())
        return m_hWnd;
    m_hParent = parent;
    const int registered = GetSuperClassName() ? RegisterSuperClass() : RegisterWindowClass();
    HWND hwnd = nullptr;
    if (registered) {
        hwnd = WS::CreateWindowExW(exStyle, GetWindowClassName(), title, style, rect.left, rect.top,
                                   rect.Width(), rect.Height(), parent, menu, Manager::GetInstance(), this);
    }
    OnInitDialog();
    return hwnd;
}

int MWindow::RegisterWindowClass()
{
    WNDCLASSEXW wc;
    wc.style = kClassStyle;
    wc.lpfnWndProc = &MWindow::WndProc;
    wc.hInstance = Manager::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    if (WS::RegisterClassExW(wc))
        return 1;
    return WS::GetClassInfoExW(GetWindowClassName(), nullptr) ? 1 : 0;
}

int MWindow::RegisterSuperClass()
{
    WNDCLASSEXW wc;
    if (!WS::GetClassInfoExW(GetSuperClassName(), &wc))
        return 0;
    m_prevWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = &MWindow::ControlProc;
    wc.hInstance = Manager::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    if (WS::RegisterClassExW(wc))
        return 1;
    return WS::GetClassInfoExW(GetWindowClassName(), nullptr) ? 1 : 0;
}

// --- Window procedures ---

LRESULT MWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = cs ? static_cast<MWindow*>(cs->lpCreateParams) : nullptr;
        if (self) {
            self->m_hWnd = hwnd;
            WS::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<intptr_t>(self));
        }
    } else {
        self = reinterpret_cast<MWindow*>(WS::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    return RouteToObject(
        self, hwnd, msg, wParam, lParam, self ? self->m_prevWndProc : nullptr,
        [](HWND h) { WS::SetWindowLongPtrW(h, GWLP_USERDATA, 0); }, [](MWindow* w) { w->m_hWnd = nullptr; });
}

LRESULT MWindow::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = cs ? static_cast<MWindow*>(cs->lpCreateParams) : nullptr;
        if (self) {
            self->m_hWnd = hwnd;
            WS::SetPropW(hwnd, kControlProperty, reinterpret_cast<intptr_t>(self));
        }
    } else {
        self = reinterpret_cast<MWindow*>(WS::GetPropW(hwnd, kControlProperty));
    }
    return RouteToObject(
        self, hwnd, msg, wParam, lParam, self ? self->m_prevWndProc : nullptr,
        [](HWND h) { WS::RemovePropW(h, kControlProperty); }, [](MWindow* w) { w->m_hWnd = nullptr; });
}

LRESULT MWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return WS::CallWindowProcW(m_prevWndProc, m_hWnd, msg, wParam, lParam);
}

int MWindow::PreTranslateMessage(MSG* /*msg*/)
{
    return 0;
}

int MWindow::ShowWindow(int cmd)
{
    return IsLive() ? WS::ShowWindow(m_hWnd, cmd) : 0;
}

// --- Wrappers ---

DWORD MWindow::GetStyle() const
{
    return IsLive() ? static_cast<DWORD>(WS::GetWindowLongPtrW(m_hWnd, GWL_STYLE)) : 0;
}

DWORD MWindow::GetExStyle() const
{
    return IsLive() ? static_cast<DWORD>(WS::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)) : 0;
}

int MWindow::ModifyStyle(DWORD remove, DWORD add, UINT positionFlags)
{
    if (!IsLive())
        return 0;
    const DWORD old = GetStyle();
    const DWORD updated = (old & ~remove) | add;
    if (updated == old)
        return 0;
    WS::SetWindowLongPtrW(m_hWnd, GWL_STYLE, updated);
    if (positionFlags)
        WS::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, positionFlags | kFrameRefresh);
    return 1;
}

int MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT positionFlags)
{
    if (!IsLive())
        return 0;
    const DWORD old = GetExStyle();
    const DWORD updated = (old & ~remove) | add;
    if (updated == old)
        return 0;
    WS::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, updated);
    if (positionFlags)
        WS::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, positionFlags | kFrameRefresh);
    return 1;
}

BOOL MWindow::GetClientRect(CRect* rect) const
{
    return IsLive() ? WS::GetClientRect(m_hWnd, rect) : FALSE;
}

BOOL MWindow::GetWindowRect(CRect* rect) const
{
    return IsLive() ? WS::GetWindowRect(m_hWnd, rect) : FALSE;
}

BOOL MWindow::SetWindowTextW(const wchar_t* text)
{
    return IsLive() ? WS::SetWindowTextW(m_hWnd, text) : FALSE;
}

BOOL MWindow::GetWindowTextW(CString& text) const
{
    return IsLive() ? WS::GetWindowTextW(m_hWnd, &text) : FALSE;
}

int MWindow::GetWindowTextLengthW() const
{
    return IsLive() ? WS::GetWindowTextLengthW(m_hWnd) : -1;
}

BOOL MWindow::EnableWindow(BOOL enable)
{
    return IsLive() ? WS::EnableWindow(m_hWnd, enable) : FALSE;
}

BOOL MWindow::IsWindowEnabled() const
{
    return IsLive() ? WS::IsWindowEnabled(m_hWnd) : FALSE;
}

BOOL MWindow::IsWindowVisible() const
{
    return IsLive() ? WS::IsWindowVisible(m_hWnd) : FALSE;
}

BOOL MWindow::IsIconic() const
{
    return IsLive() ? WS::IsIconic(m_hWnd) : FALSE;
}

BOOL MWindow::InvalidateRect(const CRect& rect, int erase)
{
    return InvalidateRect(&rect, erase);
}

BOOL MWindow::InvalidateRect(const CRect* rect, int erase)
{
    return IsLive() ? WS::InvalidateRect(m_hWnd, rect, erase) : FALSE;
}

HWND MWindow::SetCapture()
{
    return IsLive() ? WS::SetCapture(m_hWnd) : nullptr;
}

BOOL MWindow::ReleaseCapture()
{
    return IsLive() ? WS::ReleaseCapture() : FALSE;
}

HWND MWindow::SetFocus()
{
    return IsLive() ? WS::SetFocus(m_hWnd) : nullptr;
}

uintptr_t MWindow::SetTimer(uintptr_t id, UINT elapseMs, TIMERPROC proc)
{
    return IsLive() ? WS::SetTimer(m_hWnd, id, elapseMs, proc) : 0;
}

BOOL MWindow::KillTimer(uintptr_t id)
{
    return IsLive() ? WS::KillTimer(m_hWnd, id) : FALSE;
}

BOOL MWindow::ClientToScreen(CPoint* point) const
{
    return IsLive() ? WS::ClientToScreen(m_hWnd, point) : FALSE;
}

BOOL MWindow::ClientToScreen(CRect* rect) const
{
    CPoint origin;
    if (!rect || !ClientToScreen(&origin))
        return FALSE;
    rect->OffsetRect(origin);
    return TRUE;
}

BOOL MWindow::ScreenToClient(CPoint* point) const
{
    return IsLive() ? WS::ScreenToClient(m_hWnd, point) : FALSE;
}

BOOL MWindow::ScreenToClient(CRect* rect) const
{
    CPoint origin;
    if (!rect || !ClientToScreen(&origin))
        return FALSE;
    rect->OffsetRect(-origin.x, -origin.y);
    return TRUE;
}

BOOL MWindow::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return IsLive() ? WS::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags) : FALSE;
}

BOOL MWindow::MoveWindow(int x, int y, int cx, int cy, BOOL repaint)
{
    return IsLive() ? WS::MoveWindow(m_hWnd, x, y, cx, cy, repaint) : FALSE;
}

BOOL MWindow::MoveWindow(const CRect& rect, BOOL repaint)
{
    return MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

BOOL MWindow::DestroyWindow()
{
    return IsLive() ? WS::DestroyWindow(m_hWnd) : FALSE;
}

LRESULT MWindow::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return IsLive() ? WS::SendMessageW(m_hWnd, msg, wParam, lParam) : 0;
}

BOOL MWindow::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return IsLive() ? WS::PostMessageW(m_hWnd, msg, wParam, lParam) : FALSE;
}

void MWindow::SetIcon(unsigned resourceId)
{
    if (!IsLive())
        return;
    // The library's module first, then the program's; an icon resource may be stored as ICO or PNG.
    ImagePtr picture;
    for (HINSTANCE module : {LibraryModule(), Manager::GetInstance()}) {
        for (const wchar_t* type : {L"ICO", L"ICON", L"PNG"}) {
            if (!picture)
                picture = MRender::LoadImageFromIDResource(resourceId, type, module);
        }
    }
    if (!picture)
        return;
    std::vector<Surface> sizes;
    for (const int side : {WS::GetSystemMetrics(SM_CXICON), WS::GetSystemMetrics(SM_CXSMICON)}) {
        Surface icon(side, side);
        {
            GraphicsOn g(icon);
            MRender::DrawImage(g, picture.get(), icon.Bounds(),
                               CRect(0, 0, picture->Width(), picture->Height()));
        }
        sizes.push_back(std::move(icon));
    }
    WS::SetWindowIcon(m_hWnd, {&sizes[0], &sizes[1]});
}

// --- Centring, front, modal loop ---

void MWindow::CenterWindow(MWindow* relativeTo)
{
    if (!IsLive())
        return;
    const DWORD style = GetStyle();
    const bool child = (style & WS_CHILD) != 0;
    HWND reference = relativeTo && relativeTo->IsLive() ? relativeTo->m_hWnd : nullptr;
    if (!reference)
        reference = child ? WS::GetParent(m_hWnd) : WS::GetWindow(m_hWnd, GW_OWNER);

    CRect self;
    WS::GetWindowRect(m_hWnd, &self);
    CRect bounds;
    CRect center;
    if (child) {
        const HWND parent = WS::GetParent(m_hWnd);
        WS::GetClientRect(parent, &bounds);
        WS::GetClientRect(reference, &center);
        CPoint origin;
        WS::ClientToScreen(reference, &origin);
        WS::ScreenToClient(parent, &origin);
        center.OffsetRect(origin);
    } else {
        if (reference) {
            const auto refStyle = static_cast<DWORD>(WS::GetWindowLongPtrW(reference, GWL_STYLE));
            if (!(refStyle & WS_VISIBLE) || (refStyle & WS_MINIMIZE))
                reference = nullptr;
        }
        bounds = WS::GetWorkArea(reference ? reference : m_hWnd);
        if (reference)
            WS::GetWindowRect(reference, &center);
        else
            center = bounds;
    }
    const int width = self.Width();
    const int height = self.Height();
    int left = (center.left + center.right) / 2 - width / 2;
    int top = (center.top + center.bottom) / 2 - height / 2;
    if (left + width > bounds.right)
        left = bounds.right - width;
    if (left < bounds.left)
        left = bounds.left;
    if (top + height > bounds.bottom)
        top = bounds.bottom - height;
    if (top < bounds.top)
        top = bounds.top;
    WS::SetWindowPos(m_hWnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MWindow::BringToTop()
{
    if (!IsLive())
        return;
    // One UI thread owns every window, so the foreground can always be taken directly.
    WS::SetForegroundWindow(m_hWnd);
    ShowWindow(IsIconic() ? SW_RESTORE : SW_SHOW);
}

unsigned MWindow::ShowModal(int cmdShow)
{
    if (!IsLive())
        return static_cast<unsigned>(-1);
    const HWND self = m_hWnd;
    const HWND owner = WS::GetParent(self);
    ShowWindow(cmdShow);
    if (owner)
        WS::EnableWindow(owner, FALSE);

    unsigned result = 0;
    std::optional<int> quit;
    while (WS::IsWindow(self)) {
        MSG msg;
        if (!WS::GetMessageW(&msg)) {
            quit = static_cast<int>(msg.wParam);
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == self) {
            result = static_cast<unsigned>(msg.wParam);
            // The owner must be usable before this window goes, or the activation would go elsewhere.
            if (owner) {
                WS::EnableWindow(owner, TRUE);
                WS::SetFocus(owner);
            }
        }
        if (!PreTranslateMessage(&msg)) {
            WS::TranslateMessage(&msg);
            WS::DispatchMessageW(&msg);
        }
    }
    if (owner && WS::IsWindow(owner)) {
        WS::EnableWindow(owner, TRUE);
        WS::SetFocus(owner);
    }
    if (quit)
        WS::PostQuitMessage(*quit);
    return result;
}
