#pragma once
// MSlider ("MSlider"): a value from min (0) to max (10) chosen with a thumb on a track. The thumb strip
// has 4 frames (SetThumbImage; 36 × 36 until one is set), frame 1 while hovered or dragged, else 0 (3
// while disabled). The track picture (SetImage) is split into an upper half, the filled part, and a lower
// half, the empty track. Without pictures a flat track and knob in the theme's colours stand in.
//
// Drawing: the empty track at (12, 15) stretched to width − 20; the filled part from (10, 15) up to the
// thumb's position + 10 (cut, never wider than the picture); the thumb at its position, top 0; with text
// on, the title followed by the progress ("%s%d") centred in the 20-pixel band at the bottom.
// Thumb left = (width − thumb width) × (progress − min) ÷ (max − min), within the track.
//
//   press on the control       → the thumb jumps to the pointer and dragging starts
//   drag to x                  → progress = min + (x − left) × (max − min + 1) ÷ (width − thumb width),
//                                within min…max; each change: repaint and notification 8 (wParam progress)
//   release                    → notification 2 (wParam progress)
//   wheel                      → ±1 (down lowers it); notification 2
//   keys while focused         → Right/Up +1, Left/Down −1, PageUp/PageDown ± a tenth of the range (at
//                                least 1), Home min, End max; notification 2 after a change
//   SetProgress(v)             → v < 0 ignored, else kept within min…max; no notification

#include "ui/controls/strip_picture.h"
#include "ui/framework/m_control_font.h"

class MSlider : public MControlFont {
public:
    static constexpr unsigned kNotifyChanging = 8;
    static constexpr unsigned kNotifyCommitted = 2;
    static constexpr int kDefaultThumb = 36;
    static constexpr int kTextBand = 20;

    MSlider(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlScroll(int steps, unsigned down, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;

    // 1 when the thumb strip loads.
    int SetThumbImage(const wchar_t* file);
    void SetProgress(int progress);
    int GetProgress() const { return m_progress; }
    void SetMinProgress(int min);
    void SetMaxProgress(int max);
    int GetMinProgress() const { return m_min; }
    int GetMaxProgress() const { return m_max; }
    void SetShowText(int on);
    // A tick mark under the track every `step` values (0: none).
    void SetScale(int step);
    CSize GetThumbSize() const;
    // The thumb's left edge, relative to the control.
    int ThumbOffset() const;
    // The progress the drag formula gives for a pointer at window x.
    int ProgressAt(int x) const;

private:
    // Sets the progress from the user's hand; true when it changed.
    bool MoveTo(int progress);
    int ThumbFrame() const;
    void DrawTrack(Graphics* g, int thumbLeft) const;
    void DrawThumb(Graphics* g, int thumbLeft) const;

    int m_min = 0;
    int m_max = 10;
    int m_progress = 0;
    int m_showText = 1;
    int m_scale = 0;
    bool m_hover = false;
    bool m_dragging = false;
    StripPicture m_thumb;
};
