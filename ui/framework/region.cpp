#include "ui/framework/region.h"

#include <cairo.h>
#include <utility>

namespace {

cairo_rectangle_int_t ToCairo(const CRect& r)
{
    return {r.left, r.top, r.Width(), r.Height()};
}

} // namespace

CRegion::CRegion() : m_region(cairo_region_create()) {}

CRegion::CRegion(const CRect& rect) : m_region(nullptr)
{
    if (rect.IsRectEmpty()) {
        m_region = cairo_region_create();
    } else {
        const cairo_rectangle_int_t r = ToCairo(rect);
        m_region = cairo_region_create_rectangle(&r);
    }
}

CRegion::~CRegion()
{
    if (m_region)
        cairo_region_destroy(m_region);
}

CRegion::CRegion(const CRegion& other) : m_region(cairo_region_copy(other.m_region)) {}

CRegion& CRegion::operator=(const CRegion& other)
{
    if (this != &other) {
        cairo_region_t* copy = cairo_region_copy(other.m_region);
        cairo_region_destroy(m_region);
        m_region = copy;
    }
    return *this;
}

CRegion::CRegion(CRegion&& other) noexcept : m_region(std::exchange(other.m_region, cairo_region_create())) {}

CRegion& CRegion::operator=(CRegion&& other) noexcept
{
    std::swap(m_region, other.m_region);
    return *this;
}

bool CRegion::IsEmpty() const
{
    return cairo_region_is_empty(m_region);
}

CRect CRegion::Bounds() const
{
    if (IsEmpty())
        return {};
    cairo_rectangle_int_t r;
    cairo_region_get_extents(m_region, &r);
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

std::vector<CRect> CRegion::Rects() const
{
    std::vector<CRect> rects;
    const int n = cairo_region_num_rectangles(m_region);
    rects.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(m_region, i, &r);
        rects.emplace_back(r.x, r.y, r.x + r.width, r.y + r.height);
    }
    return rects;
}

bool CRegion::Contains(CPoint p) const
{
    return cairo_region_contains_point(m_region, p.x, p.y);
}

void CRegion::Union(const CRect& rect)
{
    if (rect.IsRectEmpty())
        return;
    const cairo_rectangle_int_t r = ToCairo(rect);
    cairo_region_union_rectangle(m_region, &r);
}

void CRegion::Union(const CRegion& other)
{
    cairo_region_union(m_region, other.m_region);
}

void CRegion::Intersect(const CRect& rect)
{
    if (rect.IsRectEmpty()) {
        Clear();
        return;
    }
    const cairo_rectangle_int_t r = ToCairo(rect);
    cairo_region_intersect_rectangle(m_region, &r);
}

void CRegion::Subtract(const CRect& rect)
{
    if (rect.IsRectEmpty())
        return;
    const cairo_rectangle_int_t r = ToCairo(rect);
    cairo_region_subtract_rectangle(m_region, &r);
}

void CRegion::Offset(int dx, int dy)
{
    cairo_region_translate(m_region, dx, dy);
}

void CRegion::Clear()
{
    cairo_region_destroy(m_region);
    m_region = cairo_region_create();
}
