#pragma once
// CSliderPicture ("CSliderPicture"): a row of pictures shown one at a time that slide sideways to the next
// one. The pictures are the frames of the control's image strip (SetImage(file, count)). A change of
// picture slides over 300 ms on the window's animation tick (the control wants ticks only while it
// slides) and sends notification 2 with wParam = the new index. Dots at the bottom show where it is.
//
//   left press on the left (right) third → the previous (next) picture, wrapping around
//   Left / Right while focused           → the same

#include <cstdint>

#include "ui/framework/m_control_font.h"

class CSliderPicture : public MControlFont {
public:
    static constexpr int kSlideMs = 300;
    static constexpr unsigned kNotifyIndex = 2;

    CSliderPicture(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlTimer(unsigned key) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;

    int GetPictureCount() const { return m_image ? m_imageCount : 0; }
    int GetCurrent() const { return m_current; }
    // Slides to a picture (wrapping around); with animate 0 it shows it at once.
    void SlideTo(int index, int animate = 1);
    void Next() { SlideTo(m_current + 1); }
    void Prev() { SlideTo(m_current - 1); }
    bool IsSliding() const { return m_sliding; }

private:
    // How far the slide has come, 0 to 1.
    double Progress() const;

    int m_current = 0;
    int m_from = 0;
    int m_direction = 1; // +1: the new picture comes in from the right
    bool m_sliding = false;
    int64_t m_slideStart = 0;
};
