#include "ui/controls/fallback_look.h"

#include <algorithm>
#include <cairo.h>
#include <numbers>

#include "ui/framework/m_render.h"

namespace FallbackLook {

namespace {

void PathRoundRect(Graphics* g, double x, double y, double w, double h, double r)
{
    constexpr double kPi = std::numbers::pi;
    r = std::clamp(r, 0.0, std::min(w, h) / 2);
    cairo_new_sub_path(g);
    cairo_arc(g, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(g, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(g, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(g, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(g);
}

} // namespace

void RoundRect(Graphics* g, const CRect& rect, double radius, ARGB fill, ARGB edge)
{
    if (!g || rect.IsRectEmpty())
        return;
    cairo_save(g);
    if (fill >> 24) {
        PathRoundRect(g, rect.left, rect.top, rect.Width(), rect.Height(), radius);
        SetSourceARGB(g, fill);
        cairo_fill(g);
    }
    if (edge >> 24) {
        PathRoundRect(g, rect.left + 0.5, rect.top + 0.5, rect.Width() - 1.0, rect.Height() - 1.0, radius);
        SetSourceARGB(g, edge);
        cairo_set_line_width(g, 1.0);
        cairo_stroke(g);
    }
    cairo_restore(g);
}

void ButtonFace(Graphics* g, const CRect& rect, int state)
{
    switch (state) {
    case 1:
        RoundRect(g, rect, 4, kHover, kAccent);
        break;
    case 2:
        RoundRect(g, rect, 4, kAccent, kAccent);
        break;
    case 3:
        RoundRect(g, rect, 4, kPanel, 0xFF4A4A4A);
        break;
    default:
        RoundRect(g, rect, 4, kPanel, kPanelEdge);
        break;
    }
}

ARGB ButtonText(int state)
{
    return state == 3 ? kDisabledText : state == 0 ? kText : kTextHot;
}

void CheckMark(Graphics* g, const CRect& rect, int state, bool checked, bool round)
{
    const double radius = round ? rect.Width() / 2.0 : 3.0;
    const ARGB edge = state == 3 ? 0xFF4A4A4A : state == 0 ? kPanelEdge : kAccent;
    const ARGB fill = state == 2 ? kHover : kPanel;
    RoundRect(g, rect, radius, fill, edge);
    if (!checked)
        return;
    const ARGB mark = state == 3 ? kDisabledText : kAccent;
    cairo_save(g);
    if (round) {
        CRect dot = rect;
        dot.DeflateRect(rect.Width() / 4 + 1, rect.Height() / 4 + 1);
        RoundRect(g, dot, dot.Width() / 2.0, mark, 0);
    } else {
        const double x = rect.left;
        const double y = rect.top;
        const double w = rect.Width();
        const double h = rect.Height();
        cairo_move_to(g, x + w * 0.22, y + h * 0.52);
        cairo_line_to(g, x + w * 0.43, y + h * 0.72);
        cairo_line_to(g, x + w * 0.78, y + h * 0.30);
        SetSourceARGB(g, mark);
        cairo_set_line_width(g, std::max(2.0, w / 8));
        cairo_set_line_cap(g, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(g, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(g);
    }
    cairo_restore(g);
}

void Arrow(Graphics* g, const CRect& rect, bool up, ARGB colour)
{
    const double cx = (rect.left + rect.right) / 2.0;
    const double cy = (rect.top + rect.bottom) / 2.0;
    const double half = std::max(2.0, std::min(rect.Width(), rect.Height()) / 4.0);
    cairo_save(g);
    cairo_move_to(g, cx - half, up ? cy + half / 2 : cy - half / 2);
    cairo_line_to(g, cx + half, up ? cy + half / 2 : cy - half / 2);
    cairo_line_to(g, cx, up ? cy - half / 2 : cy + half / 2);
    cairo_close_path(g);
    SetSourceARGB(g, colour);
    cairo_fill(g);
    cairo_restore(g);
}

} // namespace FallbackLook
