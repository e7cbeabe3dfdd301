#include "ui/controls/m_text.h"

#include <algorithm>

#include "ui/framework/m_render.h"

MText::MText(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible)
    : MControlFont(parent, id, rect, title, visible, 0, 1)
{
}

void MText::EnableMultiLine(int on)
{
    m_multiLine = on ? 1 : 0;
    UpdateControl();
}

void MText::EnableVCenter(int on)
{
    m_vCenter = on ? 1 : 0;
    UpdateControl();
}

void MText::EnableShadow(int on)
{
    m_shadow = on ? 1 : 0;
    UpdateControl();
}

void MText::EnableTextBack(int on, ARGB colour)
{
    m_textBack = on ? 1 : 0;
    m_backColour = colour;
    UpdateControl();
}

void MText::SetMarkText(const wchar_t* mark, int start)
{
    m_mark = mark ? mark : L"";
    m_markStart = std::max(start, 0);
    UpdateControl();
}

void MText::SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int start)
{
    m_mark = mark ? mark : L"";
    m_markStart = std::max(start, 0);
    SetTitle(title);
}

void MText::SetMarkColor(ARGB colour)
{
    m_markColour = colour;
    UpdateControl();
}

size_t MText::GetMarkPosition() const
{
    if (m_mark.empty() || static_cast<size_t>(m_markStart) >= m_title.size())
        return CString::npos;
    return m_title.find(m_mark, static_cast<size_t>(m_markStart));
}

CRect MText::TextRect() const
{
    CRect text(0, 0, m_rect.Width(), m_rect.Height());
    if (m_image && m_imageWidth > 0)
        text.left += m_imageWidth + kIconGap;
    return text;
}

StringFormat MText::Format() const
{
    StringFormat format = TitleFormat();
    if (m_multiLine) {
        format.flags &= ~StringFormatFlagsNoWrap;
        format.lineAlignment = m_vCenter ? StringAlignmentCenter : StringAlignmentNear;
    }
    return format;
}

int MText::GetVirtualHeight()
{
    const TextFont font = DrawFont();
    if (m_title.empty())
        return 0;
    return MRender::MeasureString(font, m_title, m_multiLine ? TextRect().Width() : 0).cy;
}

void MText::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        if (m_textBack)
            MRender::DrawColor(&m_memDC, CRect(0, 0, w, h), m_backColour);
        if (m_image && m_imageWidth > 0) {
            const int top = (h - m_imageHeight) / 2;
            DrawImageFrameAt(g, 0, CRect(0, top, m_imageWidth, top + m_imageHeight));
        }
        const CRect text = TextRect();
        const StringFormat format = Format();
        const TextFont font = DrawFont();
        if (m_shadow) {
            CRect shadow = text;
            shadow.OffsetRect(1, 1);
            MRender::DrawString(g, m_title, font, shadow, format, kShadowColour, m_hint);
        }
        const size_t mark = GetMarkPosition();
        if (mark == CString::npos)
            MRender::DrawString(g, m_title, font, text, format, m_textColor, m_hint);
        else
            MRender::DrawMarkedString(g, m_title, font, text, format, m_textColor, mark, m_mark.size(),
                                      m_markColour, m_hint);
    }
    CopyMemDC(hdc, clip);
}
