#pragma once
// MPanel: a control with children of its own and two scroll bars (children 1 and 2, a CScrollVertical
// along the right edge and a CScrollHorizontal along the bottom, 7 pixels thick). Its children live in
// content coordinates: window coordinates of the unscrolled content, so incoming points get the scroll
// offset added and repaint requests get it taken off again. A bar shows only while the content is larger
// than the panel that way.
//
// With scrolling on and content larger than the panel, the panel draws its items itself (lists, the
// keyboard view): DrawSubControls then draws only the scroll bars. Otherwise children draw themselves,
// clipped to the panel.

#include "ui/framework/m_control_font.h"

class MScroll;

class MPanel : public MControlFont {
public:
    static constexpr unsigned kVScrollId = 1;
    static constexpr unsigned kHScrollId = 2;
    static constexpr int kScrollBarSize = 7;

    MPanel(MObject* parent, unsigned id, CRect rect, int visible);

    // --- MControl ---
    int InitControl(PaintManager* manager) override;
    // A child's repaint request, shifted by the scroll offset and kept inside the panel, goes to the owner.
    long OnControlUpdate(CRect rect, int redraw, MControl* control) override;
    // Its own scroll bars' moves repaint the panel; every other notification goes on to the owner.
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    // Places the bars, resets the content size (a derived panel sets its own afterwards) and the ranges.
    void SetControlRect(CRect rect) override;
    void OnMousePointChange(CPoint& point) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    void DrawSubControls(HDC& hdc, CRect clip) override;
    // The wheel moves the vertical bar by its step while the content is taller than the panel.
    int OnControlScroll(int steps, unsigned down, CPoint point) override;

    // --- Virtual additions ---
    virtual MControl* CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title,
                                 int a, int b);
    // kind 0: an area, 1: a control; parent is the object the new control reports to.
    virtual MControl* CreateControl(unsigned kind, MObject* parent, const wchar_t* className, unsigned id,
                                    CRect rect, const wchar_t* title, int a, int b);
    virtual MControl* CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title,
                                    int a, int b);

    // --- Content and scrolling ---
    void SetVirtualSize(int width, int height);
    int GetVirtualWidth() const { return m_virtualWidth; }
    int GetVirtualHeight() const { return m_virtualHeight; }
    void EnableScroll(int on) { m_scrollOn = on; }
    int IsScrollEnabled() const { return m_scrollOn; }
    // Whether the panel draws its items itself now (scrolling on, content larger than the panel).
    bool IsScrolling() const;
    // (content width − panel width) × position ÷ range of the horizontal bar, and the same vertically.
    CPoint GetScrollOffset() const;
    MScroll* GetVScroll() const { return m_vScroll; }
    MScroll* GetHScroll() const { return m_hScroll; }
    int GetScrollBarSize() const { return m_scrollBarSize; }

protected:
    // Shows each bar only when its content exceeds the panel, and sets its range and page.
    void UpdateScrollBars();

    int m_virtualWidth = 0;
    int m_virtualHeight = 0;
    int m_scrollOn = 1;
    int m_scrollBarSize = kScrollBarSize;
    MScroll* m_vScroll = nullptr;
    MScroll* m_hScroll = nullptr;
};
