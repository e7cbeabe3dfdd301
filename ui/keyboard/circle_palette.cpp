#include "ui/keyboard/circle_palette.h"

#include <cairo.h>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "ui/framework/m_render.h"
#include "ui/keyboard/color_math.h"

namespace {

// The computed wheel reaches a little past the usable disc, as the theme's picture does.
constexpr int kDrawnRadius = CirclePalette::kWheelRadius + 4;

void Ring(Graphics* g, double left, double top, ARGB colour)
{
    constexpr double kRadius = 4;
    cairo_new_path(g);
    // A 1-pixel pen on the box's edge, as the box of an ellipse is drawn.
    cairo_arc(g, left + kRadius, top + kRadius, kRadius, 0, 2 * std::numbers::pi);
    SetSourceARGB(g, colour);
    cairo_set_line_width(g, 1);
    cairo_stroke(g);
}

} // namespace

void DrawPaletteThumb(Graphics* g, double left, double top)
{
    Ring(g, left, top, 0xFEFFFFFF);
    Ring(g, left + 1, top + 1, 0xFE808080);
}

CirclePalette::CirclePalette(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 1;
    PlaceThumbOver(m_selectColor);
}

CPoint CirclePalette::GetCenter() const
{
    return {m_rect.Width() / 2 + m_rect.left, m_rect.Height() / 2 + m_rect.top};
}

int CirclePalette::GetDistanse(CPoint point) const
{
    const CPoint c = GetCenter();
    return static_cast<int>(
        std::hypot(static_cast<double>(point.x - c.x), static_cast<double>(point.y - c.y)));
}

void CirclePalette::PlaceThumbOver(COLORREF colour)
{
    const CPoint c = GetCenter();
    const ColorMath::WheelOffset at = ColorMath::WheelPoint(ColorMath::ColorToHueSat(colour), kWheelRadius);
    const CPoint p(c.x + static_cast<int>(std::lround(at.dx)), c.y + static_cast<int>(std::lround(at.dy)));
    m_lastPoint = p;
    m_thumb = CRect(p.x - kThumbSize / 2, p.y - kThumbSize / 2, p.x + kThumbSize / 2, p.y + kThumbSize / 2);
}

void CirclePalette::SetColor(COLORREF colour)
{
    m_selectColor = colour & 0xFFFFFF;
    PlaceThumbOver(m_selectColor);
    if (m_visible)
        UpdateControl();
}

void CirclePalette::SetControlRect(CRect rect)
{
    if (rect == m_rect)
        return;
    MControlFont::SetControlRect(rect);
    // The thumb stays over the colour it shows.
    PlaceThumbOver(m_selectColor);
    if (m_visible)
        UpdateControl();
}

void CirclePalette::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_state = 0;
}

int CirclePalette::MoveThumbPos(CPoint point)
{
    if (GetDistanse(point) > kWheelRadius)
        return 0;
    m_lastPoint = point;
    const CRect thumb(point.x - kThumbSize / 2, point.y - kThumbSize / 2, point.x + kThumbSize / 2,
                      point.y + kThumbSize / 2);
    if (thumb == m_thumb)
        return 0;
    m_thumb = thumb;
    const CPoint c = GetCenter();
    m_selectColor = ColorMath::WheelColor(
        {static_cast<double>(point.x - c.x), static_cast<double>(point.y - c.y)}, kWheelRadius);
    if (m_visible)
        UpdateControl();
    SendMessageW(kNotifyColor, 0, static_cast<long>(m_selectColor));
    return 1;
}

int CirclePalette::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    if (m_state == 2) {
        const bool small = std::abs(point.x - m_lastPoint.x) <= kDragSlackX &&
                           std::abs(point.y - m_lastPoint.y) < kDragSlackY;
        if (!small)
            MoveThumbPos(point);
        return 1;
    }
    m_state = PtInRect(point) && m_thumb.PtInRect(point) ? 1 : 0;
    return 0;
}

int CirclePalette::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    if (m_thumb.PtInRect(point))
        m_state = 2;
    MoveThumbPos(point);
    return 1;
}

int CirclePalette::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    m_state = m_thumb.PtInRect(point) ? 1 : 0;
    return 1;
}

void CirclePalette::DrawComputedWheel()
{
    const CPoint c(m_rect.Width() / 2, m_rect.Height() / 2);
    const int h = m_memDC.Height();
    const int w = m_memDC.Width();
    for (int y = 0; y < h; ++y) {
        uint32_t* row = m_memDC.Row(y);
        for (int x = 0; x < w; ++x) {
            const ColorMath::WheelOffset offset{static_cast<double>(x - c.x), static_cast<double>(y - c.y)};
            if (std::hypot(offset.dx, offset.dy) > kDrawnRadius)
                continue;
            row[x] = PremultiplyARGB(ColorRefToARGB(ColorMath::WheelColor(offset, kWheelRadius)));
        }
    }
    m_memDC.MarkDirty();
}

void CirclePalette::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h) && m_memDC.IsValid()) {
        if (!m_image || m_imageWidth <= 0)
            DrawComputedWheel();
        GraphicsOn g(m_memDC);
        if (m_image && m_imageWidth > 0)
            DrawImageFrameAt(g, 0, CRect(0, 0, w, h));
        cairo_set_antialias(g, CAIRO_ANTIALIAS_DEFAULT);
        DrawPaletteThumb(g, m_thumb.left - m_rect.left, m_thumb.top - m_rect.top);
    }
    CopyMemDC(hdc, clip);
}
