#pragma once
// MText ("MText"): a label. Created disabled, so it never takes clicks (the window drags under it). It
// draws its title with the control's font, colour and alignment: on one line by default, or wrapped at
// its width (EnableMultiLine), then top-aligned unless EnableVCenter centres the lines. Options: a
// 1-pixel shadow (0xFF505050) under the text, a background fill (EnableTextBack, default 0xFF008000), an
// icon (the control's image, frame 0) at the left, vertically centred, with the text moved right by the
// icon's width + 5, and a "mark": a part of the title, found from a start position, drawn in its own
// colour (default 0xFFED801B).

#include "ui/framework/m_control_font.h"

class MText : public MControlFont {
public:
    static constexpr ARGB kShadowColour = 0xFF505050;
    static constexpr ARGB kDefaultBackColour = 0xFF008000;
    static constexpr ARGB kDefaultMarkColour = 0xFFED801B;
    static constexpr int kIconGap = 5;

    MText(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible);

    void DrawControl(HDC& hdc, CRect clip) override;

    void EnableMultiLine(int on);
    void EnableVCenter(int on);
    void EnableShadow(int on);
    void EnableTextBack(int on, ARGB colour = kDefaultBackColour);
    // The mark: the first occurrence of mark in the title at or after start (none when it is not there).
    void SetMarkText(const wchar_t* mark, int start = 0);
    // Title and mark together.
    void SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int start = 0);
    void SetMarkColor(ARGB colour);
    // Where the mark is in the title, or npos.
    size_t GetMarkPosition() const;
    // The height of the text as drawn: all wrapped lines when multi-line, else one line.
    int GetVirtualHeight();

private:
    CRect TextRect() const;
    StringFormat Format() const;

    int m_multiLine = 0;
    int m_vCenter = 0;
    int m_shadow = 0;
    int m_textBack = 0;
    ARGB m_backColour = kDefaultBackColour;
    CString m_mark;
    int m_markStart = 0;
    ARGB m_markColour = kDefaultMarkColour;
};
