#pragma once
// The colour palettes of the music visualiser. A palette has one colour (0x00BBGGRR) per canvas cell,
// 64 rows × 256 columns; row 0 is the centre-out bar, rows 1-63 run from the top down.
//
// Types: 0 black; solid 1 white, 2 red, 3 orange, 4 yellow, 5 green, 6 cyan, 7 blue, 8 violet;
// gradients 9 green-yellow-red, 10 green-white-red, 11 blue-cyan-white, 12 red-white-blue,
// 13 red-yellow-green-cyan-blue-magenta, 14 the same reversed; 15 sine rainbow across the columns,
// 16 hue sweep across the columns, 17 hue by angle around (128, 32), 18 around (128, 64), 19 one hue,
// 20 one sine-rainbow colour. Types 15-20 move with the phase.

#include <array>

#include "core/color.h"

constexpr int kCanvasRows = 64;
constexpr int kCanvasColumns = 256;
constexpr int kPaletteTypeCount = 21;

// [row][column]
using ColorPlane = std::array<std::array<COLORREF, kCanvasColumns>, kCanvasRows>;

// The channel factor k of a brightness 0-100 (clamped): trunc(brightness × 2.55), so 255 at 100.
int PaletteScale(int brightness);

// Every channel scaled as channel × k / 256.
COLORREF ScaleColor(COLORREF color, int k);

// Six-sector integer hue conversion; the hue is taken mod 360.
COLORREF HueColor(int hue, int saturation, int value);

// The sine rainbow at an angle in degrees (taken mod 360), unscaled.
COLORREF SineRainbowColor(int angle);

// Fills `palette` with the palette of `type` at `brightness` (0-100) and `phase` (degrees, 0-360).
// Types outside 0-20 are black.
void BuildPalette(int type, int brightness, double phase, ColorPlane& palette);

// Whether the palette of a type moves with the phase.
bool PaletteFollowsPhase(int type);
