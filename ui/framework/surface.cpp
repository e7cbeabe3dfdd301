#include "ui/framework/surface.h"

#include <algorithm>
#include <cairo.h>
#include <cstddef>
#include <utility>

uint32_t PremultiplyARGB(ARGB color)
{
    const uint32_t a = color >> 24;
    if (a == 255)
        return color;
    auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (mul((color >> 16) & 0xFF) << 16) | (mul((color >> 8) & 0xFF) << 8) |
           mul(color & 0xFF);
}

ARGB UnpremultiplyARGB(uint32_t pixel)
{
    const uint32_t a = pixel >> 24;
    if (a == 255 || a == 0)
        return a == 0 ? 0 : pixel;
    auto div = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (div((pixel >> 16) & 0xFF) << 16) | (div((pixel >> 8) & 0xFF) << 8) |
           div(pixel & 0xFF);
}

Surface::Surface(int width, int height)
{
    Resize(width, height);
}

Surface::~Surface()
{
    if (m_surface)
        cairo_surface_destroy(m_surface);
}

Surface::Surface(Surface&& other) noexcept
    : m_surface(std::exchange(other.m_surface, nullptr)), m_width(std::exchange(other.m_width, 0)),
      m_height(std::exchange(other.m_height, 0))
{
}

Surface& Surface::operator=(Surface&& other) noexcept
{
    std::swap(m_surface, other.m_surface);
    std::swap(m_width, other.m_width);
    std::swap(m_height, other.m_height);
    return *this;
}

int Surface::Stride() const
{
    return m_surface ? cairo_image_surface_get_stride(m_surface) : 0;
}

void Surface::Resize(int width, int height)
{
    if (m_surface && width == m_width && height == m_height)
        return;
    if (m_surface)
        cairo_surface_destroy(m_surface);
    m_surface = nullptr;
    m_width = m_height = 0;
    if (width < 1 || height < 1)
        return;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return;
    }
    m_surface = s;
    m_width = width;
    m_height = height;
}

uint32_t* Surface::Row(int y)
{
    cairo_surface_flush(m_surface);
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_surface) +
                                       static_cast<std::ptrdiff_t>(y) * Stride());
}

const uint32_t* Surface::Row(int y) const
{
    cairo_surface_flush(m_surface);
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(m_surface) +
                                             static_cast<std::ptrdiff_t>(y) * Stride());
}

ARGB Surface::Pixel(int x, int y) const
{
    if (!m_surface || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return UnpremultiplyARGB(Row(y)[x]);
}

void Surface::Fill(const CRect& rect, ARGB color)
{
    CRect r;
    if (!m_surface || !r.IntersectRect(rect, Bounds()))
        return;
    const uint32_t pixel = PremultiplyARGB(color);
    for (int y = r.top; y < r.bottom; ++y) {
        uint32_t* row = Row(y);
        std::fill(row + r.left, row + r.right, pixel);
    }
    MarkDirty();
}

void Surface::CopyFrom(const Surface& source, const CRect& rect)
{
    CRect r;
    if (!m_surface || !source.m_surface || !r.IntersectRect(rect, Bounds()) ||
        !r.IntersectRect(r, source.Bounds()))
        return;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* from = source.Row(y);
        std::copy(from + r.left, from + r.right, Row(y) + r.left);
    }
    MarkDirty();
}

cairo_t* Surface::CreateContext() const
{
    return m_surface ? cairo_create(m_surface) : nullptr;
}

void Surface::MarkDirty() const
{
    if (m_surface)
        cairo_surface_mark_dirty(m_surface);
}

bool Surface::WritePng(const std::string& path) const
{
    return m_surface && cairo_surface_write_to_png(m_surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}
