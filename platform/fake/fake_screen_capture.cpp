#include "platform/fake/fake_screen_capture.h"

#include <algorithm>

FakeScreenCapture::FakeScreenCapture(int width, int height, const Painter& painter)
{
    SetImage(width, height, painter);
}

void FakeScreenCapture::SetImage(int width, int height, const Painter& painter)
{
    width = std::max(0, width);
    height = std::max(0, height);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = painter ? painter(x, y) : 0;
    const std::lock_guard lock(m_lock);
    m_width = width;
    m_height = height;
    m_pixels = std::move(pixels);
}

bool FakeScreenCapture::Capture(ScreenImage& image)
{
    ++m_captures;
    if (m_failing.load())
        return false;
    const std::lock_guard lock(m_lock);
    if (m_pixels.empty())
        return false;
    // A copy, as a real capture is: the view must not change when the image is replaced.
    m_captured = m_pixels;
    image.pixels = m_captured.data();
    image.width = m_width;
    image.height = m_height;
    image.stride = m_width;
    return true;
}
