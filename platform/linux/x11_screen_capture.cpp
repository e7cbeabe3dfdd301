#include "platform/linux/x11_screen_capture.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <utility>
#include <vector>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xlib.h>
#include <X11/Xlibint.h> // XESetError: errors caught per connection
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/Xrender.h>
// Xlibint.h defines these as macros.
#undef min
#undef max

namespace {

constexpr auto kReopenInterval = std::chrono::seconds(1);

// Errors of our connections are counted here instead of going to the global handler, which would end
// the process. The connection is used by one thread only, so a per-thread count is exact.
thread_local unsigned long t_trappedErrors = 0;

int TrapError(Display*, xError*, XExtCodes*, int* result)
{
    ++t_trappedErrors;
    *result = 0;
    return True;
}

// The 8-bit value of the channel that `mask` selects.
uint32_t ChannelValue(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const unsigned long value = (pixel & mask) >> shift;
    if (bits >= 8)
        return static_cast<uint32_t>(value >> (bits - 8));
    const unsigned long maximum = (1UL << bits) - 1;
    return static_cast<uint32_t>((value * 255 + maximum / 2) / maximum);
}

bool IsHostOrderXrgb(const XImage* image)
{
    const int hostOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    return image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
           image->blue_mask == 0xFF && image->byte_order == hostOrder && image->bytes_per_line % 4 == 0;
}

} // namespace

struct X11ScreenCapture::Impl {
    std::string displayName;
    bool allowShm = true;
    Display* display = nullptr;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    std::chrono::steady_clock::time_point nextOpen{};

    bool randr = false;
    int randrEventBase = 0;
    bool geometryKnown = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool shmUsable = false;
    XImage* shmImage = nullptr;
    XShmSegmentInfo shmInfo{};
    XImage* plainImage = nullptr;
    std::vector<uint32_t> converted;
    bool usedShm = false;

    // Scaling on the server, for captures without shared memory.
    int sampleWidth = 0;
    int sampleHeight = 0;
    bool render = false;
    Picture screenPicture = 0; // the monitor, transformed onto the sample grid
    Pixmap samplePixmap = 0;
    Picture samplePicture = 0;
    XRenderPictFormat* sampleFormat = nullptr;
    bool usedRender = false;

    ~Impl() { Close(); }

    bool Open()
    {
        if (display)
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (now < nextOpen)
            return false;
        nextOpen = now + kReopenInterval;
        display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
        if (!display)
            return false;
        XExtCodes* codes = XAddExtension(display);
        if (codes)
            XESetError(display, codes->extension, TrapError);
        root = DefaultRootWindow(display);
        visual = DefaultVisual(display, DefaultScreen(display));
        depth = DefaultDepth(display, DefaultScreen(display));
        int errorBase = 0;
        randr = XRRQueryExtension(display, &randrEventBase, &errorBase);
        if (randr)
            XRRSelectInput(display, root,
                           RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
        shmUsable = allowShm && XShmQueryExtension(display);
        int renderEvents = 0;
        int renderErrors = 0;
        render = XRenderQueryExtension(display, &renderEvents, &renderErrors);
        geometryKnown = false;
        return true;
    }

    void Close()
    {
        DropShmImage();
        DropPlainImage();
        DropSamplePictures();
        if (display)
            XCloseDisplay(display);
        display = nullptr;
    }

    void DropShmImage()
    {
        if (!shmImage)
            return;
        XShmDetach(display, &shmInfo);
        XDestroyImage(shmImage);
        shmdt(shmInfo.shmaddr);
        shmImage = nullptr;
        shmInfo = {};
    }

    void DropPlainImage()
    {
        if (plainImage)
            XDestroyImage(plainImage);
        plainImage = nullptr;
    }

    void DropSamplePictures()
    {
        if (screenPicture)
            XRenderFreePicture(display, screenPicture);
        if (samplePicture)
            XRenderFreePicture(display, samplePicture);
        if (samplePixmap)
            XFreePixmap(display, samplePixmap);
        screenPicture = samplePicture = 0;
        samplePixmap = 0;
    }

    // The monitor seen through a transform that puts the centre of sample (sx, sy) on screen pixel
    // (x + (2·sx + 1)·width ÷ (2·sampleWidth), likewise down), and a pixmap of the sample size to draw
    // it into. False (and no more tries) when the server refuses.
    bool MakeSamplePictures()
    {
        if (samplePicture)
            return true;
        const unsigned long errors = t_trappedErrors;
        XRenderPictFormat* screenFormat = XRenderFindVisualFormat(display, visual);
        sampleFormat = XRenderFindStandardFormat(display, PictStandardRGB24);
        if (!screenFormat || !sampleFormat) {
            render = false;
            return false;
        }
        XRenderPictureAttributes attributes{};
        attributes.subwindow_mode = IncludeInferiors; // the windows on the screen, not only the root
        screenPicture = XRenderCreatePicture(display, root, screenFormat, CPSubwindowMode, &attributes);
        const auto ratio = [](int screen, int samples) {
            return static_cast<XFixed>((static_cast<int64_t>(screen) * 65536 + samples / 2) / samples);
        };
        // The nearest-pixel filter takes the pixel before a point that lies exactly on a pixel edge;
        // moving every point on by the smallest step makes it take the pixel the point starts.
        XTransform transform{};
        transform.matrix[0][0] = ratio(width, sampleWidth);
        transform.matrix[0][2] = XDoubleToFixed(x) + 1;
        transform.matrix[1][1] = ratio(height, sampleHeight);
        transform.matrix[1][2] = XDoubleToFixed(y) + 1;
        transform.matrix[2][2] = XDoubleToFixed(1);
        XRenderSetPictureTransform(display, screenPicture, &transform);
        XRenderSetPictureFilter(display, screenPicture, FilterNearest, nullptr, 0);
        samplePixmap =
            XCreatePixmap(display, root, static_cast<unsigned>(sampleWidth),
                          static_cast<unsigned>(sampleHeight), static_cast<unsigned>(sampleFormat->depth));
        samplePicture = XRenderCreatePicture(display, samplePixmap, sampleFormat, 0, nullptr);
        XSync(display, False);
        if (t_trappedErrors != errors) {
            DropSamplePictures();
            render = false;
            return false;
        }
        return true;
    }

    const XImage* GrabSamples()
    {
        const unsigned long errors = t_trappedErrors;
        XRenderComposite(display, PictOpSrc, screenPicture, None, samplePicture, 0, 0, 0, 0, 0, 0,
                         static_cast<unsigned>(sampleWidth), static_cast<unsigned>(sampleHeight));
        DropPlainImage();
        plainImage = XGetImage(display, samplePixmap, 0, 0, static_cast<unsigned>(sampleWidth),
                               static_cast<unsigned>(sampleHeight), AllPlanes, ZPixmap);
        if (!plainImage || t_trappedErrors != errors)
            return nullptr;
        // A pixmap has no visual to take the channel masks from: they are the picture format's.
        const XRenderDirectFormat& direct = sampleFormat->direct;
        plainImage->red_mask = static_cast<unsigned long>(direct.redMask) << direct.red;
        plainImage->green_mask = static_cast<unsigned long>(direct.greenMask) << direct.green;
        plainImage->blue_mask = static_cast<unsigned long>(direct.blueMask) << direct.blue;
        usedShm = false;
        usedRender = true;
        return plainImage;
    }

    // Notices RandR changes without a round trip.
    void ReadEvents()
    {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (randr && event.type >= randrEventBase && event.type <= randrEventBase + RRNotify) {
                XRRUpdateConfiguration(&event);
                geometryKnown = false;
            }
        }
    }

    void ReadGeometry()
    {
        DropSamplePictures(); // their transform belongs to the old geometry
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, root, &attributes))
            return;
        x = 0;
        y = 0;
        width = attributes.width;
        height = attributes.height;
        if (randr) {
            const RROutput primary = XRRGetOutputPrimary(display, root);
            XRRScreenResources* resources = primary ? XRRGetScreenResourcesCurrent(display, root) : nullptr;
            XRROutputInfo* output = resources ? XRRGetOutputInfo(display, resources, primary) : nullptr;
            XRRCrtcInfo* crtc =
                output && output->crtc ? XRRGetCrtcInfo(display, resources, output->crtc) : nullptr;
            if (crtc && crtc->width > 0 && crtc->height > 0) {
                // Keep the rectangle inside the root window, which a mode change may not have resized yet.
                const int left = std::clamp(crtc->x, 0, attributes.width);
                const int top = std::clamp(crtc->y, 0, attributes.height);
                const int right = std::clamp(crtc->x + static_cast<int>(crtc->width), left, attributes.width);
                const int bottom =
                    std::clamp(crtc->y + static_cast<int>(crtc->height), top, attributes.height);
                if (right > left && bottom > top) {
                    x = left;
                    y = top;
                    width = right - left;
                    height = bottom - top;
                }
            }
            if (crtc)
                XRRFreeCrtcInfo(crtc);
            if (output)
                XRRFreeOutputInfo(output);
            if (resources)
                XRRFreeScreenResources(resources);
        }
        geometryKnown = width > 0 && height > 0;
    }

    bool MakeShmImage()
    {
        if (shmImage && shmImage->width == width && shmImage->height == height)
            return true;
        DropShmImage();
        shmImage = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shmInfo,
                                   static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (!shmImage)
            return false;
        const size_t bytes = static_cast<size_t>(shmImage->bytes_per_line) * shmImage->height;
        shmInfo.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (shmInfo.shmid < 0) {
            XDestroyImage(shmImage);
            shmImage = nullptr;
            return false;
        }
        shmInfo.shmaddr = static_cast<char*>(shmat(shmInfo.shmid, nullptr, 0));
        if (shmInfo.shmaddr == reinterpret_cast<char*>(-1)) {
            shmctl(shmInfo.shmid, IPC_RMID, nullptr);
            XDestroyImage(shmImage);
            shmImage = nullptr;
            return false;
        }
        shmImage->data = shmInfo.shmaddr;
        shmInfo.readOnly = False;
        const unsigned long errors = t_trappedErrors;
        const bool attached =
            XShmAttach(display, &shmInfo) && (XSync(display, False), t_trappedErrors == errors);
        // Marked for removal now, the segment goes away with the last detach, even after a crash.
        shmctl(shmInfo.shmid, IPC_RMID, nullptr);
        if (!attached) {
            // A server on another machine cannot see our memory: no shared memory from now on.
            XDestroyImage(shmImage);
            shmdt(shmInfo.shmaddr);
            shmImage = nullptr;
            shmInfo = {};
            shmUsable = false;
            return false;
        }
        return true;
    }

    const XImage* Grab()
    {
        const unsigned long errors = t_trappedErrors;
        if (shmUsable && MakeShmImage()) {
            if (XShmGetImage(display, root, shmImage, x, y, AllPlanes) && t_trappedErrors == errors) {
                usedShm = true;
                usedRender = false;
                return shmImage;
            }
            return nullptr;
        }
        if (render && sampleWidth > 0 && sampleHeight > 0 && MakeSamplePictures())
            return GrabSamples();
        DropPlainImage();
        plainImage = XGetImage(display, root, x, y, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!plainImage || t_trappedErrors != errors)
            return nullptr;
        usedShm = false;
        usedRender = false;
        return plainImage;
    }

    bool Capture(ScreenImage& out)
    {
        if (!Open())
            return false;
        ReadEvents();
        if (!geometryKnown)
            ReadGeometry();
        if (!geometryKnown)
            return false;
        const XImage* image = Grab();
        if (!image) {
            // Most likely the screen changed under us: look it up again next time.
            geometryKnown = false;
            return false;
        }
        if (IsHostOrderXrgb(image)) {
            out.pixels = reinterpret_cast<const uint32_t*>(image->data);
            out.stride = image->bytes_per_line / 4;
        } else {
            converted.resize(static_cast<size_t>(image->width) * image->height);
            XImage* readable = const_cast<XImage*>(image);
            for (int row = 0; row < image->height; ++row)
                for (int column = 0; column < image->width; ++column) {
                    const unsigned long pixel = XGetPixel(readable, column, row);
                    converted[static_cast<size_t>(row) * image->width + column] =
                        ChannelValue(pixel, image->red_mask) << 16 |
                        ChannelValue(pixel, image->green_mask) << 8 | ChannelValue(pixel, image->blue_mask);
                }
            out.pixels = converted.data();
            out.stride = image->width;
        }
        out.width = image->width;
        out.height = image->height;
        return true;
    }
};

X11ScreenCapture::X11ScreenCapture(std::string displayName, bool useSharedMemory)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->displayName = std::move(displayName);
    m_impl->allowShm = useSharedMemory;
}

X11ScreenCapture::~X11ScreenCapture() = default;

bool X11ScreenCapture::Capture(ScreenImage& image)
{
    return m_impl->Capture(image);
}

void X11ScreenCapture::SetSampleSize(int width, int height)
{
    const bool valid = width > 0 && height > 0;
    m_impl->sampleWidth = valid ? width : 0;
    m_impl->sampleHeight = valid ? height : 0;
    if (m_impl->display)
        m_impl->DropSamplePictures();
}

bool X11ScreenCapture::UsedSharedMemory() const
{
    return m_impl->usedShm;
}

bool X11ScreenCapture::UsedServerScaling() const
{
    return m_impl->usedRender;
}
