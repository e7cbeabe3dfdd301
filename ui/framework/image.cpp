#include "ui/framework/image.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <gdk-pixbuf/gdk-pixbuf.h>

namespace {

// An animation is cut here: no real animation has more, and a hostile file must not eat the memory.
constexpr size_t kMaxFrames = 1000;
constexpr int kMaxSide = 16384;
constexpr std::streamoff kMaxFileBytes = 256 << 20;
// Frames shorter than this are shown this long, as browsers and viewers do.
constexpr int kMinFrameDelayMs = 20;

// gdk-pixbuf gives straight RGB(A) bytes; surfaces hold premultiplied native-endian ARGB words.
Surface SurfaceFromPixbuf(const GdkPixbuf* pixbuf)
{
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
    Surface surface(width, height);
    if (!surface.IsValid() || !pixels || channels < 3)
        return surface;
    for (int y = 0; y < height; ++y) {
        const guchar* in = pixels + static_cast<ptrdiff_t>(y) * stride;
        uint32_t* out = surface.Row(y);
        for (int x = 0; x < width; ++x, in += channels) {
            const uint8_t a = alpha ? in[3] : 255;
            out[x] = PremultiplyARGB(MakeARGB(a, in[0], in[1], in[2]));
        }
    }
    surface.MarkDirty();
    return surface;
}

// The number of pictures in a GIF stream (0 when it is not one): the decoder composes frames but does
// not tell how many there are.
size_t GifFrameCount(std::span<const uint8_t> b)
{
    if (b.size() < 13 || std::memcmp(b.data(), "GIF8", 4) != 0)
        return 0;
    size_t at = 13;
    if (b[10] & 0x80)
        at += 3u << ((b[10] & 7) + 1);
    // Data sub-blocks: a length byte, that many bytes, until a zero length.
    auto skipBlocks = [&b](size_t& p) {
        while (p < b.size() && b[p] != 0)
            p += b[p] + 1u;
        ++p;
    };
    size_t frames = 0;
    while (at < b.size()) {
        const uint8_t kind = b[at];
        if (kind == 0x3B) // trailer
            break;
        if (kind == 0x21) { // extension: label, then sub-blocks
            at += 2;
            skipBlocks(at);
        } else if (kind == 0x2C) { // image: descriptor, local colours, code size, sub-blocks
            if (at + 10 > b.size())
                break;
            const uint8_t flags = b[at + 9];
            at += 10;
            if (flags & 0x80)
                at += 3u << ((flags & 7) + 1);
            at += 1;
            skipBlocks(at);
            ++frames;
        } else {
            break;
        }
    }
    return frames;
}

} // namespace

struct ImageDecoder {
    static std::shared_ptr<Image> FromAnimation(GdkPixbufAnimation* animation, size_t frameCount)
    {
        if (!animation)
            return nullptr;
        std::shared_ptr<Image> image(new Image());
        image->m_width = gdk_pixbuf_animation_get_width(animation);
        image->m_height = gdk_pixbuf_animation_get_height(animation);
        if (image->m_width < 1 || image->m_height < 1 || image->m_width > kMaxSide ||
            image->m_height > kMaxSide) {
            g_object_unref(animation);
            return nullptr;
        }
        if (gdk_pixbuf_animation_is_static_image(animation) || frameCount < 2) {
            if (const GdkPixbuf* still = gdk_pixbuf_animation_get_static_image(animation))
                image->m_frames.push_back(SurfaceFromPixbuf(still));
            image->m_delays.push_back(0);
        } else {
            // The iterator composes each frame over the previous ones as the format asks; stepping by
            // each frame's own delay visits every frame once. The iterator's API takes the deprecated
            // time value; there is no other way to step frames.
            G_GNUC_BEGIN_IGNORE_DEPRECATIONS
            GTimeVal time{0, 0};
            GdkPixbufAnimationIter* iter = gdk_pixbuf_animation_get_iter(animation, &time);
            for (size_t i = 0; iter && i < std::min(frameCount, kMaxFrames); ++i) {
                const GdkPixbuf* frame = gdk_pixbuf_animation_iter_get_pixbuf(iter);
                if (!frame)
                    break;
                const int delay = gdk_pixbuf_animation_iter_get_delay_time(iter);
                image->m_frames.push_back(SurfaceFromPixbuf(frame));
                image->m_delays.push_back(std::max(delay, kMinFrameDelayMs));
                if (delay < 0) // the last frame of an animation that stops
                    break;
                g_time_val_add(&time, static_cast<glong>(std::max(delay, 1)) * 1000);
                gdk_pixbuf_animation_iter_advance(iter, &time);
            }
            G_GNUC_END_IGNORE_DEPRECATIONS
            if (iter)
                g_object_unref(iter);
        }
        g_object_unref(animation);
        if (image->m_frames.empty() || !image->m_frames.front().IsValid())
            return nullptr;
        return image;
    }
};

std::shared_ptr<Image> Image::FromFile(const std::string& nativePath)
{
    std::ifstream file(nativePath, std::ios::binary);
    if (!file)
        return nullptr;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size <= 0 || size > kMaxFileBytes)
        return nullptr;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        return nullptr;
    return FromBytes(bytes);
}

std::shared_ptr<Image> Image::FromBytes(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        return nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    GError* error = nullptr;
    const bool written = gdk_pixbuf_loader_write(loader, bytes.data(), bytes.size(), &error);
    if (error) {
        g_error_free(error);
        error = nullptr;
    }
    const bool closed = gdk_pixbuf_loader_close(loader, &error);
    if (error)
        g_error_free(error);
    GdkPixbufAnimation* animation = nullptr;
    if (written && closed) {
        animation = gdk_pixbuf_loader_get_animation(loader);
        if (animation)
            g_object_ref(animation);
    }
    g_object_unref(loader);
    return ImageDecoder::FromAnimation(animation, GifFrameCount(bytes));
}

std::shared_ptr<Image> Image::FromSurface(Surface frame)
{
    if (!frame.IsValid())
        return nullptr;
    std::shared_ptr<Image> image(new Image());
    image->m_width = frame.Width();
    image->m_height = frame.Height();
    image->m_frames.push_back(std::move(frame));
    image->m_delays.push_back(0);
    return image;
}
