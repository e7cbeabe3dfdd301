#include "ui/framework/tooltip_wnd.h"

#include <algorithm>
#include <cairo.h>

#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

namespace {

constexpr int kPadX = 5;
constexpr int kPadY = 3;
// The tip sits this far below the pointer, clear of the cursor's picture.
constexpr int kBelowPointer = 20;
constexpr ARGB kBackground = 0xFFFFFFFF;
constexpr ARGB kBorder = 0xFF767676;
constexpr ARGB kText = 0xFF1E1E1E;

TextFont TipFont()
{
    return TextFont{Manager::GetFontName(), ToolTipWnd::kFontSize, FontStyleRegular};
}

} // namespace

ToolTipWnd::ToolTipWnd(HWND owner) : m_owner(owner) {}

CSize ToolTipWnd::Measure() const
{
    const CSize text = MRender::MeasureString(TipFont(), m_text, kMaxWidth - 2 * kPadX);
    return {std::min(text.cx + 2 * kPadX, kMaxWidth), text.cy + 2 * kPadY};
}

void ToolTipWnd::Track(const CString& text, const CRect& rect)
{
    m_text = text;
    m_toolRect = rect;
    const CSize size = Measure();
    CPoint cursor;
    WindowSystem::GetCursorPos(&cursor);
    const CRect work = WindowSystem::GetWorkArea(m_owner);
    int x = std::clamp(cursor.x, work.left, std::max(work.left, work.right - size.cx));
    int y = cursor.y + kBelowPointer;
    if (y + size.cy > work.bottom)
        y = cursor.y - size.cy - 4;
    y = std::max(y, work.top);
    if (!IsLive()) {
        Create(m_owner, L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
               CRect(CPoint(x, y), size));
    } else {
        SetWindowPos(HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE);
    }
    if (!IsLive())
        return;
    InvalidateRect(nullptr, 0);
    ShowWindow(SW_SHOWNOACTIVATE);
}

void ToolTipWnd::Deactivate()
{
    if (IsLive() && IsWindowVisible())
        ShowWindow(SW_HIDE);
}

void ToolTipWnd::RelayEvent(const MSG& msg)
{
    switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEWHEEL:
        Deactivate();
        break;
    default:
        break;
    }
}

bool ToolTipWnd::IsShown() const
{
    return IsLive() && IsWindowVisible();
}

LRESULT ToolTipWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        Paint();
        return 0;
    }
    if (msg == WM_ERASEBKGND)
        return 1;
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

void ToolTipWnd::Paint()
{
    const PaintPass pass = WindowSystem::BeginPaint(m_hWnd);
    CRect client;
    GetClientRect(&client);
    m_surface.Resize(client.Width(), client.Height());
    if (!m_surface.IsValid()) {
        WindowSystem::EndPaint(m_hWnd);
        return;
    }
    m_surface.Fill(client, kBorder);
    CRect inner = client;
    inner.DeflateRect(1, 1);
    m_surface.Fill(inner, kBackground);
    {
        GraphicsOn g(m_surface);
        CRect text = client;
        text.DeflateRect(kPadX, kPadY);
        StringFormat format;
        MRender::DrawString(g, m_text, TipFont(), text, format, kText);
    }
    WindowSystem::Present(m_hWnd, m_surface, client);
    WindowSystem::EndPaint(m_hWnd);
    (void)pass;
}
