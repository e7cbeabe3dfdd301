#pragma once
// A generated desktop image in place of the display.

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/screen_capture.h"

class FakeScreenCapture : public ScreenCapture {
public:
    // The colour (0x00RRGGBB) of the pixel at (x, y).
    using Painter = std::function<uint32_t(int x, int y)>;

    FakeScreenCapture(int width, int height, const Painter& painter);

    bool Capture(ScreenImage& image) override;

    // Replaces the image (any thread).
    void SetImage(int width, int height, const Painter& painter);
    // While set, Capture reports no image.
    void SetFailing(bool failing) { m_failing = failing; }
    int CaptureCount() const { return m_captures.load(); }

private:
    std::mutex m_lock;
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
    std::vector<uint32_t> m_captured;
    std::atomic<bool> m_failing{false};
    std::atomic<int> m_captures{0};
};
