#pragma once
// A decoded picture: one frame for still pictures, every frame with its delay for an animated GIF.
// Frames are premultiplied ARGB surfaces, ready to draw. Decoding is gdk-pixbuf's (PNG, GIF, ICO, JPEG,
// BMP, …).

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ui/framework/surface.h"

class Image {
public:
    // Null when the file is missing or cannot be decoded.
    static std::shared_ptr<Image> FromFile(const std::string& nativePath);
    static std::shared_ptr<Image> FromBytes(std::span<const uint8_t> bytes);
    // A picture of one frame made from pixels drawn by the program.
    static std::shared_ptr<Image> FromSurface(Surface frame);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    size_t FrameCount() const { return m_frames.size(); }
    // Frame i (clamped to the last one).
    const Surface& Frame(size_t i = 0) const
    {
        return m_frames[i < m_frames.size() ? i : m_frames.size() - 1];
    }
    // How long frame i stays, in milliseconds; 0 for a still picture.
    int FrameDelayMs(size_t i) const { return i < m_delays.size() ? m_delays[i] : 0; }

private:
    Image() = default;

    int m_width = 0;
    int m_height = 0;
    std::vector<Surface> m_frames;
    std::vector<int> m_delays;

    friend struct ImageDecoder;
};
