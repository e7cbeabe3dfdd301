#include "tools/theme/procedural_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "ui/keyboard/color_math.h"

namespace {

constexpr unsigned kAccent = 0xED801B;

} // namespace

Surface DrawColourWheel(int size, int radius, int rim)
{
    Surface surface = NewSurface(size, size);
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    // The centre is a pixel, as the wheel control takes the pixel at half its size for its centre.
    const int c = size / 2;
    // Four samples a pixel on the rim keep its edge smooth; inside, they average around the pixel.
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < size; ++x) {
            double sr = 0, sg = 0, sb = 0, cover = 0;
            for (int s = 0; s < 4; ++s) {
                const ColorMath::WheelOffset at{x - c - 0.25 + 0.5 * (s % 2), y - c - 0.25 + 0.5 * (s / 2)};
                if (std::hypot(at.dx, at.dy) > radius)
                    continue;
                // The wheel control's own arithmetic: what the picture shows is what the wheel picks.
                const ColorMath::Rgb colour = ColorMath::HueSatToRgb(ColorMath::WheelHueSat(at, rim));
                sr += colour.r;
                sg += colour.g;
                sb += colour.b;
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
