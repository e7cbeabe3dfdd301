#include "ui/controls/m_button.h"

#include "ui/framework/m_render.h"

namespace {

constexpr int kIconMargin = 8;
constexpr int kIconGap = 5;

} // namespace

MButton::MButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MPushControl(parent, id, rect, title, visible, enabled)
{
    m_hAlign = 1;
}

void MButton::DrawFace(Graphics* g, int frame, const CRect& rect) const
{
    if (m_image)
        DrawImageFrameAt(g, frame, rect);
    else
        FallbackLook::ButtonFace(g, rect, frame);
}

void MButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    DrawFace(g, frame, rect);
    CRect text = rect;
    if (m_icon) {
        const CSize icon = m_icon.FrameSize();
        const int top = rect.top + (rect.Height() - icon.cy) / 2;
        // Alone the icon takes the middle; with a title it stands at the left of it.
        const int left = m_title.empty() ? rect.left + (rect.Width() - icon.cx) / 2 : rect.left + kIconMargin;
        m_icon.Draw(g, IconFrame(frame), CRect(left, top, left + icon.cx, top + icon.cy));
        text.left = left + icon.cx + kIconGap;
    }
    if (frame == 2)
        text.OffsetRect(1, 1);
    DrawTitleIn(g, text, FaceTextColour(frame));
}

CImageButton::CImageButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MButton(parent, id, rect, title, visible, enabled)
{
}

void CImageButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    DrawFace(g, frame, rect);
    if (m_icon) {
        const CSize icon = m_icon.FrameSize();
        const int left = rect.left + (rect.Width() - icon.cx) / 2 + 2;
        const int top = rect.top + (rect.Height() - icon.cy) / 2 - 4;
        m_icon.Draw(g, IconFrame(frame), CRect(left, top, left + icon.cx, top + icon.cy));
    }
    DrawTitleIn(g, rect, FaceTextColour(frame));
}
