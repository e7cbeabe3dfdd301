#include "ui/controls/m_picture.h"

#include <algorithm>

#include "ui/framework/m_render.h"

void DrawNineSlice(Graphics* g, const Image* image, const CRect& dest, const CRect& source, int left, int top,
                   int right, int bottom)
{
    if (!image || dest.IsRectEmpty() || source.IsRectEmpty())
        return;
    // Each pair of borders takes at most the smaller of the source and destination extents.
    auto fit = [](int& a, int& b, int limit) {
        a = std::max(a, 0);
        b = std::max(b, 0);
        if (a + b > limit) {
            a = limit * a / std::max(a + b, 1);
            b = limit - a;
        }
    };
    fit(left, right, std::min(source.Width(), dest.Width()));
    fit(top, bottom, std::min(source.Height(), dest.Height()));
    const int sx[4] = {source.left, source.left + left, source.right - right, source.right};
    const int sy[4] = {source.top, source.top + top, source.bottom - bottom, source.bottom};
    const int dx[4] = {dest.left, dest.left + left, dest.right - right, dest.right};
    const int dy[4] = {dest.top, dest.top + top, dest.bottom - bottom, dest.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const CRect s(sx[col], sy[row], sx[col + 1], sy[row + 1]);
            const CRect d(dx[col], dy[row], dx[col + 1], dy[row + 1]);
            if (!s.IsRectEmpty() && !d.IsRectEmpty())
                MRender::DrawImage(g, image, d, s);
        }
    }
}

MPicture::MPicture(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
}

void MPicture::SetShowMode(enumShowMode mode)
{
    m_mode = mode;
    UpdateControl();
}

void MPicture::SetShowModeMID(int left, int top, int right, int bottom)
{
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
    SetShowMode(SHOW_MODE_MID);
}

void MPicture::SetCustomRect(CRect rect)
{
    m_custom = rect;
    UpdateControl();
}

void MPicture::SetImageIndex(int frame)
{
    m_frame = std::max(frame, 0);
    UpdateControl();
}

CRect MPicture::SourceRect() const
{
    const int frame = std::min(m_frame, std::max(m_imageCount - 1, 0));
    CRect source(frame * m_imageWidth, 0, (frame + 1) * m_imageWidth, m_imageHeight);
    if (m_custom.IsRectEmpty())
        return source;
    CRect part = m_custom;
    part.OffsetRect(source.left, source.top);
    CRect limited;
    limited.IntersectRect(part, source);
    return limited;
}

void MPicture::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h) && m_image) {
        const CRect source = SourceRect();
        if (!source.IsRectEmpty()) {
            GraphicsOn g(m_memDC);
            const CRect all(0, 0, w, h);
            switch (m_mode) {
            case SHOW_MODE_STRETCH:
                MRender::DrawImage(g, m_image.get(), all, source);
                break;
            case SHOW_MODE_MID:
                DrawNineSlice(g, m_image.get(), all, source, m_left, m_top, m_right, m_bottom);
                break;
            default:
                MRender::DrawImage(g, m_image.get(), CRect(0, 0, source.Width(), source.Height()), source);
                break;
            }
        }
    }
    CopyMemDC(hdc, clip);
}
