#include "ui/controls/c_help_button.h"

#include <algorithm>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"

CHelpButton::CHelpButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                         int enabled)
    : MPushControl(parent, id, rect, title && *title ? title : L"?", visible, enabled)
{
    m_hAlign = 1;
    m_fontStyle = FontStyleBold;
}

void CHelpButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    if (m_image) {
        DrawImageFrameAt(g, frame, rect);
        DrawTitleIn(g, rect, TitleColour(frame));
        return;
    }
    const int d = std::min(rect.Width(), rect.Height());
    const CPoint at = MRender::GetOriginPoint(rect, d, d, 1, 4);
    const CRect circle(at.x, at.y, at.x + d, at.y + d);
    const ARGB fill = frame == 2   ? FallbackLook::kAccent
                      : frame == 1 ? FallbackLook::kHover
                                   : FallbackLook::kPanel;
    const ARGB edge = frame == 3 ? 0xFF4A4A4A : frame == 0 ? FallbackLook::kPanelEdge : FallbackLook::kAccent;
    FallbackLook::RoundRect(g, circle, d / 2.0, fill, edge);
    DrawTitleIn(g, circle, FallbackLook::ButtonText(frame));
}
