#include "ui/controls/c_text_button.h"

#include "ui/framework/m_render.h"

CTextButton::CTextButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                         int enabled)
    : MPushControl(parent, id, rect, title, visible, enabled)
{
}

void CTextButton::SetHoverColor(ARGB colour)
{
    m_hoverColour = colour;
    Redraw();
}

void CTextButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    if (m_title.empty())
        return;
    TextFont font = DrawFont();
    if (frame == 1 || frame == 2)
        font.style |= FontStyleUnderline;
    CRect text = rect;
    if (frame == 2)
        text.OffsetRect(1, 1);
    const ARGB colour = frame == 3 ? kDisabledText : frame == 0 ? m_textColor : m_hoverColour;
    MRender::DrawString(g, m_title, font, text, TitleFormat(), colour, m_hint);
}
