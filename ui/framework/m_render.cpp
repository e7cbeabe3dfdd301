#include "ui/framework/m_render.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/native_path.h"
#include "ui/framework/image.h"
#include "ui/framework/resource_module.h"

namespace {

uint32_t BlendWord(uint32_t s, uint32_t d, uint32_t a)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t sc = (s >> shift) & 0xFF;
        const uint32_t dc = (d >> shift) & 0xFF;
        out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

// Blends one source row onto one destination row with a constant alpha, mapping columns by nearest pixel.
void BlendRow(Surface& dest, int destY, int destLeft, int destWidth, const Surface& src, int srcY,
              int srcLeft, int srcWidth, uint32_t alpha)
{
    if (destY < 0 || destY >= dest.Height() || srcY < 0 || srcY >= src.Height() || destWidth <= 0 ||
        srcWidth <= 0)
        return;
    uint32_t* out = dest.Row(destY);
    const uint32_t* in = src.Row(srcY);
    for (int i = 0; i < destWidth; ++i) {
        const int dx = destLeft + i;
        const int sx = srcLeft + static_cast<int>(static_cast<int64_t>(i) * srcWidth / destWidth);
        if (dx < 0 || dx >= dest.Width() || sx < 0 || sx >= src.Width())
            continue;
        out[dx] = alpha == 255 ? in[sx] : BlendWord(in[sx], out[dx], alpha);
    }
}

int TransitionAlpha(int percent)
{
    return 255 * (100 - percent) / 100;
}

int Clamp255(int v)
{
    return std::clamp(v, 0, 255);
}

// One slice of a picture stretched into a destination rectangle; sampling stays inside the slice.
void DrawSlice(Graphics* g, const Surface& picture, const CRect& source, const CRect& dest)
{
    CRect src;
    if (!src.IntersectRect(source, picture.Bounds()) || dest.IsRectEmpty())
        return;
    cairo_surface_t* slice =
        cairo_surface_create_for_rectangle(picture.Native(), src.left, src.top, src.Width(), src.Height());
    cairo_save(g);
    cairo_rectangle(g, dest.left, dest.top, dest.Width(), dest.Height());
    cairo_clip(g);
    cairo_translate(g, dest.left, dest.top);
    const double sx = static_cast<double>(dest.Width()) / src.Width();
    const double sy = static_cast<double>(dest.Height()) / src.Height();
    cairo_scale(g, sx, sy);
    cairo_set_source_surface(g, slice, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(g);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, sx == 1.0 && sy == 1.0 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);
    cairo_paint(g);
    cairo_restore(g);
    cairo_surface_destroy(slice);
}

void EllipticArc(Graphics* g, double x, double y, double w, double h, double startDeg, double sweepDeg)
{
    if (w <= 0 || h <= 0) {
        cairo_line_to(g, x + w / 2, y + h / 2);
        return;
    }
    constexpr double kRad = std::numbers::pi / 180.0;
    cairo_save(g);
    cairo_translate(g, x + w / 2, y + h / 2);
    cairo_scale(g, w / 2, h / 2);
    cairo_arc(g, 0, 0, 1, startDeg * kRad, (startDeg + sweepDeg) * kRad);
    cairo_restore(g);
}

void PutLE16(std::FILE* f, uint16_t v)
{
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void PutLE32(std::FILE* f, uint32_t v)
{
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

} // namespace

void SetSourceARGB(Graphics* g, ARGB c)
{
    cairo_set_source_rgba(g, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                          ((c >> 24) & 0xFF) / 255.0);
}

GraphicsOn::GraphicsOn(const Surface& surface) : m_cr(surface.CreateContext())
{
    if (!m_cr) {
        // A context in an error state: every call on it is a no-op.
        m_cr = cairo_create(nullptr);
    }
}

GraphicsOn::~GraphicsOn()
{
    cairo_destroy(m_cr);
}

// --- Pictures ---

ImagePtr MRender::LoadImageFromFile(const CString& path)
{
    return Image::FromFile(NativePath(path));
}

ImagePtr MRender::LoadImageFromIDResource(unsigned id, const CString& type, HINSTANCE module)
{
    return Image::FromBytes(FindResourceBytes(module, id, type));
}

HICON MRender::LoadIconFromFile(const CString& path)
{
    return Image::FromFile(NativePath(path));
}

// --- Surfaces ---

Surface MRender::CreateARGB32Bitmap(int width, int height)
{
    return Surface(width, height);
}

void MRender::BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                     uint32_t /*rop*/)
{
    if (!dest || !src || !dest->IsValid() || !src->IsValid() || width <= 0 || height <= 0)
        return;
    // Clip the block against both surfaces, keeping source and destination aligned.
    int dx = x, dy = y, sx = srcX, sy = srcY, w = width, h = height;
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    w = std::min({w, dest->Width() - dx, src->Width() - sx});
    h = std::min({h, dest->Height() - dy, src->Height() - sy});
    if (w <= 0 || h <= 0)
        return;
    for (int row = 0; row < h; ++row) {
        const uint32_t* in = src->Row(sy + row) + sx;
        std::copy(in, in + w, dest->Row(dy + row) + dx);
    }
    dest->MarkDirty();
}

void MRender::FillSolidRect(HDC dest, const CRect& rect, COLORREF colour)
{
    if (dest)
        dest->Fill(rect, ColorRefToARGB(colour));
}

void MRender::FillSolidRect(HDC dest, int x, int y, int cx, int cy, COLORREF colour)
{
    FillSolidRect(dest, CRect(x, y, x + cx, y + cy), colour);
}

void MRender::AlphaBlend(HDC dest, const CRect& destRect, HDC src, const CRect& srcRect, uint8_t alpha)
{
    if (!dest || !src || !dest->IsValid() || !src->IsValid() || destRect.IsRectEmpty() ||
        srcRect.IsRectEmpty())
        return;
    const int n = destRect.Height();
    for (int i = 0; i < n; ++i) {
        const int sy = srcRect.top + static_cast<int>(static_cast<int64_t>(i) * srcRect.Height() / n);
        BlendRow(*dest, destRect.top + i, destRect.left, destRect.Width(), *src, sy, srcRect.left,
                 srcRect.Width(), alpha);
    }
    dest->MarkDirty();
}

// --- Pictures on a graphics context ---

void MRender::DrawImage(Graphics* g, const Image* image, const CRect& dest, const CRect& source, size_t frame)
{
    if (!g || !image)
        return;
    DrawSlice(g, image->Frame(frame), source, dest);
}

void MRender::DrawSurface(Graphics* g, const Surface& surface, const CRect& dest, const CRect& source)
{
    if (g && surface.IsValid())
        DrawSlice(g, surface, source, dest);
}

void MRender::DrawImageFrame(Graphics* g, const Image* image, const CRect& dest, int srcX, int srcY, int srcW,
                             int srcH, int border)
{
    if (!g || !image || srcW <= 0 || srcH <= 0)
        return;
    const Surface& pic = image->Frame(0);
    const int e = std::max(border, 0);
    const int dl = dest.left, dt = dest.top, dr = dest.right, db = dest.bottom;
    const int sl = srcX, st = srcY, sr = srcX + srcW, sb = srcY + srcH;
    // Top-left, left, bottom-left, top, top-right, right, bottom-right, bottom, centre.
    DrawSlice(g, pic, {sl, st, sl + e, st + e}, {dl, dt, dl + e, dt + e});
    DrawSlice(g, pic, {sl, st + e, sl + e, sb - e}, {dl, dt + e, dl + e, db - e});
    DrawSlice(g, pic, {sl, sb - e, sl + e, sb}, {dl, db - e, dl + e, db});
    DrawSlice(g, pic, {sl + e, st, sr - e, st + e}, {dl + e, dt, dr - e, dt + e});
    DrawSlice(g, pic, {sr - e, st, sr, st + e}, {dr - e, dt, dr, dt + e});
    DrawSlice(g, pic, {sr - e, st + e, sr, sb - e}, {dr - e, dt + e, dr, db - e});
    DrawSlice(g, pic, {sr - e, sb - e, sr, sb}, {dr - e, db - e, dr, db});
    DrawSlice(g, pic, {sl + e, sb - e, sr - e, sb}, {dl + e, db - e, dr - e, db});
    DrawSlice(g, pic, {sl + e, st + e, sr - e, sb - e}, {dl + e, dt + e, dr - e, db - e});
}

void MRender::DrawImageFrameMID(Graphics* g, const Image* image, const CRect& dest, int srcX, int srcY,
                                int srcW, int srcH, int border, int midWidth)
{
    if (!g || !image || srcW <= 0 || srcH <= 0)
        return;
    const int e = std::max(border, 0);
    const int mid = std::clamp(midWidth, 0, std::max(srcW - 2 * e, 0));
    if (mid == 0 || dest.Width() < 2 * e + mid) {
        DrawImageFrame(g, image, dest, srcX, srcY, srcW, srcH, border);
        return;
    }
    // Three frames side by side: the left part up to the middle, the middle at its own width, the right.
    const int srcMidLeft = srcX + (srcW - mid) / 2;
    const int destMidLeft = dest.left + (dest.Width() - mid) / 2;
    const Surface& pic = image->Frame(0);
    const int st = srcY, sb = srcY + srcH, dt = dest.top, db = dest.bottom;
    // Left part: its left border and the stretched run up to the middle.
    DrawImageFrame(g, image, {dest.left, dt, destMidLeft, db}, srcX, srcY, srcMidLeft - srcX + e, srcH, e);
    // Middle columns: top and bottom rows unscaled, the rows between stretched.
    DrawSlice(g, pic, {srcMidLeft, st, srcMidLeft + mid, st + e},
              {destMidLeft, dt, destMidLeft + mid, dt + e});
    DrawSlice(g, pic, {srcMidLeft, st + e, srcMidLeft + mid, sb - e},
              {destMidLeft, dt + e, destMidLeft + mid, db - e});
    DrawSlice(g, pic, {srcMidLeft, sb - e, srcMidLeft + mid, sb},
              {destMidLeft, db - e, destMidLeft + mid, db});
    // Right part.
    const int srcRightLeft = srcMidLeft + mid - e;
    DrawImageFrame(g, image, {destMidLeft + mid, dt, dest.right, db}, srcRightLeft, srcY,
                   srcX + srcW - srcRightLeft, srcH, e);
}

// --- Transitions ---

int MRender::DrawVerticalTransition(HDC& dest, HDC& src, CRect destRect, CRect srcRect, int from, int to)
{
    const int start = TransitionAlpha(from);
    const int end = TransitionAlpha(to);
    int alpha = Clamp255(start);
    if (!dest || !src || !dest->IsValid() || !src->IsValid())
        return alpha;
    const int n = destRect.Height();
    for (int i = 0; i < n; ++i) {
        alpha = Clamp255(start + i * (end - start) / n);
        const int sy = srcRect.top + static_cast<int>(static_cast<int64_t>(i) * srcRect.Height() / n);
        BlendRow(*dest, destRect.top + i, destRect.left, destRect.Width(), *src, sy, srcRect.left,
                 srcRect.Width(), static_cast<uint32_t>(alpha));
    }
    dest->MarkDirty();
    return alpha;
}

int MRender::DrawHorizontalTransition(HDC& dest, HDC& src, CRect destRect, CRect srcRect, int from, int to)
{
    const int start = TransitionAlpha(from);
    const int end = TransitionAlpha(to);
    int alpha = Clamp255(start);
    if (!dest || !src || !dest->IsValid() || !src->IsValid())
        return alpha;
    const int n = destRect.Width();
    for (int i = 0; i < n; ++i) {
        alpha = Clamp255(start + i * (end - start) / n);
        const int dx = destRect.left + i;
        const int sx = srcRect.left + static_cast<int>(static_cast<int64_t>(i) * srcRect.Width() / n);
        if (dx < 0 || dx >= dest->Width() || sx < 0 || sx >= src->Width())
            continue;
        for (int r = 0; r < destRect.Height(); ++r) {
            const int dy = destRect.top + r;
            const int sy = srcRect.top + static_cast<int>(static_cast<int64_t>(r) * srcRect.Height() /
                                                          std::max(destRect.Height(), 1));
            if (dy < 0 || dy >= dest->Height() || sy < 0 || sy >= src->Height())
                continue;
            uint32_t& out = dest->Row(dy)[dx];
            out = BlendWord(src->Row(sy)[sx], out, static_cast<uint32_t>(alpha));
        }
    }
    dest->MarkDirty();
    return alpha;
}

void MRender::DrawRightBottomTransition(HDC& dest, HDC& src, CRect rect, int size, unsigned long keyColour)
{
    if (!dest || !src || !dest->IsValid() || !src->IsValid())
        return;
    CRect area;
    if (!area.IntersectRect(rect, dest->Bounds()) || !area.IntersectRect(area, src->Bounds()))
        return;
    const int cornerLeft = rect.right - size;
    const int cornerTop = rect.bottom - size;
    const uint32_t key = static_cast<uint32_t>(keyColour) & 0x00FFFFFF;
    for (int y = area.top; y < area.bottom; ++y) {
        const uint32_t* in = src->Row(y);
        uint32_t* out = dest->Row(y);
        for (int x = area.left; x < area.right; ++x) {
            if ((UnpremultiplyARGB(in[x]) & 0x00FFFFFF) == key)
                continue;
            uint32_t alpha = 255;
            if (size > 0 && x >= cornerLeft && y >= cornerTop) {
                const double d = std::hypot(x - cornerLeft, y - cornerTop);
                alpha = static_cast<uint32_t>(std::clamp(255.0 * (1.0 - d / size), 0.0, 255.0));
            }
            out[x] = alpha == 255 ? in[x] : BlendWord(in[x], out[x], alpha);
        }
    }
    dest->MarkDirty();
}

// --- Shapes ---

SizeF MRender::RoundRectCorner(float w, float h, float divisor)
{
    if (divisor == 0)
        return {};
    SizeF corner{w / divisor, h / divisor};
    if (std::fabs(corner.width / 2 - corner.height / 2) > 10)
        corner.width = corner.height = std::min(corner.width, corner.height);
    return corner;
}

void MRender::DrawRoundRectange(Graphics* g, float x, float y, float w, float h, float divisor, ARGB pen,
                                float penWidth, bool fill, ARGB fillColour)
{
    if (!g || w <= 0 || h <= 0)
        return;
    const SizeF c = RoundRectCorner(w, h, divisor);
    const double cw = c.width, ch = c.height;
    cairo_save(g);
    cairo_new_path(g);
    cairo_move_to(g, x + cw / 2, y);
    cairo_line_to(g, x + w - cw / 2, y);
    EllipticArc(g, x + w - cw, y, cw, ch, 270, 90);
    cairo_line_to(g, x + w, y + h - ch / 2);
    EllipticArc(g, x + w - cw, y + h - ch, cw, ch, 0, 90);
    cairo_line_to(g, x + cw / 2, y + h);
    EllipticArc(g, x, y + h - ch, cw, ch, 90, 90);
    cairo_line_to(g, x, y + ch / 2);
    EllipticArc(g, x, y, cw, ch, 180, 90);
    cairo_close_path(g);
    if (fill) {
        SetSourceARGB(g, fillColour);
        cairo_fill_preserve(g);
    }
    if (penWidth > 0) {
        SetSourceARGB(g, pen);
        cairo_set_line_width(g, penWidth);
        cairo_stroke(g);
    }
    cairo_new_path(g);
    cairo_restore(g);
}

void MRender::DrawRoundRectange(Graphics* g, float x, float y, float w, float h, float divisor, ARGB pen,
                                float penWidth)
{
    DrawRoundRectange(g, x, y, w, h, divisor, pen, penWidth, false, 0);
}

void MRender::DrawGradient(HDC dest, const CRect& rect, ARGB from, ARGB to, bool vertical, int steps)
{
    if (!dest || !dest->IsValid() || rect.IsRectEmpty())
        return;
    const int length = vertical ? rect.Height() : rect.Width();
    const int n = std::clamp(steps, 1, std::max(length, 1));
    GraphicsOn g(*dest);
    for (int i = 0; i < n; ++i) {
        const int a = i * length / n;
        const int b = (i + 1) * length / n;
        ARGB colour = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int f = static_cast<int>((from >> shift) & 0xFF);
            const int t = static_cast<int>((to >> shift) & 0xFF);
            const int v = n == 1 ? f : f + (t - f) * i / (n - 1);
            colour |= static_cast<ARGB>(v) << shift;
        }
        const CRect band = vertical ? CRect(rect.left, rect.top + a, rect.right, rect.top + b)
                                    : CRect(rect.left + a, rect.top, rect.left + b, rect.bottom);
        SetSourceARGB(g, colour);
        cairo_rectangle(g, band.left, band.top, band.Width(), band.Height());
        cairo_fill(g);
    }
}

void MRender::DrawColor(HDC dest, const CRect& rect, ARGB colour)
{
    if (!dest || !dest->IsValid() || (colour >> 24) == 0 || rect.IsRectEmpty())
        return;
    GraphicsOn g(*dest);
    SetSourceARGB(g, colour);
    cairo_rectangle(g, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(g);
}

void MRender::DrawRectangle(HDC& /*dest*/, CRect /*rect*/, int, int, int) {}

// --- Placement ---

CPoint MRender::GetOriginPoint(int width, int height, int itemWidth, int itemHeight, unsigned hAlign,
                               unsigned vAlign)
{
    CPoint p;
    if (hAlign == 1)
        p.x = (width - itemWidth) / 2;
    else if (hAlign == 2)
        p.x = width - itemWidth;
    if (vAlign == 4)
        p.y = (height - itemHeight) / 2;
    else if (vAlign == 8)
        p.y = height - itemHeight;
    return p;
}

CPoint MRender::GetOriginPoint(const CRect& rect, int itemWidth, int itemHeight, unsigned hAlign,
                               unsigned vAlign)
{
    return rect.TopLeft() +
           GetOriginPoint(rect.Width(), rect.Height(), itemWidth, itemHeight, hAlign, vAlign);
}

void MRender::CheckAlphaColor(uint32_t& colour)
{
    if ((colour & 0x00FFFFFF) == 0)
        colour += 1;
}

int MRender::SaveBitmapToFile(HBITMAP bitmap, const CString& path)
{
    if (!bitmap || !bitmap->IsValid())
        return 0;
    std::FILE* f = std::fopen(NativePath(path).c_str(), "wb");
    if (!f)
        return 0;
    const uint32_t w = static_cast<uint32_t>(bitmap->Width());
    const uint32_t h = static_cast<uint32_t>(bitmap->Height());
    const uint32_t pixelBytes = w * h * 4;
    // File header, then a 108-byte information header of a top-down 32-bit picture whose channel masks
    // keep the alpha.
    constexpr uint32_t kHeaders = 14 + 108;
    std::fputc('B', f);
    std::fputc('M', f);
    PutLE32(f, kHeaders + pixelBytes);
    PutLE32(f, 0);
    PutLE32(f, kHeaders);
    PutLE32(f, 108);
    PutLE32(f, w);
    PutLE32(f, static_cast<uint32_t>(-static_cast<int32_t>(h)));
    PutLE16(f, 1);
    PutLE16(f, 32);
    PutLE32(f, 3); // bit fields
    PutLE32(f, pixelBytes);
    PutLE32(f, 2835);
    PutLE32(f, 2835);
    PutLE32(f, 0);
    PutLE32(f, 0);
    for (const uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        PutLE32(f, mask);
    PutLE32(f, 0x73524742);      // sRGB
    for (int i = 0; i < 12; ++i) // end points and gamma, unused with sRGB
        PutLE32(f, 0);
    for (uint32_t y = 0; y < h; ++y) {
        const uint32_t* row = bitmap->Row(static_cast<int>(y));
        for (uint32_t x = 0; x < w; ++x)
            PutLE32(f, UnpremultiplyARGB(row[x]));
    }
    const bool ok = std::ferror(f) == 0;
    return std::fclose(f) == 0 && ok ? 1 : 0;
}
