#include "ui/controls/m_progress.h"

#include <algorithm>
#include <cairo.h>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"

MProgress::MProgress(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 2;
    m_hAlign = 1;
}

void MProgress::SetProgress(int progress)
{
    progress = std::clamp(progress, 0, m_max);
    if (progress == m_progress)
        return;
    m_progress = progress;
    UpdateControl();
}

void MProgress::SetMaxProgress(int max)
{
    m_max = std::max(max, 1);
    m_progress = std::min(m_progress, m_max);
    UpdateControl();
}

void MProgress::SetShowText(int on)
{
    m_showText = on ? 1 : 0;
    UpdateControl();
}

int MProgress::FilledWidth(int width) const
{
    return static_cast<int>(static_cast<int64_t>(width) * m_progress / m_max);
}

void MProgress::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const CRect all(0, 0, w, h);
        const int filled = FilledWidth(w);
        if (m_image && m_imageWidth > 0) {
            MRender::DrawImageFrame(g, m_image.get(), all, 0, 0, m_imageWidth, m_imageHeight, kCorner);
            if (filled > 0) {
                cairo_save(g);
                cairo_rectangle(g, 0, 0, filled, h);
                cairo_clip(g);
                MRender::DrawImageFrame(g, m_image.get(), all, std::min(m_imageCount - 1, 1) * m_imageWidth,
                                        0, m_imageWidth, m_imageHeight, kCorner);
                cairo_restore(g);
            }
        } else {
            const double radius = std::min(h / 2.0, 4.0);
            FallbackLook::RoundRect(g, all, radius, FallbackLook::kPanel, FallbackLook::kPanelEdge);
            if (filled > 0) {
                cairo_save(g);
                cairo_rectangle(g, 0, 0, filled, h);
                cairo_clip(g);
                FallbackLook::RoundRect(g, all, radius,
                                        m_enabled ? FallbackLook::kAccent : FallbackLook::kDisabledText, 0);
                cairo_restore(g);
            }
        }
        if (m_showText) {
            StringFormat format = TitleFormat();
            format.lineAlignment = StringAlignmentCenter;
            const ARGB colour = m_image ? m_textColor : FallbackLook::kTextHot;
            MRender::DrawString(g, FormatText(L"%d%%", m_progress * 100 / m_max), DrawFont(), all, format,
                                colour, m_hint);
        }
    }
    CopyMemDC(hdc, clip);
}
