#pragma once
// Scroll bars: MScroll and its two orientations, as panels use them (children 1 and 2 of every panel,
// 7 pixels thick). The position runs from 0 to the range; the thumb's length follows the visible part
// (the page) of the content. Pictures: the thumb strip of the window's scroll-bar resource (4 frames:
// normal, hovered, pressed, disabled), or "img_scroll_v.png" / "img_scroll_h.png" with one frame when
// the window has no resource id set. The track is a faint rounded strip under the thumb, so a bar on its
// own is seen as one.
//
// Input:
//   press on the thumb        → dragging; the position follows the pointer along the track
//   press on the track        → one page towards the pointer
//   wheel                     → one step (down: towards the end)
// Every change of position made by the user sends notification 8 (wParam = the position) to the owner.

#include <algorithm>

#include "ui/framework/m_control_font.h"

class MScroll : public MControlFont {
public:
    static constexpr unsigned kNotifyPosition = 8;
    static constexpr int kMinThumb = 16;
    static constexpr int kDefaultStep = 20;
    static constexpr ARGB kTrackColour = 0x1EFFFFFF;

    MScroll(MObject* parent, unsigned id, CRect rect, int visible, bool vertical);

    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlScroll(int steps, unsigned down, CPoint point) override;
    void SetControlEnabled(int enabled) override;

    // The largest position (0 or more); the position is kept inside.
    void SetScrollMaxRange(int range);
    int GetScrollMaxRange() const { return m_range; }
    // The visible part of the content, in the position's units.
    void SetScrollSize(int page);
    int GetScrollSize() const { return m_page; }
    // Moves without notification (clamped to 0…range); repaints when it changed.
    void SetScrollCurrentPos(int pos);
    int GetScrollCurrentPos() const { return m_pos; }
    // Moves to the end (no notification).
    void SetScrollFinalPos();
    // Moves by rows × step and notifies when the position changed.
    void ScrollRow(int rows);
    void SetScrollInfo(int range, int page, int pos);
    void SetStep(int step) { m_step = std::max(step, 1); }
    int GetStep() const { return m_step; }
    bool IsVertical() const { return m_vertical; }
    CRect GetThumbRect() const;

private:
    int TrackLength() const;
    int ThumbLength() const;
    void SetState(int state);
    // Moves to pos; with notify, tells the owner when it changed.
    void MoveTo(int pos, bool notify);

    bool m_vertical;
    int m_range = 0;
    int m_page = 0;
    int m_pos = 0;
    int m_step = kDefaultStep;
    int m_state = 0; // picture frame: 0 normal, 1 hovered, 2 pressed, 3 disabled
    bool m_dragging = false;
    int m_grab = 0; // where in the thumb the drag took hold
};

class CScrollVertical : public MScroll {
public:
    CScrollVertical(MObject* parent, unsigned id, CRect rect, int visible);
};

class CScrollHorizontal : public MScroll {
public:
    CScrollHorizontal(MObject* parent, unsigned id, CRect rect, int visible);
};
