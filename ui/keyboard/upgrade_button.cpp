#include "ui/keyboard/upgrade_button.h"

#include <algorithm>
#include <cairo.h>
#include <numbers>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"

UpgradeButton::UpgradeButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                             int enabled)
    : MPushControl(parent, id, rect, title, visible, enabled)
{
    m_hAlign = 1;
    m_fontStyle = FontStyleBold;
}

void UpgradeButton::SetUpgradeStatus(int status)
{
    if (status == m_status)
        return;
    m_status = status;
    Redraw();
}

void UpgradeButton::SetFrameSize(int size)
{
    m_corner = std::max(size, 0);
    Redraw();
}

void UpgradeButton::DrawBadge(Graphics* g, const CRect& rect)
{
    const double r = kBadgeSize / 2.0;
    cairo_new_path(g);
    cairo_arc(g, rect.right - r, rect.top + r, r, 0, 2 * std::numbers::pi);
    SetSourceARGB(g, kBadgeColor);
    cairo_fill(g);
    StringFormat format;
    format.alignment = StringAlignmentCenter;
    format.lineAlignment = StringAlignmentCenter;
    format.flags = StringFormatFlagsNoWrap;
    TextFont font = DrawFont();
    font.size = kBadgeFontSize;
    const CRect text(rect.right - kBadgeSize + 1, rect.top + 1, rect.right + 1, rect.top + 1 + kBadgeSize);
    MRender::DrawString(g, L"1", font, text, format, m_textColor, m_hint);
}

void UpgradeButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    ARGB colour = TitleColour(frame);
    if (m_image && m_imageWidth > 0) {
        const int f = std::clamp(frame, 0, m_imageCount - 1);
        if (m_imageWidth == rect.Width() && m_imageHeight == rect.Height())
            DrawImageFrameAt(g, f, rect);
        else
            MRender::DrawImageFrame(g, m_image.get(), rect, f * m_imageWidth, 0, m_imageWidth, m_imageHeight,
                                    m_corner);
    } else {
        FallbackLook::ButtonFace(g, rect, frame);
        colour = FallbackLook::ButtonText(frame);
    }
    CRect text = rect;
    if (frame == 2)
        text.OffsetRect(1, 1);
    DrawTitleIn(g, text, colour);
    if (m_status != 0)
        DrawBadge(g, rect);
}
