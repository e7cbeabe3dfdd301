#pragma once
// MRender: the drawing helpers every control shares, as static functions without state. Surfaces are
// premultiplied ARGB (Surface); anti-aliased drawing goes through a cairo context ("graphics"); text is
// laid out with pango on the library's font configuration.

#include <cstdint>

#include "core/color.h"
#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/render_types.h"
#include "ui/framework/surface.h"
#include "ui/framework/win_types.h"

// A cairo context on a surface for the lifetime of the object.
class GraphicsOn {
public:
    explicit GraphicsOn(const Surface& surface);
    ~GraphicsOn();
    GraphicsOn(const GraphicsOn&) = delete;
    GraphicsOn& operator=(const GraphicsOn&) = delete;
    Graphics* get() const { return m_cr; }
    operator Graphics*() const { return m_cr; }

private:
    Graphics* m_cr;
};

struct SizeF {
    float width = 0;
    float height = 0;
};

class MRender {
public:
    MRender() = delete;

    // --- Pictures ---
    // Null when the file cannot be decoded. The path is in the program's form (backslashes allowed).
    static ImagePtr LoadImageFromFile(const CString& path);
    // A resource of a module (the program's or the library's); null when missing or not decodable.
    static ImagePtr LoadImageFromIDResource(unsigned id, const CString& type, HINSTANCE module);
    // The icon of a file: icon and picture files decode to themselves.
    // FIXME: the desktop's icon for other files (programs, documents) is not looked up yet; they give
    // null, and callers draw without an icon.
    static HICON LoadIconFromFile(const CString& path);

    // --- Surfaces ---
    // A top-down 32-bit ARGB surface, fully transparent; its pixels are reachable with Row().
    static Surface CreateARGB32Bitmap(int width, int height);
    // Copies a block of pixels (SRCCOPY; other operations copy too).
    static void BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                       uint32_t rop = SRCCOPY);
    // Fills opaque, replacing what is there.
    static void FillSolidRect(HDC dest, const CRect& rect, COLORREF colour);
    static void FillSolidRect(HDC dest, int x, int y, int cx, int cy, COLORREF colour);
    // Blends src over dest with one alpha for every pixel (the source's own alpha is not consulted):
    // dest = src × alpha + dest × (255 − alpha), on each channel. Sizes may differ (nearest pixel).
    static void AlphaBlend(HDC dest, const CRect& destRect, HDC src, const CRect& srcRect, uint8_t alpha);

    // --- Pictures on a graphics context ---
    // Part of a picture's first frame stretched into dest.
    static void DrawImage(Graphics* g, const Image* image, const CRect& dest, const CRect& source,
                          size_t frame = 0);
    // Part of a surface stretched into dest (bilinear when scaled).
    static void DrawSurface(Graphics* g, const Surface& surface, const CRect& dest, const CRect& source);
    // Nine-slice: the four border × border corners of the source copied unscaled, the edges stretched
    // along their length, the centre stretched over the rest.
    static void DrawImageFrame(Graphics* g, const Image* image, const CRect& dest, int srcX, int srcY,
                               int srcW, int srcH, int border);
    // The same with the middle midWidth columns of the source kept at their size in the middle of the
    // destination; the stretched parts on either side share the rest.
    static void DrawImageFrameMID(Graphics* g, const Image* image, const CRect& dest, int srcX, int srcY,
                                  int srcW, int srcH, int border, int midWidth);

    // --- Transitions ---
    // Copies src onto dest one row (vertical) or column (horizontal) at a time with a constant alpha that
    // runs from 255 × (100 − from) ÷ 100 to 255 × (100 − to) ÷ 100; row i of n gets
    // start + i × (end − start) ÷ n. Returns the last alpha used (the start alpha for an empty rectangle).
    static int DrawVerticalTransition(HDC& dest, HDC& src, CRect destRect, CRect srcRect, int from, int to);
    static int DrawHorizontalTransition(HDC& dest, HDC& src, CRect destRect, CRect srcRect, int from, int to);
    // Copies src onto dest over rect, fading the bottom-right size × size corner out radially (opaque at
    // the corner square's top-left, gone at distance size). Pixels of the key colour (0x00RRGGBB) are
    // left out.
    static void DrawRightBottomTransition(HDC& dest, HDC& src, CRect rect, int size, unsigned long keyColour);

    // --- Shapes ---
    // The corner ellipse of a rounded rectangle: w ÷ divisor by h ÷ divisor, both the smaller when their
    // halves differ by more than 10 pixels.
    static SizeF RoundRectCorner(float w, float h, float divisor);
    // Filled first (when fill), then outlined with a pen of the given colour and width.
    static void DrawRoundRectange(Graphics* g, float x, float y, float w, float h, float divisor, ARGB pen,
                                  float penWidth, bool fill, ARGB fillColour);
    static void DrawRoundRectange(Graphics* g, float x, float y, float w, float h, float divisor, ARGB pen,
                                  float penWidth);
    // steps bands from one colour to the other.
    static void DrawGradient(HDC dest, const CRect& rect, ARGB from, ARGB to, bool vertical, int steps);
    // Blends the colour over the rectangle; nothing when its alpha is 0.
    static void DrawColor(HDC dest, const CRect& rect, ARGB colour);
    // Does nothing.
    static void DrawRectangle(HDC& dest, CRect rect, int a, int b, int c);

    // --- Text ---
    // Plain text with a transparent background in a logical font (DT_* formats). With DT_CALCRECT the
    // rectangle's right and bottom become the text's extent and nothing is drawn.
    static void DrawTextW(HDC dest, CRect& rect, const wchar_t* text, COLORREF colour, HFONT font,
                          unsigned format);
    // Text laid out in a rectangle (clipped to it), wrapped at its width unless the format says no wrap.
    static void DrawString(Graphics* g, const CString& text, const TextFont& font, const CRect& layout,
                           const StringFormat& format, ARGB colour,
                           TextRenderingHint hint = TextRenderingHintClearTypeGridFit);
    // The same with the characters [markStart, markStart + markLength) of the text in markColour.
    static void DrawMarkedString(Graphics* g, const CString& text, const TextFont& font, const CRect& layout,
                                 const StringFormat& format, ARGB colour, size_t markStart, size_t markLength,
                                 ARGB markColour, TextRenderingHint hint = TextRenderingHintClearTypeGridFit);
    // The measured size of a text on one line: the outline's width rounded up, and the font's line
    // height plus 4 when it has a fraction, else plus 1. Empty text measures 0 wide.
    static CSize GetTextBounds(const TextFont& font, const CString& text);
    static CSize GetTextBounds(const TextFont& font, const StringFormat& format, const CString& text);
    static CSize GetTextBounds(const TextFont& font, const StringFormat& format, int maxWidth,
                               const CString& text);

    // The laid-out size of a text (logical extents, all lines), wrapped at maxWidth when it is positive.
    static CSize MeasureString(const TextFont& font, const CString& text, int maxWidth = 0);

    // --- Placement ---
    // Where an item of itemWidth × itemHeight goes in width × height: x = 0 (hAlign 0), centred (1) or
    // right (2), anything else 0; y = 0, centred (vAlign 4) or bottom (8), anything else 0.
    static CPoint GetOriginPoint(int width, int height, int itemWidth, int itemHeight, unsigned hAlign,
                                 unsigned vAlign);
    static CPoint GetOriginPoint(const CRect& rect, int itemWidth, int itemHeight, unsigned hAlign,
                                 unsigned vAlign);
    // Adds 1 when the colour's low 24 bits are all 0, so pure black never equals a colour key of 0.
    static void CheckAlphaColor(uint32_t& colour);

    // Writes a 32-bit bitmap file (straight alpha); 1 when written, else 0.
    static int SaveBitmapToFile(HBITMAP bitmap, const CString& path);
};

// Sets a cairo source colour from a straight ARGB word.
void SetSourceARGB(Graphics* g, ARGB colour);
