#pragma once
// CGifPicture ("CGifPicture"): plays the frames of an animated picture (its image, usually a GIF) on the
// window's animation tick. It joins the tick when it is attached and wants ticks (the run-timer flag)
// only while it runs and has more than one frame, so a stopped or still picture costs nothing. Frames
// change by the picture's own delays, measured on the window system's clock, whatever the tick's period.
// The frame is drawn centred at its natural size, scaled down when the control is smaller. Without a
// picture a spinner stands in.
//
//   SetRunState(1, f)        → runs from frame f
//   SetRunState(0, f)        → stops on frame f
//   SetMouseMoveActive(1)    → runs only while the pointer is over it (stopped on frame 0 otherwise)

#include <cstdint>

#include "ui/framework/m_control_font.h"

class CGifPicture : public MControlFont {
public:
    // Frames without a usable delay stay this long, as browsers do.
    static constexpr int kDefaultDelayMs = 100;
    static constexpr int kMinDelayMs = 20;
    static constexpr int kSpinnerSteps = 12;
    static constexpr int kSpinnerStepMs = 80;

    CGifPicture(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlTimer(unsigned key) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int SetImage(unsigned resId, CString type, int count) override;
    int SetImage(const wchar_t* file, int count) override;

    void SetRunState(int run, int frame);
    int GetRunState() const { return m_running ? 1 : 0; }
    void SetMouseMoveActive(int on);
    int GetFrame() const { return m_frame; }
    int GetFrameCount() const;

private:
    int DelayOf(int frame) const;
    void UpdateRunTimer();
    void Advance(int64_t now);
    void DrawSpinner(Graphics* g, const CRect& rect) const;

    bool m_running = true;
    int m_mouseMoveActive = 0;
    int m_frame = 0;
    int64_t m_frameStart = 0;
};
