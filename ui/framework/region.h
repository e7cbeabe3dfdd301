#pragma once
// A set of pixels made of rectangles: a window's invalid area and a paint pass's clip.

#include <vector>

#include "core/geometry.h"

typedef struct _cairo_region cairo_region_t;

class CRegion {
public:
    CRegion();
    explicit CRegion(const CRect& rect);
    ~CRegion();
    CRegion(const CRegion& other);
    CRegion& operator=(const CRegion& other);
    CRegion(CRegion&& other) noexcept;
    CRegion& operator=(CRegion&& other) noexcept;

    bool IsEmpty() const;
    // The smallest rectangle holding the whole region; empty for an empty region.
    CRect Bounds() const;
    std::vector<CRect> Rects() const;
    bool Contains(CPoint p) const;

    void Union(const CRect& rect);
    void Union(const CRegion& other);
    void Intersect(const CRect& rect);
    void Subtract(const CRect& rect);
    void Offset(int dx, int dy);
    void Clear();

    cairo_region_t* Native() const { return m_region; }

private:
    cairo_region_t* m_region;
};
