#include "ui/controls/c_text_area.h"

#include <algorithm>
#include <cairo.h>

#include "core/virtual_keys.h"
#include "ui/framework/m_render.h"

CTextArea::CTextArea(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1)
{
    m_tabStop = 1;
    m_vAlign = 0;
}

int CTextArea::TextWidth() const
{
    return std::max(m_rect.Width() - 2 * kPadding - kBarWidth, 1);
}

int CTextArea::GetVirtualHeight()
{
    return m_title.empty() ? 0 : MRender::MeasureString(DrawFont(), m_title, TextWidth()).cy + 2 * kPadding;
}

int CTextArea::LineHeight()
{
    return std::max(MRender::MeasureString(DrawFont(), L"Ag").cy, 1);
}

void CTextArea::ScrollTo(int offset)
{
    const int most = std::max(GetVirtualHeight() - m_rect.Height(), 0);
    offset = std::clamp(offset, 0, most);
    if (offset == m_offset)
        return;
    m_offset = offset;
    UpdateControl();
}

void CTextArea::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    ScrollTo(m_offset);
}

int CTextArea::OnControlScroll(int /*steps*/, unsigned down, CPoint /*point*/)
{
    if (GetVirtualHeight() <= m_rect.Height())
        return 0;
    ScrollTo(m_offset + (down ? 3 : -3) * LineHeight());
    return 1;
}

int CTextArea::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers)
{
    if (!m_focused || modifiers != 0)
        return 0;
    const int page = std::max(m_rect.Height() - LineHeight(), LineHeight());
    switch (key) {
    case VK_UP:
        ScrollTo(m_offset - LineHeight());
        return 1;
    case VK_DOWN:
        ScrollTo(m_offset + LineHeight());
        return 1;
    case VK_PRIOR:
        ScrollTo(m_offset - page);
        return 1;
    case VK_NEXT:
        ScrollTo(m_offset + page);
        return 1;
    case VK_HOME:
        ScrollTo(0);
        return 1;
    case VK_END:
        ScrollTo(GetVirtualHeight());
        return 1;
    default:
        return 0;
    }
}

void CTextArea::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const int total = GetVirtualHeight();
        StringFormat format = TitleFormat();
        format.flags &= ~StringFormatFlagsNoWrap;
        format.lineAlignment = StringAlignmentNear;
        // Laid out at its full height and moved up by the offset; the control's edge clips it.
        const CRect text(kPadding, kPadding - m_offset, kPadding + TextWidth(),
                         std::max(total, h) - m_offset);
        cairo_save(g);
        cairo_rectangle(g, 0, 0, w, h);
        cairo_clip(g);
        MRender::DrawString(g, m_title, DrawFont(), text, format, m_enabled ? m_textColor : 0xFF808080,
                            m_hint);
        cairo_restore(g);
        if (total > h) {
            const int bar = std::max(h * h / total, 8);
            const int top = (h - bar) * m_offset / std::max(total - h, 1);
            MRender::DrawColor(&m_memDC, CRect(w - kBarWidth, top, w, top + bar), 0x80C8C8C8);
        }
    }
    CopyMemDC(hdc, clip);
}
