#pragma once
// The drawing vocabulary controls are written against. A device context is the 32-bit surface it draws
// on; "graphics" is a cairo context on such a surface; colours are straight 0xAARRGGBB words (COLORREF
// where a control stores a plain colour). Font styles, string formats and text rendering hints keep the
// values of the drawing API the library's controls were designed on.

#include <cstdint>
#include <memory>

#include "core/color.h"
#include "core/wide_text.h"

class Surface;
class Image;
typedef struct _cairo cairo_t;

using HDC = Surface*;
using HBITMAP = Surface*;
using Graphics = cairo_t;
using ImagePtr = std::shared_ptr<Image>;
// An icon is a decoded picture; a null icon is "no icon".
using HICON = ImagePtr;

// Bits of a font style.
enum FontStyle : int {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

enum StringAlignment : int {
    StringAlignmentNear = 0,
    StringAlignmentCenter = 1,
    StringAlignmentFar = 2,
};

// String format flags that change how text is laid out here.
constexpr unsigned StringFormatFlagsMeasureTrailingSpaces = 0x0800;
constexpr unsigned StringFormatFlagsNoWrap = 0x1000;

struct StringFormat {
    StringAlignment alignment = StringAlignmentNear;     // horizontal
    StringAlignment lineAlignment = StringAlignmentNear; // vertical
    unsigned flags = 0;
    bool ellipsis = false; // end a cut line with "…"
};

enum TextRenderingHint : int {
    TextRenderingHintSystemDefault = 0,
    TextRenderingHintSingleBitPerPixelGridFit = 1,
    TextRenderingHintSingleBitPerPixel = 2,
    TextRenderingHintAntiAliasGridFit = 3,
    TextRenderingHintAntiAlias = 4,
    TextRenderingHintClearTypeGridFit = 5,
};

// A font family as the font configuration knows it: an installed family (or one of its declared
// substitutes, as Liberation Sans is for "Arial") or a private font's family.
struct FontFamily {
    CString name;
};

// A font for drawing and measuring: family, size in pixels and style bits.
struct TextFont {
    CString family;
    float size = 14.0f;
    int style = FontStyleRegular;
};

// A logical font for the plain text calls (DrawTextW): face name, height in pixels (negative: character
// height, as the controls pass it), weight and the underline and italic switches.
struct LogicalFont {
    CString faceName;
    int height = -14;
    int weight = 400;
    bool italic = false;
    bool underline = false;
};
using HFONT = const LogicalFont*;

// How a window draws its background picture.
enum enumBackMode : int {
    BACK_MODE_NORMAL = 0, // natural size at the window's origin
    BACK_MODE_FRAME = 1,  // nine-slice frame stretched over the client area
};

// DrawTextW formats.
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// Raster operation of a plain copy.
constexpr uint32_t SRCCOPY = 0x00CC0020;
