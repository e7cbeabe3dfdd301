#include "ui/controls/c_check_button.h"

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"

namespace {

constexpr int kStandInBox = 16;

} // namespace

void DrawCheckFrame(MControlFont& control, Graphics* g, int frame, const CRect& rect, bool round,
                    ARGB titleColour)
{
    int h = 0;
    int v = 0;
    control.GetAlignment(h, v);
    const CSize box = control.GetImage() ? control.GetImageSize() : CSize(kStandInBox, kStandInBox);
    const CPoint at = MRender::GetOriginPoint(CRect(rect.left, rect.top, rect.left + box.cx, rect.bottom),
                                              box.cx, box.cy, 0, static_cast<unsigned>(v));
    const CRect boxRect(at.x, at.y, at.x + box.cx, at.y + box.cy);
    if (control.GetImage())
        control.DrawImageFrameAt(g, frame, boxRect);
    else
        FallbackLook::CheckMark(g, boxRect, frame % 4, frame >= 4, round);
    const CString& title = control.GetTitle();
    if (title.empty())
        return;
    const CRect text(boxRect.right + CCheckButton::kTitleGap, rect.top, rect.right, rect.bottom);
    MRender::DrawString(g, title, control.DrawFont(), text, control.TitleFormat(), titleColour,
                        control.GetTextRenderingHint());
}

CCheckButton::CCheckButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MPushControl(parent, id, rect, title, visible, enabled)
{
    m_imageCount = 8;
}

void CCheckButton::SetCheck(int check)
{
    check = check ? 1 : 0;
    if (check == m_check)
        return;
    m_check = check;
    UpdateControl(0, 0);
}

void CCheckButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    DrawCheckFrame(*this, g, frame, rect, false, TitleColour(frame % 4));
}

void CCheckButton::OnClick()
{
    SetCheck(!m_check);
    SendMessageW(kNotifyClick, 0, 0);
}

void CCheckButton::OnKeyClick()
{
    SetCheck(!m_check);
    SendMessageW(kNotifyKeyCheck, 0, m_check);
}
