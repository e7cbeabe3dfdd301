#include "ui/framework/c_area.h"

#include "ui/framework/m_render.h"

CArea::CArea(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControl(parent, id, rect, visible, enabled, 1)
{
}

void CArea::SetTransparent(int from, int to, unsigned long colour)
{
    m_from = from;
    m_to = to;
    m_fill = static_cast<COLORREF>(colour) & 0x00FFFFFF;
    UpdateControl();
}

void CArea::SetFrame(int on, ARGB frame, int /*reserved*/)
{
    m_frameOn = on;
    m_frame = frame;
    UpdateControl();
}

void CArea::SetGradientDirection(int vertical)
{
    m_vertical = vertical;
    UpdateControl();
}

void CArea::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        const CRect all(0, 0, w, h);
        if (m_from || m_to) {
            m_fillDC.Resize(w, h);
            m_fillDC.Fill(all, ColorRefToARGB(m_fill));
            HDC dest = &m_memDC;
            HDC src = &m_fillDC;
            if (m_vertical)
                MRender::DrawVerticalTransition(dest, src, all, all, m_from, m_to);
            else
                MRender::DrawHorizontalTransition(dest, src, all, all, m_from, m_to);
        } else {
            m_memDC.Fill(all, ColorRefToARGB(m_fill));
            if (m_frameOn) {
                m_memDC.Fill({0, 0, w, 1}, m_frame);
                m_memDC.Fill({0, h - 1, w, h}, m_frame);
                m_memDC.Fill({0, 0, 1, h}, m_frame);
                m_memDC.Fill({w - 1, 0, w, h}, m_frame);
            }
        }
    }
    CopyMemDC(hdc, clip);
}
