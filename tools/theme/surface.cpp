#include "tools/theme/surface.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numbers>

Surface NewSurface(int width, int height)
{
    return Surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
}

Context NewContext(const Surface& surface)
{
    return Context(cairo_create(surface.get()));
}

bool WritePng(const Surface& surface, const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ec);
    cairo_surface_flush(surface.get());
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "theme_pictures: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

Surface ReadPng(const std::string& path)
{
    Surface s(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return s;
}

void SetColour(cairo_t* cr, std::uint32_t rgb, double alpha)
{
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                          alpha);
}

void RoundedRectangle(cairo_t* cr, double x, double y, double w, double h, double r)
{
    constexpr double kPi = std::numbers::pi;
    r = std::max(0.0, std::min({r, w / 2, h / 2}));
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}
