#include "ui/controls/menu_item.h"
#include "ui/controls/fallback_look.h"

#include <cairo.h>

#include "ui/controls/menu_wnd.h"
#include "ui/framework/m_render.h"

namespace {

constexpr int kSeparatorInset = 4;

} // namespace

MenuItem::MenuItem(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1)
{
}

MenuWnd* MenuItem::Menu() const
{
    return dynamic_cast<MenuWnd*>(m_parent);
}

int MenuItem::TextLeft() const
{
    return MenuWnd::kTextMargin + kGlyphWidth;
}

void MenuItem::SetCheckable(bool on)
{
    m_checkable = on;
    UpdateControl();
}

void MenuItem::SetCheck(int check)
{
    m_check = check ? 1 : 0;
    UpdateControl();
}

void MenuItem::Toggle()
{
    SetCheck(!m_check);
    SendMessageW(kNotifyCheck, 0, m_check);
}

void MenuItem::SetHot(bool hot)
{
    if (hot == m_hot)
        return;
    m_hot = hot;
    UpdateControl();
}

void MenuItem::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    if (!enabled && m_hot) {
        if (MenuWnd* menu = Menu())
            menu->SetHotItem(nullptr);
    }
}

void MenuItem::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        if (m_separator) {
            SetSourceARGB(g, FallbackLook::kPanelEdge);
            cairo_rectangle(g, kSeparatorInset, h / 2, w - 2 * kSeparatorInset, 1);
            cairo_fill(g);
        } else {
            if (m_hot && m_enabled)
                MRender::DrawColor(&m_memDC, CRect(0, 0, w, h), MenuWnd::kHoverColour);
            const ARGB text = m_enabled ? m_textColor : FallbackLook::kDisabledText;
            const int glyphLeft = MenuWnd::kTextMargin;
            if (m_image && m_imageWidth > 0) {
                const int frame = !m_enabled ? 3 : m_down ? 2 : m_hot ? 1 : 0;
                const int top = (h - m_imageHeight) / 2;
                DrawImageFrameAt(g, frame,
                                 CRect(glyphLeft, top, glyphLeft + m_imageWidth, top + m_imageHeight));
            } else if (m_checkable && m_check) {
                const double cx = glyphLeft + kGlyphWidth / 2.0 - 2;
                const double cy = h / 2.0;
                SetSourceARGB(g, text);
                cairo_set_line_width(g, 2);
                cairo_move_to(g, cx - 5, cy);
                cairo_line_to(g, cx - 1, cy + 4);
                cairo_line_to(g, cx + 6, cy - 4);
                cairo_stroke(g);
            }
            const int right = m_popup ? w - kArrowWidth : w - 4;
            DrawTitle(g, CRect(TextLeft(), 0, right, h));
            if (m_popup) {
                const double cx = w - kArrowWidth / 2.0;
                const double cy = h / 2.0;
                SetSourceARGB(g, text);
                cairo_set_line_width(g, 1.5);
                cairo_move_to(g, cx - 2, cy - 5);
                cairo_line_to(g, cx + 3, cy);
                cairo_line_to(g, cx - 2, cy + 5);
                cairo_stroke(g);
            }
        }
    }
    CopyMemDC(hdc, clip);
}

int MenuItem::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    MenuWnd* menu = Menu();
    if (!menu)
        return 0;
    const bool inside = PtInRect(point) != 0;
    if (inside && IsSelectable())
        menu->SetHotItem(this);
    // The pointer left for nowhere; a row whose nested menu is open stays lit.
    else if (!inside && m_hot && !(m_popup && menu->GetOpenSubMenu() == m_popup))
        menu->SetHotItem(nullptr);
    if (!inside && m_down) {
        m_down = false;
        UpdateControl();
    }
    return 0;
}

int MenuItem::OnControlLButtonDown(unsigned /*flags*/, CPoint /*point*/)
{
    if (!IsSelectable())
        return 0;
    if (m_checkable) {
        Toggle();
        return 1;
    }
    m_down = true;
    UpdateControl();
    return 1;
}

int MenuItem::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    const bool click = m_down && PtInRect(point);
    m_down = false;
    UpdateControl();
    if (click)
        SendMessageW(kNotifyClick, 0, static_cast<long>(m_id));
    return 1;
}
