#include "tools/theme/procedural_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

constexpr unsigned kAccent = 0xED801B;

// Hue in turns (0..1) at full saturation and value.
void HueToRgb(double hue, double& r, double& g, double& b)
{
    const double h = 6.0 * (hue - std::floor(hue));
    const double x = 1.0 - std::fabs(std::fmod(h, 2.0) - 1.0);
    const int sector = static_cast<int>(h) % 6;
    const double table[6][3] = {{1, x, 0}, {x, 1, 0}, {0, 1, x}, {0, x, 1}, {x, 0, 1}, {1, 0, x}};
    r = table[sector][0];
    g = table[sector][1];
    b = table[sector][2];
}

} // namespace

Surface DrawColourWheel(int size, int radius)
{
    Surface surface = NewSurface(size, size);
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const double c = size / 2.0;
    // Four samples a pixel on the rim keep its edge smooth; inside, one sample at the pixel centre.
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < size; ++x) {
            double sr = 0, sg = 0, sb = 0, cover = 0;
            for (int s = 0; s < 4; ++s) {
                const double px = x + 0.25 + 0.5 * (s % 2) - c;
                const double py = y + 0.25 + 0.5 * (s / 2) - c;
                const double d = std::hypot(px, py);
                if (d > radius)
                    continue;
                // Red at the top, the hues clockwise; saturation grows with the distance.
                const double hue = std::atan2(px, -py) / (2 * std::numbers::pi);
                double r, g, b;
                HueToRgb(hue, r, g, b);
                const double sat = std::min(1.0, d / (radius * 0.92));
                sr += 1 - sat + sat * r;
                sg += 1 - sat + sat * g;
                sb += 1 - sat + sat * b;
                cover += 1;
            }
            if (cover == 0) {
                row[x] = 0;
                continue;
            }
            // Premultiplied: the summed samples already carry the coverage.
            const auto channel = [](double v) {
                return static_cast<std::uint32_t>(std::lround(v / 4 * 255));
            };
            row[x] = (channel(cover) << 24) | (channel(sr) << 16) | (channel(sg) << 8) | channel(sb);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

Surface DrawSpinnerFrame(int size, int index, int count, unsigned background)
{
    Surface surface = NewSurface(size, size);
    Context cr = NewContext(surface);
    SetColour(cr.get(), background);
    cairo_paint(cr.get());

    const double c = size / 2.0;
    const double radius = size * 0.30;
    const double width = std::max(2.0, size * 0.075);
    constexpr double kPi = std::numbers::pi;
    // A faint full track, then the arc: 28 short pieces whose opacity falls off towards the tail.
    cairo_set_line_width(cr.get(), width);
    cairo_arc(cr.get(), c, c, radius, 0, 2 * kPi);
    SetColour(cr.get(), 0xFFFFFF, 0.08);
    cairo_stroke(cr.get());

    const double head = -kPi / 2 + 2 * kPi * index / count;
    constexpr int kPieces = 28;
    const double span = 1.4 * kPi;
    cairo_set_line_cap(cr.get(), CAIRO_LINE_CAP_ROUND);
    for (int i = kPieces - 1; i >= 0; --i) {
        const double a1 = head - span * i / kPieces;
        const double a0 = a1 - span / kPieces;
        cairo_arc(cr.get(), c, c, radius, a0, a1);
        SetColour(cr.get(), kAccent, std::pow(1.0 - static_cast<double>(i) / kPieces, 1.6));
        cairo_stroke(cr.get());
    }
    return surface;
}
