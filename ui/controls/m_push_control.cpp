#include "ui/controls/m_push_control.h"

#include <algorithm>
#include <cairo.h>

#include "core/virtual_keys.h"
#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"

MPushControl::MPushControl(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1), m_state(enabled ? 0 : 3)
{
    m_tabStop = 1;
    SetCursorEx(IDC_HAND);
}

int MPushControl::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    m_icon.Reload(manager);
    return 1;
}

int MPushControl::SetIconImage(const wchar_t* file, int count)
{
    const bool loaded = m_icon.Load(m_manager, file ? file : L"", count);
    Redraw();
    return loaded ? 1 : 0;
}

void MPushControl::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    const int n = StateFrameCount();
    const bool stale = UpdateMemDC(hdc, w, h);
    if (!m_memDC.IsValid())
        return;
    if (stale || m_frames.Width() != w * n || m_frames.Height() != h) {
        m_frames.Resize(w * n, h);
        if (!m_frames.IsValid())
            return;
        for (int i = 0; i < n; ++i)
            MRender::BitBlt(&m_frames, i * w, 0, w, h, &m_memDC, 0, 0);
        GraphicsOn g(m_frames);
        for (int i = 0; i < n; ++i) {
            cairo_save(g);
            cairo_rectangle(g, i * w, 0, w, h);
            cairo_clip(g);
            cairo_translate(g, i * w, 0);
            DrawStateFrame(g, i, CRect(0, 0, w, h));
            cairo_restore(g);
        }
    }
    CRect area;
    if (!hdc || !area.IntersectRect(m_rect, clip))
        return;
    const int frame = std::clamp(CurrentFrame(), 0, n - 1);
    MRender::BitBlt(hdc, area.left, area.top, area.Width(), area.Height(), &m_frames,
                    frame * w + area.left - m_rect.left, area.top - m_rect.top);
}

void MPushControl::SetState(int state)
{
    if (!m_enabled)
        state = 3;
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(0, 0);
}

void MPushControl::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_down = false;
    m_state = enabled ? 0 : 3;
}

int MPushControl::OnControlSetCursor(unsigned flags, CPoint point)
{
    // A disabled control does not offer itself; a point outside puts the arrow back if the hand showed.
    return MControlFont::OnControlSetCursor(flags, m_enabled ? point : CPoint(-1, -1));
}

int MPushControl::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled || m_down)
        return 0;
    SetState(PtInRect(point) ? 1 : 0);
    return 0;
}

int MPushControl::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled || !PtInRect(point))
        return 0;
    m_down = true;
    SetState(2);
    OnPress();
    return 1;
}

int MPushControl::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    if (!m_down)
        return 0;
    m_down = false;
    const bool inside = PtInRect(point) != 0;
    SetState(inside ? 1 : 0);
    if (inside && m_enabled)
        OnClick();
    return 1;
}

int MPushControl::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers)
{
    if (!m_enabled || !m_visible)
        return 0;
    const bool accelerator = m_accelKey != 0 && key == m_accelKey && modifiers == m_accelModifiers;
    const bool focusedClick = m_focused && modifiers == 0 && (key == VK_SPACE || key == VK_RETURN);
    if (!accelerator && !focusedClick)
        return 0;
    OnKeyClick();
    return 1;
}

void MPushControl::SetAccelerator(unsigned key, unsigned modifiers)
{
    m_accelKey = key;
    m_accelModifiers = modifiers;
}

void MPushControl::DrawTitleIn(Graphics* g, const CRect& rect, ARGB colour)
{
    if (!m_title.empty())
        MRender::DrawString(g, m_title, DrawFont(), rect, TitleFormat(), colour, m_hint);
}
