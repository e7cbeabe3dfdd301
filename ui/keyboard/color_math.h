#pragma once
// The colour pickers' arithmetic, free of any drawing: the colour wheel (a point of the wheel ⇄ hue and
// saturation ⇄ COLORREF) and the hue/saturation/lightness model of the palette field.
//
// The wheel: red straight up from the centre, the hues clockwise (yellow at 60°, green 120°, cyan 180°,
// blue 240°, magenta 300°), white at the centre and the full colour from the rim outwards; saturation
// grows linearly with the distance. Every colour on it has full value (its brightest channel is 255).
// The wheel picture of the theme is drawn with these same functions, so what the user sees under the
// thumb is what the wheel reports.

#include "core/color.h"

namespace ColorMath {

// Hue in degrees, 0 ≤ hue < 360; saturation 0…1.
struct HueSat {
    double hue = 0;
    double saturation = 0;
};

// Channels 0…1.
struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

// An offset from the wheel's centre, in pixels, y growing downwards.
struct WheelOffset {
    double dx = 0;
    double dy = 0;
};

// --- The wheel ---
// The hue and saturation at an offset from the centre of a wheel whose full colours begin at `rim`
// pixels. The centre is white (hue 0, saturation 0); beyond the rim the saturation stays 1. A rim of 0
// or less gives white everywhere.
HueSat WheelHueSat(WheelOffset offset, double rim);
// Where a hue and saturation lie on such a wheel (saturation kept within 0…1).
WheelOffset WheelPoint(HueSat hs, double rim);
// The colour at an offset: WheelHueSat then HueSatToColor.
COLORREF WheelColor(WheelOffset offset, double rim);

// --- Hue and saturation at full value ---
Rgb HueSatToRgb(HueSat hs);
// Each channel rounded to the nearest of 0…255, so the six pure hues and white come out exact.
COLORREF HueSatToColor(HueSat hs);
// The hue and saturation of any colour; its value (brightness) is left out, so a dark colour maps to the
// wheel colour of the same hue and saturation. Greys (black included) give hue 0, saturation 0.
HueSat ColorToHueSat(COLORREF colour);

// --- Hue, saturation, lightness (each 0…1) ---
// The usual HSL model; each channel truncated from value × 255, and S = 0 gives the grey int(L × 255).
// A hue of 1 is the same as 0.
COLORREF HslToColor(double h, double s, double l);
// The other way, each 0…1 (hue 0 for greys).
void ColorToHsl(COLORREF colour, double& h, double& s, double& l);

} // namespace ColorMath
