#pragma once
// CTextArea ("CTextArea"): a block of text wrapped at its width, top-aligned, in the control's font and
// colour. When the text is taller than the control it scrolls: the wheel moves it by three lines, and
// while focused Up/Down move a line, PageUp/PageDown a page, Home/End to the ends; a thin bar at the
// right shows where it is. It sends nothing.

#include "ui/framework/m_control_font.h"

class CTextArea : public MControlFont {
public:
    static constexpr int kPadding = 4;
    static constexpr int kBarWidth = 3;

    CTextArea(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlScroll(int steps, unsigned down, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
    void SetControlRect(CRect rect) override;

    // The wrapped text's height.
    int GetVirtualHeight();
    int GetScrollOffset() const { return m_offset; }
    // Keeps the offset within 0…(text height − visible height).
    void ScrollTo(int offset);

private:
    int LineHeight();
    int TextWidth() const;

    int m_offset = 0;
};
