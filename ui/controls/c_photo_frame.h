#pragma once
// CPhotoFrame ("CPhotoFrame"): a picture in a frame. The photo (the control's image, or any picture file
// given to LoadPhoto) is fitted inside the frame with its proportions kept and centred; the frame is a
// skin picture nine-sliced over the control (SetFrameImage), or a thin mat in the theme's colours. A
// left press inside sends notification 1.

#include "ui/controls/strip_picture.h"
#include "ui/framework/m_control_font.h"

class CPhotoFrame : public MControlFont {
public:
    static constexpr int kDefaultBorder = 8;

    CPhotoFrame(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;

    // A picture file by its path (not the skin folder); 1 when it loads.
    int LoadPhoto(const CString& path);
    // The frame picture (nine-sliced with the border as corner size) and the photo's inset.
    int SetFrameImage(const wchar_t* file, int border = kDefaultBorder);
    void SetFrameBorder(int border);
    int GetFrameBorder() const { return m_border; }
    // Where the photo is drawn, in the control's own coordinates.
    CRect PhotoRect() const;

private:
    StripPicture m_frame;
    int m_border = kDefaultBorder;
};
