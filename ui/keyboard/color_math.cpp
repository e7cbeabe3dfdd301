#include "ui/keyboard/color_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ColorMath {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

uint8_t RoundChannel(double v)
{
    return static_cast<uint8_t>(std::clamp(std::lround(v * 255.0), 0L, 255L));
}

// Truncated, as the palette field's pixels are computed.
uint8_t TruncateChannel(double v)
{
    return static_cast<uint8_t>(std::clamp(static_cast<int>(v * 255.0), 0, 255));
}

double NormalisedHue(double hue)
{
    double h = std::fmod(hue, 360.0);
    if (h < 0)
        h += 360.0;
    // fmod of a tiny negative number plus 360 can round up to 360 itself.
    return h >= 360.0 ? 0.0 : h;
}

double HslChannel(double p, double q, double t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (t < 1.0 / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

} // namespace

HueSat WheelHueSat(WheelOffset offset, double rim)
{
    const double distance = std::hypot(offset.dx, offset.dy);
    if (rim <= 0 || distance == 0)
        return {};
    // Straight up is 0°; atan2 of (x, −y) turns clockwise on a screen whose y grows downwards.
    return {NormalisedHue(std::atan2(offset.dx, -offset.dy) * kDegrees), std::min(distance / rim, 1.0)};
}

WheelOffset WheelPoint(HueSat hs, double rim)
{
    const double r = std::clamp(hs.saturation, 0.0, 1.0) * std::max(rim, 0.0);
    const double a = NormalisedHue(hs.hue) / kDegrees;
    return {r * std::sin(a), -r * std::cos(a)};
}

COLORREF WheelColor(WheelOffset offset, double rim)
{
    return HueSatToColor(WheelHueSat(offset, rim));
}

Rgb HueSatToRgb(HueSat hs)
{
    const double h = NormalisedHue(hs.hue) / 60.0;
    const double x = 1.0 - std::fabs(std::fmod(h, 2.0) - 1.0);
    static constexpr int kSectors = 6;
    const int sector = std::min(static_cast<int>(h), kSectors - 1);
    // The pure hue: one channel full, one rising or falling, one empty.
    const double pure[kSectors][3] = {{1, x, 0}, {x, 1, 0}, {0, 1, x}, {0, x, 1}, {x, 0, 1}, {1, 0, x}};
    const double s = std::clamp(hs.saturation, 0.0, 1.0);
    auto mix = [s](double c) { return 1.0 - s + s * c; };
    return {mix(pure[sector][0]), mix(pure[sector][1]), mix(pure[sector][2])};
}

COLORREF HueSatToColor(HueSat hs)
{
    const Rgb c = HueSatToRgb(hs);
    return RGB(RoundChannel(c.r), RoundChannel(c.g), RoundChannel(c.b));
}

HueSat ColorToHueSat(COLORREF colour)
{
    const double r = GetRValue(colour) / 255.0;
    const double g = GetGValue(colour) / 255.0;
    const double b = GetBValue(colour) / 255.0;
    const double max = std::max({r, g, b});
    const double delta = max - std::min({r, g, b});
    if (delta == 0)
        return {};
    double hue;
    if (max == r)
        hue = 60.0 * std::fmod((g - b) / delta, 6.0);
    else if (max == g)
        hue = 60.0 * ((b - r) / delta + 2);
    else
        hue = 60.0 * ((r - g) / delta + 4);
    return {NormalisedHue(hue), delta / max};
}

COLORREF HslToColor(double h, double s, double l)
{
    if (s <= 0) {
        const uint8_t grey = TruncateChannel(l);
        return RGB(grey, grey, grey);
    }
    h = h - std::floor(h);
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    return RGB(TruncateChannel(HslChannel(p, q, h + 1.0 / 3)), TruncateChannel(HslChannel(p, q, h)),
               TruncateChannel(HslChannel(p, q, h - 1.0 / 3)));
}

void ColorToHsl(COLORREF colour, double& h, double& s, double& l)
{
    const double r = GetRValue(colour) / 255.0;
    const double g = GetGValue(colour) / 255.0;
    const double b = GetBValue(colour) / 255.0;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    l = (max + min) / 2;
    const double d = max - min;
    if (d == 0) {
        h = s = 0;
        return;
    }
    s = l > 0.5 ? d / (2 - max - min) : d / (max + min);
    if (max == r)
        h = (g - b) / d + (g < b ? 6 : 0);
    else if (max == g)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    h /= 6;
}

} // namespace ColorMath
