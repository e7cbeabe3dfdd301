#include "ui/framework/m_air_bladder.h"

#include <cairo.h>

#include "ui/framework/image.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

namespace {

constexpr int kPad = 10;
constexpr int kMaxTextWidth = 360;
// The arrow drawn when its picture is missing.
constexpr int kFallbackArrow = 8;
constexpr ARGB kFallbackFill = 0xF0262A33;
constexpr ARGB kText = 0xFFFFFFFF;

TextFont BubbleFont()
{
    return TextFont{Manager::GetFontName(), MAirBladder::kFontSize, FontStyleRegular};
}

} // namespace

void PaintBubbleBody(Graphics* g, const CRect& rect, const Image* background, int corner)
{
    if (rect.IsRectEmpty())
        return;
    if (background) {
        MRender::DrawImageFrame(g, background, rect, 0, 0, background->Width(), background->Height(), corner);
        return;
    }
    MRender::DrawRoundRectange(g, static_cast<float>(rect.left), static_cast<float>(rect.top),
                               static_cast<float>(rect.Width()), static_cast<float>(rect.Height()),
                               static_cast<float>(std::max(rect.Width(), rect.Height())) / (2.0f * corner),
                               kFallbackFill, 0, true, kFallbackFill);
}

MAirBladder::MAirBladder(PaintManager* owner) : m_owner(owner) {}

ImgResInfo* MAirBladder::ArrowPicture() const
{
    switch (m_type) {
    case AIRBLADDER_LEFT:
        return m_owner->AddImgResInfo(L"img_tip_arrow_left.png", 1);
    case AIRBLADDER_RIGHT:
        return m_owner->AddImgResInfo(L"img_tip_arrow_right.png", 1);
    case AIRBLADDER_BOTTOM:
        return nullptr;
    default:
        return m_owner->AddImgResInfo(L"img_tip_arrow_top.png", 1);
    }
}

void MAirBladder::Layout(CRect& window, CRect& body, CRect& arrow) const
{
    const CSize text = MRender::MeasureString(BubbleFont(), m_text, kMaxTextWidth);
    const CSize bodySize(text.cx + 2 * kPad, text.cy + 2 * kPad);
    const ImgResInfo* picture = ArrowPicture();
    CSize arrowSize;
    if (m_type != AIRBLADDER_BOTTOM)
        arrowSize =
            picture ? CSize(picture->width, picture->height) : CSize(kFallbackArrow * 2, kFallbackArrow);
    if (!picture && (m_type == AIRBLADDER_LEFT || m_type == AIRBLADDER_RIGHT))
        arrowSize = CSize(kFallbackArrow, kFallbackArrow * 2);
    const CPoint p = m_point;
    switch (m_type) {
    case AIRBLADDER_LEFT:
        window =
            CRect(p.x, p.y - bodySize.cy / 2, p.x + arrowSize.cx + bodySize.cx, p.y + (bodySize.cy + 1) / 2);
        arrow = CRect(CPoint(0, (bodySize.cy - arrowSize.cy) / 2), arrowSize);
        body = CRect(CPoint(arrowSize.cx, 0), bodySize);
        break;
    case AIRBLADDER_RIGHT:
        window =
            CRect(p.x - arrowSize.cx - bodySize.cx, p.y - bodySize.cy / 2, p.x, p.y + (bodySize.cy + 1) / 2);
        arrow = CRect(CPoint(bodySize.cx, (bodySize.cy - arrowSize.cy) / 2), arrowSize);
        body = CRect(CPoint(0, 0), bodySize);
        break;
    case AIRBLADDER_BOTTOM:
        window = CRect(p.x - bodySize.cx / 2, p.y - bodySize.cy, p.x + (bodySize.cx + 1) / 2, p.y);
        arrow = CRect();
        body = CRect(CPoint(0, 0), bodySize);
        break;
    default:
        window =
            CRect(p.x - bodySize.cx / 2, p.y, p.x + (bodySize.cx + 1) / 2, p.y + arrowSize.cy + bodySize.cy);
        arrow = CRect(CPoint((bodySize.cx - arrowSize.cx) / 2, 0), arrowSize);
        body = CRect(CPoint(0, arrowSize.cy), bodySize);
        break;
    }
}

int MAirBladder::SetAirBladderMsg(const wchar_t* text, CPoint screenPoint, AIRBLADDER_TYPE type, int mode)
{
    if (!text || !*text)
        return 0;
    // The same request while it shows changes nothing (a hidden bubble is shown again).
    if (IsShown() && m_text == text && m_point == screenPoint && m_type == type && m_mode == mode)
        return 1;
    m_text = text;
    m_point = screenPoint;
    m_type = type;
    m_mode = mode;
    CRect window;
    Layout(window, m_body, m_arrow);
    if (!IsLive()) {
        const HWND owner = m_owner ? m_owner->GetPaintWnd() : nullptr;
        Create(owner, L"AirBladder Window", kStyle, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED, window);
        if (!IsLive())
            return 0;
    }
    SetWindowPos(HWND_TOPMOST, window.left, window.top, window.Width(), window.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(nullptr, 0);
    KillTimer(kHideTimer);
    if (m_type != AIRBLADDER_STAY)
        SetTimer(kHideTimer, kHideAfterMs);
    ShowWindow(SW_SHOWNOACTIVATE);
    return 1;
}

void MAirBladder::Hide()
{
    KillTimer(kHideTimer);
    if (IsShown())
        ShowWindow(SW_HIDE);
}

bool MAirBladder::IsShown() const
{
    return IsLive() && IsWindowVisible();
}

LRESULT MAirBladder::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        if (wParam == kHideTimer) {
            Hide();
            return 0;
        }
        break;
    default:
        break;
    }
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

void MAirBladder::Paint()
{
    WindowSystem::BeginPaint(m_hWnd);
    CRect client;
    GetClientRect(&client);
    m_surface.Resize(client.Width(), client.Height());
    if (m_surface.IsValid()) {
        ++m_paints;
        m_surface.Fill(client, 0);
        GraphicsOn g(m_surface);
        const ImgResInfo* background = m_owner->AddImgResInfo(L"img_tip_bk.png", 1);
        PaintBubbleBody(g, m_body, background ? background->image.get() : nullptr, kCorner);
        if (const ImgResInfo* arrow = ArrowPicture()) {
            MRender::DrawImage(g, arrow->image.get(), m_arrow, CRect(0, 0, arrow->width, arrow->height));
        } else if (!m_arrow.IsRectEmpty()) {
            // A plain triangle pointing at the anchor.
            SetSourceARGB(g, kFallbackFill);
            const CRect& a = m_arrow;
            if (m_type == AIRBLADDER_LEFT) {
                cairo_move_to(g, a.left, a.top + a.Height() / 2.0);
                cairo_line_to(g, a.right, a.top);
                cairo_line_to(g, a.right, a.bottom);
            } else if (m_type == AIRBLADDER_RIGHT) {
                cairo_move_to(g, a.right, a.top + a.Height() / 2.0);
                cairo_line_to(g, a.left, a.top);
                cairo_line_to(g, a.left, a.bottom);
            } else {
                cairo_move_to(g, a.left + a.Width() / 2.0, a.top);
                cairo_line_to(g, a.left, a.bottom);
                cairo_line_to(g, a.right, a.bottom);
            }
            cairo_close_path(g);
            cairo_fill(g);
        }
        CRect text = m_body;
        text.DeflateRect(kPad, kPad);
        StringFormat format;
        MRender::DrawString(g, m_text, BubbleFont(), text, format, kText);
    }
    if (m_surface.IsValid())
        WindowSystem::UpdateLayeredWindow(m_hWnd, m_surface);
    WindowSystem::EndPaint(m_hWnd);
}
