#include "ui/controls/c_icon_button.h"

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_air_bladder.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

CIconButton::CIconButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                         int enabled)
    : MPushControl(parent, id, rect, title, visible, enabled)
{
    m_hAlign = 1;
}

void CIconButton::SetKeyTip(const wchar_t* tip)
{
    m_keyTip = tip ? tip : L"";
    if (m_tipShown) {
        m_tipShown = false;
        ShowKeyTip(!m_keyTip.empty());
    }
}

void CIconButton::ShowKeyTip(bool show)
{
    if (show == m_tipShown || !m_manager)
        return;
    m_tipShown = show;
    if (!show) {
        if (MAirBladder* bubble = m_manager->GetAirBladder(); bubble && bubble->GetText() == m_keyTip)
            bubble->Hide();
        return;
    }
    const CRect r = GetWindowRect();
    CPoint below((r.left + r.right) / 2, r.bottom);
    WindowSystem::ClientToScreen(m_manager->GetPaintWnd(), &below);
    m_manager->SetAirBladderMsg(m_keyTip.c_str(), below, AIRBLADDER_TOP, 3);
}

int CIconButton::OnControlMouseMove(unsigned flags, CPoint point)
{
    MPushControl::OnControlMouseMove(flags, point);
    ShowKeyTip(!m_keyTip.empty() && m_enabled && PtInRect(point));
    return 0;
}

void CIconButton::SetControlVisible(int visible)
{
    MPushControl::SetControlVisible(visible);
    if (!visible)
        ShowKeyTip(false);
}

void CIconButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    if (m_image)
        DrawImageFrameAt(g, frame, rect);
    else if (frame == 1 || frame == 2)
        // The bare icon gets a soft plate under the pointer.
        FallbackLook::RoundRect(g, rect, 4, frame == 2 ? FallbackLook::kAccent : FallbackLook::kHover, 0);
    if (m_icon) {
        const CSize icon = m_icon.FrameSize();
        const CPoint at = MRender::GetOriginPoint(rect, icon.cx, icon.cy, 1, 4);
        m_icon.Draw(g, IconFrame(frame), CRect(at.x, at.y, at.x + icon.cx, at.y + icon.cy));
    } else {
        if (!m_image && frame != 1 && frame != 2)
            FallbackLook::RoundRect(g, rect, 4, 0, FallbackLook::kPanelEdge);
        DrawTitleIn(g, rect, m_image ? TitleColour(frame) : FallbackLook::ButtonText(frame));
    }
}
