#include "ui/keyboard/m_palette.h"

#include <algorithm>
#include <cairo.h>

#include "ui/controls/fallback_look.h"
#include "ui/framework/image.h"
#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"
#include "ui/framework/skin_folder.h"
#include "ui/keyboard/circle_palette.h"
#include "ui/keyboard/color_math.h"

namespace {

constexpr int kHueSteps = 360;
constexpr int kLevels = 200;
constexpr int kBarColumn = 370;
// Space between the field and the bar, and the bar's thumb room.
constexpr int kFieldGap = 22;
constexpr int kBarRoom = 16;
constexpr int kThumbFrames = 4;

uint32_t Pixel(COLORREF c)
{
    return PremultiplyARGB(ColorRefToARGB(c));
}

} // namespace

MPalette::MPalette(MObject* parent, unsigned id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1)
{
    Layout();
    PlaceThumb();
    m_lastColor = GetSelectColor();
}

void MPalette::Layout()
{
    m_field =
        CRect(m_rect.left, m_rect.top, m_rect.right - m_barWidth - kFieldGap, m_rect.top + m_fieldHeight);
    m_bar = CRect(m_rect.right - m_barWidth - kBarRoom, m_rect.top, m_rect.right, m_rect.top + m_fieldHeight);
}

void MPalette::PlaceThumb()
{
    const int x = m_field.left + m_field.Width() * m_hue / kHueSteps;
    const int y = m_field.top + (m_lightness - kMinLightness) * m_field.Height() / (kLevels - kMinLightness);
    m_thumb = CPoint(x, std::max(y, m_field.top));
}

int MPalette::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    UpdateFieldData();
    UpdateBarData();
    return 1;
}

void MPalette::UpdateFieldData()
{
    m_pixels.Resize(kBarColumn + m_barWidth, kLevels);
    if (!m_pixels.IsValid())
        return;
    for (int i = 0; i < kLevels; ++i) {
        uint32_t* row = m_pixels.Row(i);
        for (int j = 0; j < kHueSteps; ++j)
            row[j] = Pixel(ColorMath::HslToColor(j / 360.0, 1.0, i / 200.0));
    }
    m_pixels.MarkDirty();
}

void MPalette::UpdateBarData()
{
    if (!m_pixels.IsValid())
        return;
    for (int j = 0; j < kLevels; ++j) {
        const uint32_t p = Pixel(ColorMath::HslToColor(m_hue / 360.0, j / 200.0, m_lightness / 200.0));
        uint32_t* row = m_pixels.Row(j);
        std::fill(row + kBarColumn, row + kBarColumn + m_barWidth, p);
    }
    m_pixels.MarkDirty();
}

void MPalette::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    Layout();
    PlaceThumb();
    if (m_manager) {
        UpdateFieldData();
        UpdateBarData();
    }
    UpdateControl();
}

void MPalette::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_dragField = m_dragBar = false;
    UpdateControl();
}

void MPalette::SetPalletHeight(int height)
{
    m_fieldHeight = std::max(height, 1);
    Layout();
    PlaceThumb();
    UpdateControl();
}

COLORREF MPalette::GetSelectColor() const
{
    return ColorMath::HslToColor(m_hue / 360.0, m_saturation / 200.0, m_lightness / 200.0);
}

void MPalette::SetSelectColor(unsigned long colour)
{
    const auto c = static_cast<COLORREF>(colour & 0xFFFFFF);
    double h = 0, s = 0, l = 0;
    ColorMath::ColorToHsl(c, h, s, l);
    m_hue = static_cast<int>(h * kHueSteps);
    m_saturation = static_cast<int>(s * kLevels);
    m_lightness = static_cast<int>(l * kLevels);
    m_lastColor = c;
    PlaceThumb();
    UpdateBarData();
    UpdateControl();
}

int MPalette::SetThumbImage(const wchar_t* file)
{
    m_thumbImage = file && *file ? MRender::LoadImageFromFile(SkinFilePath(file)) : nullptr;
    UpdateControl();
    return m_thumbImage ? 1 : 0;
}

void MPalette::FollowField(CPoint point)
{
    const int w = std::max(m_field.Width(), 1);
    const int h = std::max(m_field.Height(), 1);
    const int hue = std::clamp((point.x - m_field.left) * kHueSteps / w, 0, kHueSteps);
    const int lightness = std::clamp((point.y - m_field.top) * (kLevels - kMinLightness) / h + kMinLightness,
                                     kMinLightness, kLevels);
    m_thumb = CPoint(std::clamp(point.x, m_field.left, m_field.right),
                     std::clamp(point.y, m_field.top, m_field.bottom));
    if (hue != m_hue || lightness != m_lightness) {
        m_hue = hue;
        m_lightness = lightness;
        UpdateBarData();
    }
    UpdateControl();
}

void MPalette::FollowBar(CPoint point)
{
    m_saturation = std::clamp((point.y - m_bar.top) * kLevels / std::max(m_fieldHeight, 1), 0, kLevels);
    UpdateControl();
}

void MPalette::ReportIfChanged()
{
    const COLORREF c = GetSelectColor();
    if (c == m_lastColor)
        return;
    m_lastColor = c;
    SendMessageW(kNotifyColor, c, 0);
}

int MPalette::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled || !PtInRect(point))
        return 0;
    if (m_field.PtInRect(point)) {
        FollowField(point);
        m_dragField = true;
    } else if (m_bar.PtInRect(point)) {
        FollowBar(point);
        m_dragBar = true;
    }
    ReportIfChanged();
    return 1;
}

int MPalette::OnControlMouseMove(unsigned flags, CPoint point)
{
    if (!m_enabled)
        return 0;
    if (m_dragField && (flags & MK_LBUTTON)) {
        if (m_field.PtInRect(point)) {
            FollowField(point);
            // A drag across the field is a choice as much as a press: the owner hears it.
            ReportIfChanged();
        }
        return 1;
    }
    if (m_dragBar) {
        FollowBar(point);
        SendMessageW(kNotifyColor, 0, 0);
        return 1;
    }
    return 0;
}

int MPalette::OnControlLButtonUp(unsigned /*flags*/, CPoint /*point*/)
{
    const bool dragging = m_dragField || m_dragBar;
    m_dragField = m_dragBar = false;
    return dragging ? 1 : 0;
}

void MPalette::DrawBarThumb(Graphics* g, int left, int centreY) const
{
    if (m_thumbImage) {
        const int fw = m_thumbImage->Width() / kThumbFrames;
        const int fh = m_thumbImage->Height();
        // Kept inside the control, so that every repaint of the control covers it.
        const int top = std::clamp(centreY - fh / 2, 0, std::max(m_rect.Height() - fh, 0));
        MRender::DrawImage(g, m_thumbImage.get(), CRect(left, top, left + fw, top + fh), CRect(0, 0, fw, fh));
        return;
    }
    // Without its picture: a small pointer at the bar.
    const int top = std::clamp(centreY - 6, 0, std::max(m_rect.Height() - 12, 0));
    cairo_move_to(g, left, top + 6);
    cairo_line_to(g, left + 8, top);
    cairo_line_to(g, left + 8, top + 12);
    cairo_close_path(g);
    SetSourceARGB(g, FallbackLook::kTextHot);
    cairo_fill(g);
}

void MPalette::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h) && m_memDC.IsValid()) {
        {
            GraphicsOn g(m_memDC);
            CRect field = m_field;
            field.OffsetRect(-m_rect.left, -m_rect.top);
            const CRect bar(m_bar.left - m_rect.left, 0, m_bar.left - m_rect.left + m_barWidth,
                            m_fieldHeight);
            // The darkest tenth of the field is left out, as lightness starts at 20.
            MRender::DrawSurface(g, m_pixels, field, CRect(0, kMinLightness, kHueSteps, kLevels));
            MRender::DrawSurface(g, m_pixels, bar, CRect(kBarColumn, 0, kBarColumn + m_barWidth, kLevels));
            DrawPaletteThumb(g, m_thumb.x - m_rect.left - 4, m_thumb.y - m_rect.top - 4);
            DrawBarThumb(g, bar.right, m_fieldHeight * m_saturation / kLevels);
        }
        if (!m_enabled)
            MRender::DrawColor(&m_memDC, CRect(0, 0, w, h), kDisabledCover);
    }
    CopyMemDC(hdc, clip);
}
