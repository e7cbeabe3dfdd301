#include "ui/keyboard/c_color_combo.h"

#include <cairo.h>

#include "ui/framework/m_render.h"

CColorCombo::CColorCombo(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MPushControl(parent, id, rect, L"", visible, enabled)
{
}

void CColorCombo::SetControlRect(CRect rect)
{
    m_rect = rect;
}

void CColorCombo::SetAreaColor(ARGB colour)
{
    if (colour == m_areaColor)
        return;
    m_areaColor = colour;
    Redraw();
}

void CColorCombo::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    // One-pixel lines, crisp as the frame of a box is.
    cairo_set_antialias(g, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(g, rect.left, rect.top, rect.Width(), rect.Height());
    SetSourceARGB(g, m_areaColor);
    cairo_fill(g);
    // A 1-pixel line on the pixels just inside the edge.
    cairo_rectangle(g, rect.left + 0.5, rect.top + 0.5, rect.Width() - 1, rect.Height() - 1);
    SetSourceARGB(g, frame == 3 ? kDisabledFrame : kFrame);
    cairo_set_line_width(g, 1);
    cairo_stroke(g);
    if (frame != 3)
        return;
    cairo_move_to(g, rect.left + 0.5, rect.bottom - 0.5);
    cairo_line_to(g, rect.right - 0.5, rect.top + 0.5);
    SetSourceARGB(g, kDisabledCross);
    cairo_stroke(g);
}
