#pragma once
// Small cairo helpers the theme generator shares: owned image surfaces, PNG writing, colours.

#include <cairo.h>
#include <cstdint>
#include <memory>
#include <string>

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

Surface NewSurface(int width, int height);
Context NewContext(const Surface& surface);

// Writes the surface, creating missing folders; prints the reason and returns false on failure.
bool WritePng(const Surface& surface, const std::string& path);

// Reads a PNG; null when it cannot be read.
Surface ReadPng(const std::string& path);

// 0xRRGGBB with a separate alpha 0..1.
void SetColour(cairo_t* cr, std::uint32_t rgb, double alpha = 1.0);

void RoundedRectangle(cairo_t* cr, double x, double y, double w, double h, double r);
