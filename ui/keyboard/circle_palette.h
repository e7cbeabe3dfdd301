#pragma once
// CirclePalette ("CirclePalette"): the colour wheel of the lighting page. The user clicks or drags a
// 10 × 10 thumb over the wheel picture (its image, "img_circlepalette.png", stretched over the control);
// the colour under the thumb is reported as a COLORREF (red in the low byte). The usable disc has a radius
// of kWheelRadius pixels around the control's centre; the colour of a point is the wheel's arithmetic
// (color_math.h), the same the theme's picture is drawn with. Without a picture the wheel is drawn from
// that arithmetic.
//
// Input (enabled only):
//   left press anywhere            → the thumb goes to the point; a press inside the thumb starts a drag
//   move while dragging            → the thumb follows, except for moves of at most 5 pixels across and
//                                    under 6 down or up from where it was last placed
//   move otherwise                 → state 1 over the thumb, else 0 (the look does not change)
//   release                        → the drag ends
// A point more than kWheelRadius pixels from the centre is ignored. Each move of the thumb to a new
// place sends notification 27 with lParam = the colour. SetColor places the thumb without notifying.

#include "ui/framework/m_control_font.h"

class CirclePalette : public MControlFont {
public:
    static constexpr unsigned kNotifyColor = 27;
    static constexpr int kWheelRadius = 65;
    static constexpr int kThumbSize = 10;
    // Drag moves smaller than this are ignored: at most kDragSlackX across, under kDragSlackY up or down.
    static constexpr int kDragSlackX = 5;
    static constexpr int kDragSlackY = 6;
    static constexpr COLORREF kInitialColor = 255;

    CirclePalette(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    // --- MControl ---
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;

    // --- The colour ---
    COLORREF GetSelectColor() const { return m_selectColor; }
    COLORREF GetColor() const { return m_selectColor; }
    // Takes the colour and puts the thumb where the wheel shows its hue and saturation (a colour darker
    // than the wheel's goes to the wheel colour of its hue and saturation); no notification.
    void SetColor(COLORREF colour);

    // Moves the thumb to a point of the wheel, picks its colour and notifies; 1 when the thumb moved, 0
    // when the point is off the wheel or the thumb is already there.
    int MoveThumbPos(CPoint point);
    // The distance of a point from the control's centre, truncated.
    int GetDistanse(CPoint point) const;
    CPoint GetCenter() const;
    CRect GetThumbRect() const { return m_thumb; }
    // 0 normal, 1 over the thumb, 2 dragging.
    int GetState() const { return m_state; }

private:
    void PlaceThumbOver(COLORREF colour);
    void DrawComputedWheel();

    CRect m_thumb;
    int m_state = 0;
    COLORREF m_selectColor = kInitialColor;
    CPoint m_lastPoint;
};

// The palettes' thumb: two 8 × 8 rings, white with its bounding box at (left, top) and grey one pixel
// further right and down.
void DrawPaletteThumb(Graphics* g, double left, double top);
