#pragma once
// The client-side image a window's pixels are converted into and put on the screen from: a shared
// memory image (XShmPutImage) when the display offers it, a plain XImage (XPutImage) otherwise.
// X11 backend internal; includes Xlib.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <cstdint>
#include <vector>

#include "core/geometry.h"

class X11Image {
public:
    X11Image(Display* display, Visual* visual, int depth, bool useShm);
    ~X11Image();
    X11Image(const X11Image&) = delete;
    X11Image& operator=(const X11Image&) = delete;

    // Makes the image at least width × height; false when no image could be had.
    bool Ensure(int width, int height);
    // Waits until the display has read the previous put, so the pixels may be overwritten.
    void BeginWrite();
    // A row of 0xAARRGGBB words to fill; in the display's order when the visual is the usual one.
    uint32_t* Row(int y);
    // Moves a converted row into the image; needed only when the visual is not the usual layout.
    void StoreRow(int y, int x, const uint32_t* pixels, int count);
    bool NativeLayout() const { return m_native; }
    void Put(Drawable target, GC gc, const CRect& rect);
    bool UsesShm() const { return m_shm; }

private:
    void Release();
    bool CreateShm(int width, int height);
    bool CreatePlain(int width, int height);

    Display* m_display;
    Visual* m_visual;
    int m_depth;
    bool m_shm;
    bool m_native = false;
    XImage* m_image = nullptr;
    XShmSegmentInfo m_segment{};
    std::vector<uint32_t> m_plainPixels;
    bool m_inFlight = false;
};
