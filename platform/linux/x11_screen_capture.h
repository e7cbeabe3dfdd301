#pragma once
// The primary screen through its own X connection: XShmGetImage of the root window, XGetImage where
// shared memory cannot be used (a remote display). A whole screen through XGetImage costs tens of
// milliseconds, so there, once a sample size is set, the server picks the samples itself (XRender,
// nearest pixel, into a pixmap of the sample size) and only those cross the connection; without
// XRender the whole screen is read. The primary monitor comes from RandR (the whole root window without
// one) and is looked up again when RandR reports a change. X errors of this connection are caught on
// the connection and never reach the process-wide handler.

#include <memory>
#include <string>

#include "platform/screen_capture.h"

class X11ScreenCapture : public ScreenCapture {
public:
    // displayName: empty for $DISPLAY. The display is opened at the first capture, on the capturing
    // thread; a display that cannot be opened is tried again at most once a second. Without
    // useSharedMemory every capture goes through XGetImage.
    explicit X11ScreenCapture(std::string displayName = {}, bool useSharedMemory = true);
    ~X11ScreenCapture() override;
    X11ScreenCapture(const X11ScreenCapture&) = delete;
    X11ScreenCapture& operator=(const X11ScreenCapture&) = delete;

    bool Capture(ScreenImage& image) override;
    void SetSampleSize(int width, int height) override;

    // Whether the last successful capture went through shared memory.
    bool UsedSharedMemory() const;
    // Whether the last successful capture was scaled on the server.
    bool UsedServerScaling() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
