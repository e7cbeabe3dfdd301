#include "ui/framework/backend/x11/x11_image.h"

#include <algorithm>
#include <bit>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace {

bool g_attachFailed = false;

int CatchAttachError(Display*, XErrorEvent*)
{
    g_attachFailed = true;
    return 0;
}

} // namespace

X11Image::X11Image(Display* display, Visual* visual, int depth, bool useShm)
    : m_display(display), m_visual(visual), m_depth(depth), m_shm(useShm)
{
}

X11Image::~X11Image()
{
    Release();
}

void X11Image::Release()
{
    if (!m_image)
        return;
    if (m_inFlight)
        XSync(m_display, False);
    m_inFlight = false;
    if (m_segment.shmaddr) {
        XShmDetach(m_display, &m_segment);
        XSync(m_display, False);
        shmdt(m_segment.shmaddr);
        m_segment = {};
    }
    m_image->data = nullptr; // the pixel memory is ours, not Xlib's
    XDestroyImage(m_image);
    m_image = nullptr;
    m_plainPixels.clear();
}

bool X11Image::Ensure(int width, int height)
{
    if (m_image && m_image->width >= width && m_image->height >= height)
        return true;
    Release();
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (m_shm && CreateShm(width, height))
        return true;
    m_shm = false;
    return CreatePlain(width, height);
}

bool X11Image::CreateShm(int width, int height)
{
    m_image = XShmCreateImage(m_display, m_visual, static_cast<unsigned>(m_depth), ZPixmap, nullptr,
                              &m_segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!m_image)
        return false;
    const size_t size = static_cast<size_t>(m_image->bytes_per_line) * static_cast<size_t>(m_image->height);
    m_segment.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (m_segment.shmid < 0) {
        XDestroyImage(m_image);
        m_image = nullptr;
        return false;
    }
    m_segment.shmaddr = static_cast<char*>(shmat(m_segment.shmid, nullptr, 0));
    // Marked for removal now; it lives until both sides detach, so nothing leaks if we die.
    shmctl(m_segment.shmid, IPC_RMID, nullptr);
    if (m_segment.shmaddr == reinterpret_cast<char*>(-1)) {
        m_segment = {};
        XDestroyImage(m_image);
        m_image = nullptr;
        return false;
    }
    m_segment.readOnly = False;
    m_image->data = m_segment.shmaddr;
    // A remote display cannot attach our memory; that shows only as an error after a round trip.
    g_attachFailed = false;
    XSync(m_display, False);
    auto* previous = XSetErrorHandler(CatchAttachError);
    XShmAttach(m_display, &m_segment);
    XSync(m_display, False);
    XSetErrorHandler(previous);
    if (g_attachFailed) {
        shmdt(m_segment.shmaddr);
        m_segment = {};
        m_image->data = nullptr;
        XDestroyImage(m_image);
        m_image = nullptr;
        return false;
    }
    m_native = m_image->bits_per_pixel == 32 && m_visual->red_mask == 0xFF0000 &&
               m_visual->green_mask == 0xFF00 && m_visual->blue_mask == 0xFF &&
               (m_image->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
    return true;
}

bool X11Image::CreatePlain(int width, int height)
{
    m_plainPixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    m_image = XCreateImage(m_display, m_visual, static_cast<unsigned>(m_depth), ZPixmap, 0,
                           reinterpret_cast<char*>(m_plainPixels.data()), static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 32, width * 4);
    if (!m_image) {
        m_plainPixels.clear();
        return false;
    }
    m_native = m_image->bits_per_pixel == 32 && m_visual->red_mask == 0xFF0000 &&
               m_visual->green_mask == 0xFF00 && m_visual->blue_mask == 0xFF &&
               (m_image->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
    return true;
}

void X11Image::BeginWrite()
{
    if (m_inFlight) {
        XSync(m_display, False);
        m_inFlight = false;
    }
}

uint32_t* X11Image::Row(int y)
{
    return reinterpret_cast<uint32_t*>(m_image->data + static_cast<ptrdiff_t>(y) * m_image->bytes_per_line);
}

void X11Image::StoreRow(int y, int x, const uint32_t* pixels, int count)
{
    for (int i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        // Scale each 8-bit channel into the visual's mask.
        auto channel = [](uint32_t value, unsigned long mask) -> unsigned long {
            if (!mask)
                return 0;
            const int shift = std::countr_zero(mask);
            const int bits = std::popcount(mask);
            const unsigned long scaled = bits >= 8 ? value << (bits - 8) : value >> (8 - bits);
            return (scaled << shift) & mask;
        };
        const unsigned long pixel = channel((p >> 16) & 0xFF, m_visual->red_mask) |
                                    channel((p >> 8) & 0xFF, m_visual->green_mask) |
                                    channel(p & 0xFF, m_visual->blue_mask);
        XPutPixel(m_image, x + i, y, pixel);
    }
}

void X11Image::Put(Drawable target, GC gc, const CRect& rect)
{
    if (!m_image || rect.IsRectEmpty())
        return;
    if (m_shm) {
        XShmPutImage(m_display, target, gc, m_image, rect.left, rect.top, rect.left, rect.top,
                     static_cast<unsigned>(rect.Width()), static_cast<unsigned>(rect.Height()), False);
        m_inFlight = true;
    } else {
        XPutImage(m_display, target, gc, m_image, rect.left, rect.top, rect.left, rect.top,
                  static_cast<unsigned>(rect.Width()), static_cast<unsigned>(rect.Height()));
    }
}
