#pragma once
// A 32-bit ARGB pixel surface (cairo image surface, premultiplied alpha, native-endian words): what a
// paint pass draws into and what the window system presents.

#include <cstdint>
#include <string>

#include "core/color.h"
#include "core/geometry.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

class Surface {
public:
    Surface() = default;
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;

    bool IsValid() const { return m_surface != nullptr; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    CRect Bounds() const { return {0, 0, m_width, m_height}; }
    int Stride() const;

    // Reallocates when the size differs; the content is then fully transparent. Sizes below 1 give an
    // invalid surface.
    void Resize(int width, int height);

    // Rows of premultiplied 0xAARRGGBB words; flushes pending cairo drawing first.
    uint32_t* Row(int y);
    const uint32_t* Row(int y) const;

    // One pixel as straight (not premultiplied) ARGB; 0 outside the surface.
    ARGB Pixel(int x, int y) const;
    // Fills a rectangle (clipped to the surface) with a straight ARGB colour, replacing what is there.
    void Fill(const CRect& rect, ARGB color);
    // Copies a rectangle of another surface to the same position here (clipped to both).
    void CopyFrom(const Surface& source, const CRect& rect);

    // A cairo context drawing on this surface; the caller destroys it.
    cairo_t* CreateContext() const;
    cairo_surface_t* Native() const { return m_surface; }
    // Tells cairo that the pixels were changed directly.
    void MarkDirty() const;

    bool WritePng(const std::string& path) const;

private:
    cairo_surface_t* m_surface = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// Premultiplies a straight ARGB colour, as the surface stores it.
uint32_t PremultiplyARGB(ARGB color);
// The straight colour of a stored pixel.
ARGB UnpremultiplyARGB(uint32_t pixel);
