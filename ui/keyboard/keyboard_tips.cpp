#include "ui/keyboard/keyboard_tips.h"

#include <algorithm>
#include <cairo.h>

#include "ui/framework/image.h"
#include "ui/framework/m_air_bladder.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/messages.h"
#include "ui/framework/resource_module.h"
#include "ui/framework/skin_folder.h"
#include "ui/framework/window_system.h"

namespace {

constexpr int kTextLeft = 10;
constexpr int kTextHeight = 20;
constexpr int kTitleTop = 8;
constexpr int kLine1Top = 35;
constexpr int kLine2Top = 63;

CString TextOf(const wchar_t* text)
{
    return text ? CString(text) : CString();
}

// Clears every pixel outside a rectangle with rounded corners, as a window shape would.
void CutCorners(Graphics* g, const CRect& rect, int corner)
{
    const double r = corner;
    const double l = rect.left, t = rect.top, rr = rect.right, b = rect.bottom;
    cairo_save(g);
    cairo_set_fill_rule(g, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(g, l, t, rect.Width(), rect.Height());
    cairo_new_sub_path(g);
    cairo_arc(g, rr - r, t + r, r, -1.5707963267948966, 0);
    cairo_arc(g, rr - r, b - r, r, 0, 1.5707963267948966);
    cairo_arc(g, l + r, b - r, r, 1.5707963267948966, 3.141592653589793);
    cairo_arc(g, l + r, t + r, r, 3.141592653589793, 4.71238898038469);
    cairo_close_path(g);
    cairo_set_operator(g, CAIRO_OPERATOR_CLEAR);
    cairo_fill(g);
    cairo_restore(g);
}

} // namespace

CKeyboardTips::CKeyboardTips() = default;

int CKeyboardTips::OnInitDialog()
{
    if (const FontFamily* family = m_fonts.AddTempFont(L"KeyboardTips", LibraryModule(), kEmbeddedFontResId))
        m_family = family->name;
    else
        m_family = Manager::GetFontName();
    return 1;
}

CRect CKeyboardTips::PlaceFor(CPoint anchor, const CRect& workArea)
{
    int x = anchor.x - kWidth / 2;
    int y = anchor.y - kHeight;
    // Inside the work area; where it is smaller than the tip, the top-left corner stays in.
    x = std::max(std::min(x, workArea.right - kWidth), workArea.left);
    y = std::max(std::min(y, workArea.bottom - kHeight), workArea.top);
    return CRect(x, y, x + kWidth, y + kHeight);
}

int CKeyboardTips::SetAirBladderMsg(const wchar_t* title, const wchar_t* line1, const wchar_t* line2,
                                    CPoint anchor)
{
    const CString t = TextOf(title), a = TextOf(line1), b = TextOf(line2);
    if (t == m_title && a == m_line1 && b == m_line2 && anchor == m_anchor)
        return 1;
    m_title = t;
    m_line1 = a;
    m_line2 = b;
    m_anchor = anchor;
    if (m_title.empty() || !IsLive())
        return 1;
    const CRect place = PlaceFor(anchor, WindowSystem::Backend().WorkArea(anchor));
    SetWindowPos(HWND_TOPMOST, place.left, place.top, place.Width(), place.Height(), SWP_NOACTIVATE);
    InvalidateRect(nullptr, 0);
    return 1;
}

int CKeyboardTips::LoadBKImage(const CString& file)
{
    m_back = MRender::LoadImageFromFile(SkinFilePath(file));
    if (IsLive())
        InvalidateRect(nullptr, 0);
    return m_back ? 1 : 0;
}

int CKeyboardTips::LoadBKImage(unsigned resId, const CString& type)
{
    m_back = MRender::LoadImageFromIDResource(resId, type, Manager::GetInstance());
    if (IsLive())
        InvalidateRect(nullptr, 0);
    return m_back ? 1 : 0;
}

void CKeyboardTips::SetBackMode(enumBackMode mode, int param)
{
    m_backMode = mode;
    m_backParam = param;
    if (IsLive())
        InvalidateRect(nullptr, 0);
}

void CKeyboardTips::CloseWindow()
{
    PostMessageW(WM_CLOSE);
}

LRESULT CKeyboardTips::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        // No caption or sizing frame; a tool window, so no task-bar entry.
        WindowSystem::SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetStyle() & ~(WS_CAPTION | WS_THICKFRAME));
        WindowSystem::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, GetExStyle() | WS_EX_TOOLWINDOW);
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DIALOG_CLOSE:
        CloseWindow();
        return 1;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
        return 0;
    default:
        return MWindow::OnWindowMessage(msg, wParam, lParam);
    }
}

void CKeyboardTips::Paint()
{
    WindowSystem::BeginPaint(m_hWnd);
    CRect client;
    GetClientRect(&client);
    m_surface.Resize(client.Width(), client.Height());
    if (!m_surface.IsValid()) {
        WindowSystem::EndPaint(m_hWnd);
        return;
    }
    ++m_paints;
    m_surface.Fill(client, 0);
    {
        GraphicsOn g(m_surface);
        if (m_back && m_backMode == BACK_MODE_NORMAL) {
            const CRect whole(0, 0, m_back->Width(), m_back->Height());
            MRender::DrawImage(g, m_back.get(), whole, whole);
        } else {
            // Less one pixel on the right and bottom, where the picture's shadow edge would be cut.
            PaintBubbleBody(g, CRect(0, 0, client.right - 1, client.bottom - 1), m_back.get(), kBackCorner);
        }
        if (!m_title.empty()) {
            StringFormat format;
            format.alignment = StringAlignmentCenter;
            format.lineAlignment = StringAlignmentCenter;
            format.flags = StringFormatFlagsNoWrap;
            const int width = client.Width() - 2 * kTextLeft;
            const TextFont font{m_family, kTextSize, FontStyleRegular};
            const TextFont large{m_family, kLine2Size, FontStyleRegular};
            MRender::DrawString(g, m_title, font,
                                CRect(CPoint(kTextLeft, kTitleTop), CSize(width, kTextHeight)), format,
                                kTitleColour);
            MRender::DrawString(g, m_line1, font,
                                CRect(CPoint(kTextLeft, kLine1Top), CSize(width, kTextHeight)), format,
                                kLineColour);
            MRender::DrawString(g, m_line2, large,
                                CRect(CPoint(kTextLeft, kLine2Top), CSize(width, kTextHeight)), format,
                                kLineColour);
        }
        CutCorners(g, client, kShapeCorner);
    }
    WindowSystem::UpdateLayeredWindow(m_hWnd, m_surface);
    WindowSystem::EndPaint(m_hWnd);
}
