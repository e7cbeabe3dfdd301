#include "ui/controls/c_switch_button.h"

#include <cairo.h>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"

CSwitchButton::CSwitchButton(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MPushControl(parent, id, rect, L"", visible, enabled)
{
    m_imageCount = 2;
}

void CSwitchButton::SetCheck(int on)
{
    on = on ? 1 : 0;
    if (on == m_on)
        return;
    m_on = on;
    UpdateControl(0, 0);
}

void CSwitchButton::OnClick()
{
    SetCheck(!m_on);
    SendMessageW(kNotifyClick, 0, m_on);
}

void CSwitchButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    const bool on = frame >= 4;
    const int state = frame % 4;
    CRect pill;
    if (m_image) {
        const CPoint at = MRender::GetOriginPoint(rect, m_imageWidth, m_imageHeight, 0, 4);
        pill = CRect(at.x, at.y, at.x + m_imageWidth, at.y + m_imageHeight);
        if (state == 3)
            cairo_push_group(g);
        DrawImageFrameAt(g, on ? 1 : 0, pill);
        if (state == 3) {
            // A disabled switch is its picture at half strength.
            cairo_pop_group_to_source(g);
            cairo_paint_with_alpha(g, 0.5);
        }
    } else {
        const CPoint at = MRender::GetOriginPoint(rect, kPillWidth, kPillHeight, 0, 4);
        pill = CRect(at.x, at.y, at.x + kPillWidth, at.y + kPillHeight);
        const ARGB track = state == 3 ? FallbackLook::kPanel
                           : on       ? FallbackLook::kAccent
                                      : FallbackLook::kPanelEdge;
        FallbackLook::RoundRect(g, pill, kPillHeight / 2.0, track, state == 1 ? FallbackLook::kTextHot : 0);
        const int knob = kPillHeight - 6;
        const int left = on ? pill.right - 3 - knob : pill.left + 3;
        const ARGB knobColour = state == 3 ? FallbackLook::kDisabledText : FallbackLook::kTextHot;
        FallbackLook::RoundRect(g, CRect(left, pill.top + 3, left + knob, pill.top + 3 + knob), knob / 2.0,
                                knobColour, 0);
    }
    if (!m_title.empty())
        DrawTitleIn(g, CRect(pill.right + 8, rect.top, rect.right, rect.bottom), TitleColour(state));
}
