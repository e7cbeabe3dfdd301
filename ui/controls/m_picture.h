#pragma once
// MPicture ("MPicture"): the control's image (one frame of its strip, frame 0 unless SetImageIndex
// chose another) drawn by its show mode: at its natural size at the top-left corner, stretched over the
// control, or as a nine-slice with its own left, top, right and bottom borders (SetShowModeMID). A custom
// rectangle (SetCustomRect, in the frame's own coordinates) limits the part of the picture drawn; an
// empty one means the whole frame.

#include "ui/framework/m_control_font.h"

enum enumShowMode : int {
    SHOW_MODE_NORMAL = 0,  // natural size at the top-left corner
    SHOW_MODE_STRETCH = 1, // stretched over the control
    SHOW_MODE_MID = 2,     // nine-slice with the borders of SetShowModeMID
};

class MPicture : public MControlFont {
public:
    MPicture(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& hdc, CRect clip) override;

    void SetShowMode(enumShowMode mode);
    enumShowMode GetShowMode() const { return m_mode; }
    // The nine-slice borders; switches the show mode to nine-slice.
    void SetShowModeMID(int left, int top, int right, int bottom);
    void SetCustomRect(CRect rect);
    CRect GetCustomRect() const { return m_custom; }
    void SetImageIndex(int frame);
    int GetImageIndex() const { return m_frame; }

    // The part of the strip drawn: the frame, limited by the custom rectangle (in strip coordinates).
    CRect SourceRect() const;

private:
    enumShowMode m_mode = SHOW_MODE_NORMAL;
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
    CRect m_custom;
    int m_frame = 0;
};

// Draws source of the picture into dest as a nine-slice: the corners unscaled, the edges stretched
// along their length, the centre over the rest. Borders larger than the picture or the destination are
// cut to fit.
void DrawNineSlice(Graphics* g, const Image* image, const CRect& dest, const CRect& source, int left, int top,
                   int right, int bottom);
