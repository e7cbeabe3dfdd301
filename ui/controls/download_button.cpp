#include "ui/controls/download_button.h"

#include <algorithm>
#include <cairo.h>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"

namespace {

constexpr int kIconGap = 5;

} // namespace

DownloadButton::DownloadButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                               int enabled)
    : MPushControl(parent, id, rect, title, visible, enabled)
{
    m_hAlign = 1;
    m_fontStyle = FontStyleBold;
}

void DownloadButton::SetFrameSize(int size)
{
    m_frameSize = std::max(size, 0);
    Redraw();
}

void DownloadButton::SetTextRect(CRect rect)
{
    m_textRect = rect;
    Redraw();
}

void DownloadButton::SetDownloadProcess(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_percent)
        return;
    m_percent = percent;
    Redraw();
}

void DownloadButton::DrawFace(Graphics* g, int frame, const CRect& rect) const
{
    if (m_image && m_imageWidth > 0) {
        const int f = std::clamp(frame, 0, m_imageCount - 1);
        MRender::DrawImageFrame(g, m_image.get(), rect, f * m_imageWidth, 0, m_imageWidth, m_imageHeight,
                                m_frameSize);
    } else {
        FallbackLook::ButtonFace(g, rect, frame);
    }
}

void DownloadButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    const ARGB colour = m_image ? TitleColour(frame) : FallbackLook::ButtonText(frame);
    if (m_percent > 0) {
        DrawFace(g, 0, rect);
        const int filled = rect.Width() * m_percent / 100;
        cairo_save(g);
        cairo_rectangle(g, rect.left, rect.top, filled, rect.Height());
        cairo_clip(g);
        if (m_image)
            DrawFace(g, 1, rect);
        else
            FallbackLook::RoundRect(g, rect, 4, FallbackLook::kAccent, 0);
        cairo_restore(g);
        StringFormat format;
        format.alignment = StringAlignmentCenter;
        format.lineAlignment = StringAlignmentCenter;
        format.flags = StringFormatFlagsNoWrap;
        MRender::DrawString(g, FormatText(L"%d%%", m_percent), DrawFont(), rect, format,
                            m_image ? m_textColor : FallbackLook::kTextHot, m_hint);
        return;
    }
    DrawFace(g, frame, rect);
    CRect text = m_textRect.IsRectEmpty() ? rect : m_textRect;
    if (m_icon) {
        const CSize icon = m_icon.FrameSize();
        const int top = rect.top + (rect.Height() - icon.cy) / 2;
        const int left = text.left + 8;
        m_icon.Draw(g, IconFrame(frame), CRect(left, top, left + icon.cx, top + icon.cy));
        text.left = left + icon.cx + kIconGap;
    }
    if (frame == 2)
        text.OffsetRect(1, 1);
    DrawTitleIn(g, text, colour);
}
