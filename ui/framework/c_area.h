#pragma once
// CArea: a filled rectangle, usually laid over the window's background as a tinted panel. With either
// transition width set, the fill colour is blended over what lies beneath with an alpha ramp from the
// first to the last row (column, for a horizontal gradient); otherwise it is filled solid, with an
// optional 1-pixel frame.

#include "ui/framework/m_control.h"

class CArea : public MControl {
public:
    CArea(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& hdc, CRect clip) override;

    // The fill colour and the transparency percentages at the first and last row.
    void SetTransparent(int from, int to, unsigned long colour);
    void SetFrame(int on, ARGB frame, int reserved = 0);
    // 1 vertical (rows), 0 horizontal (columns).
    void SetGradientDirection(int vertical);
    COLORREF GetFillColor() const { return m_fill; }

private:
    COLORREF m_fill = 0xFFFFFF;
    int m_frameOn = 0;
    ARGB m_frame = 0xFF050505;
    int m_vertical = 1;
    int m_from = 80;
    int m_to = 80;
    Surface m_fillDC;
};
