#include "ui/keyboard/c_color_button.h"

#include <cairo.h>

#include "ui/controls/control_helpers.h"
#include "ui/framework/image.h"
#include "ui/framework/m_render.h"

namespace {

void Fill(Graphics* g, const CRect& r, ARGB colour)
{
    if (r.IsRectEmpty())
        return;
    cairo_rectangle(g, r.left, r.top, r.Width(), r.Height());
    SetSourceARGB(g, colour);
    cairo_fill(g);
}

CRect Inset(CRect r, int by)
{
    r.DeflateRect(by, by);
    return r;
}

} // namespace

CColorButton::CColorButton(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MPushControl(parent, id, rect, L"", visible, enabled)
{
}

int CColorButton::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled || m_down)
        return 0;
    const int before = m_state;
    SetState(PtInRect(point) ? 1 : 0);
    return m_state != before ? 1 : 0;
}

void CColorButton::SetColor(unsigned long colour)
{
    const auto c = static_cast<COLORREF>(colour & 0xFFFFFF);
    if (c == m_color)
        return;
    m_color = c;
    Redraw();
}

void CColorButton::SetGroupName(const wchar_t* name)
{
    m_group = name ? name : L"";
}

void CColorButton::SetVisibleBorder(bool on)
{
    if (on == m_visibleBorder)
        return;
    m_visibleBorder = on;
    Redraw();
}

int CColorButton::SetCheck(int check)
{
    if (!m_enabled)
        return m_check;
    const int flag = check ? 1 : 0;
    const bool changed = flag != m_check;
    m_check = flag;
    m_state = flag ? 2 : 0;
    if (changed)
        ResetGroupCheck();
    UpdateControl(0, 0);
    return m_check;
}

void CColorButton::SetControlCheck(int check)
{
    m_check = check ? 1 : 0;
    // A disabled swatch keeps showing so.
    m_state = !m_enabled ? 3 : m_check ? 2 : 0;
    UpdateControl(0, 0);
}

int CColorButton::ResetGroupCheck()
{
    if (!m_parent)
        return 0;
    for (MControl* c : SiblingControls(*this)) {
        if (c == this || !c->IsClass(L"ColorButton") || !c->IsVisible() || !c->IsEnabled())
            continue;
        auto* swatch = dynamic_cast<CColorButton*>(c);
        if (!swatch || swatch->m_group != m_group)
            continue;
        swatch->m_check = 0;
        swatch->m_state = 0;
        swatch->UpdateControl(0, 0);
    }
    return 1;
}

void CColorButton::OnPress()
{
    m_check = 1;
    ResetGroupCheck();
    UpdateControl(0, 0);
    SendMessageW(kNotifyPress);
}

void CColorButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    const ARGB colour = ColorRefToARGB(m_color);
    if (m_visibleBorder) {
        Fill(g, rect, kBorderLight);
        Fill(g, Inset(rect, 1), kBorderDark);
        Fill(g, Inset(rect, 3), colour);
        return;
    }
    if (m_image)
        // The whole strip in every frame: a rainbow picture is one drawing across its frames.
        MRender::DrawImage(g, m_image.get(), rect, CRect(0, 0, m_image->Width(), m_image->Height()));
    else
        Fill(g, Inset(rect, 2), colour);
    if (frame == 0)
        return;
    cairo_rectangle(g, rect.left + 1, rect.top + 1, rect.Width() - 2, rect.Height() - 2);
    SetSourceARGB(g, kOutline);
    cairo_set_line_width(g, 2);
    cairo_stroke(g);
}
