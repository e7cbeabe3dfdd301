#include "lighting/palette.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kOrange = 0x0040FF;
constexpr COLORREF kYellow = 0x00FFFF;
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kCyan = 0xFFFF00;
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kViolet = 0xFF0040;
constexpr COLORREF kMagenta = 0xFF00FF;

constexpr std::array<COLORREF, 9> kSolid = {0, kWhite, kRed, kOrange, kYellow, kGreen, kCyan, kBlue, kViolet};

constexpr std::array<COLORREF, 3> kGreenYellowRed = {kGreen, kYellow, kRed};
constexpr std::array<COLORREF, 3> kGreenWhiteRed = {kGreen, kWhite, kRed};
constexpr std::array<COLORREF, 3> kBlueCyanWhite = {kBlue, kCyan, kWhite};
constexpr std::array<COLORREF, 3> kRedWhiteBlue = {kRed, kWhite, kBlue};
constexpr std::array<COLORREF, 6> kRainbow = {kRed, kYellow, kGreen, kCyan, kBlue, kMagenta};
constexpr std::array<COLORREF, 6> kRainbowReversed = {kMagenta, kBlue, kCyan, kGreen, kYellow, kRed};

// The angle step of the sine rainbow: 360 degrees over 255 columns.
constexpr double kSineColumnStep = 1.4117647;
constexpr double kSineShift = 2.0933335;

int FloorMod360(long long value)
{
    const long long r = value % 360;
    return static_cast<int>(r < 0 ? r + 360 : r);
}

// Column colours repeated down every row.
void FillColumns(const std::array<COLORREF, kCanvasColumns>& columns, ColorPlane& palette)
{
    for (auto& row : palette)
        row = columns;
}

void FillGradient(std::span<const COLORREF> base, int k, ColorPlane& palette)
{
    const int n = static_cast<int>(base.size());
    std::array<COLORREF, 6> colors{};
    for (int c = 0; c < n; ++c)
        colors[c] = ScaleColor(base[c], k);
    // Row j >= 1: colour trunc(n - n·j/63), the last colour at the top, the first at the bottom.
    for (int j = 1; j < kCanvasRows; ++j)
        palette[j].fill(colors[n - (n * j + 62) / 63]);
    // Row 0 spreads from the centre: colour 0 at the middle columns, the last at both edges.
    for (int i = 0; i < kCanvasColumns; ++i) {
        const int index = i <= 127 ? std::min(n - (n * i + 127) / 128, n - 1) : (i - 128) * n / 128;
        palette[0][i] = colors[index];
    }
}

int Trunc(double value)
{
    return static_cast<int>(std::trunc(value));
}

int SineColumnAngle(int column, double phase)
{
    return FloorMod360(Trunc(column * kSineColumnStep - phase));
}

// The angle of each cell around a centre, in whole degrees 0-359 (0 to the left of the centre).
// Fixed per cell, so computed once.
using AngleTable = std::array<std::array<short, kCanvasColumns>, kCanvasRows>;

AngleTable MakeAngleTable(int centreRow)
{
    AngleTable table{};
    for (int j = 0; j < kCanvasRows; ++j)
        for (int i = 0; i < kCanvasColumns; ++i) {
            const double degrees = std::atan2(j - centreRow, i - 128) * 180.0 / std::numbers::pi + 180.0;
            table[j][i] = static_cast<short>(FloorMod360(static_cast<long long>(std::trunc(degrees))));
        }
    return table;
}

const AngleTable& AnglesAround(int centreRow)
{
    static const AngleTable around32 = MakeAngleTable(32);
    static const AngleTable around64 = MakeAngleTable(64);
    return centreRow == 32 ? around32 : around64;
}

void FillHueByAngle(int centreRow, int k, double phase, ColorPlane& palette)
{
    std::array<COLORREF, 360> hues{};
    for (int h = 0; h < 360; ++h)
        hues[h] = HueColor(h, 255, k);
    const int shift = FloorMod360(Trunc(phase));
    const AngleTable& angles = AnglesAround(centreRow);
    for (int j = 0; j < kCanvasRows; ++j)
        for (int i = 0; i < kCanvasColumns; ++i) {
            int hue = angles[j][i] + shift;
            if (hue >= 360)
                hue -= 360;
            palette[j][i] = hues[hue];
        }
}

} // namespace

int PaletteScale(int brightness)
{
    // trunc(b × 2.55) in exact arithmetic; the double product 100 × 2.55 falls just short of 255.
    return std::clamp(brightness, 0, 100) * 255 / 100;
}

COLORREF ScaleColor(COLORREF color, int k)
{
    k = std::clamp(k, 0, 255);
    return RGB(static_cast<uint8_t>(GetRValue(color) * k / 256),
               static_cast<uint8_t>(GetGValue(color) * k / 256),
               static_cast<uint8_t>(GetBValue(color) * k / 256));
}

COLORREF HueColor(int hue, int saturation, int value)
{
    const int v = std::clamp(value, 0, 255);
    const int s = std::clamp(saturation, 0, 255);
    if (s == 0)
        return RGB(static_cast<uint8_t>(v), static_cast<uint8_t>(v), static_cast<uint8_t>(v));
    const int h = FloorMod360(hue);
    const int sector = h / 60;
    const int m = (256 - s) * v / 256;
    const int t = sector % 2 == 0 ? h - 60 * sector - 60 : 60 * sector - h;
    const int x = v * (s * t + 15360) / 15360;
    const auto V = static_cast<uint8_t>(v);
    const auto X = static_cast<uint8_t>(x);
    const auto M = static_cast<uint8_t>(m);
    switch (sector) {
    case 0:
        return RGB(V, X, M);
    case 1:
        return RGB(X, V, M);
    case 2:
        return RGB(M, V, X);
    case 3:
        return RGB(M, X, V);
    case 4:
        return RGB(X, M, V);
    default:
        return RGB(V, M, X);
    }
}

COLORREF SineRainbowColor(int angle)
{
    const double radians = FloorMod360(angle) / 360.0 * 2.0 * 3.14;
    const auto channel = [](double s) { return static_cast<uint8_t>(std::trunc((s + 1.0) * 127.0)); };
    return RGB(channel(std::sin(radians)), channel(std::sin(radians - kSineShift)),
               channel(std::sin(radians + kSineShift)));
}

bool PaletteFollowsPhase(int type)
{
    return type >= 15 && type <= 20;
}

void BuildPalette(int type, int brightness, double phase, ColorPlane& palette)
{
    phase = std::isfinite(phase) ? std::fmod(phase, 360.0) : 0.0;
    if (phase < 0.0)
        phase += 360.0;
    const int k = PaletteScale(brightness);
    std::array<COLORREF, kCanvasColumns> columns{};
    switch (type) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
        columns.fill(ScaleColor(kSolid[type], k));
        FillColumns(columns, palette);
        return;
    case 9:
        return FillGradient(kGreenYellowRed, k, palette);
    case 10:
        return FillGradient(kGreenWhiteRed, k, palette);
    case 11:
        return FillGradient(kBlueCyanWhite, k, palette);
    case 12:
        return FillGradient(kRedWhiteBlue, k, palette);
    case 13:
        return FillGradient(kRainbow, k, palette);
    case 14:
        return FillGradient(kRainbowReversed, k, palette);
    case 15:
        for (int i = 0; i < kCanvasColumns; ++i)
            columns[i] = ScaleColor(SineRainbowColor(SineColumnAngle(i, phase)), k);
        FillColumns(columns, palette);
        return;
    case 16:
        for (int i = 0; i < kCanvasColumns; ++i)
            columns[i] = HueColor(FloorMod360(Trunc(256 - i + phase)), 255, k);
        FillColumns(columns, palette);
        return;
    case 17:
        return FillHueByAngle(32, k, phase, palette);
    case 18:
        return FillHueByAngle(64, k, phase, palette);
    case 19:
        columns.fill(HueColor(Trunc(phase), 255, k));
        FillColumns(columns, palette);
        return;
    case 20:
        columns.fill(ScaleColor(SineRainbowColor(SineColumnAngle(1, phase)), k));
        FillColumns(columns, palette);
        return;
    default:
        FillColumns(columns, palette);
        return;
    }
}
