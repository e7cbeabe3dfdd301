#pragma once
// The desktop image of the primary screen, for the screen-reactive lighting.

#include <cstdint>

// A view of a captured image: 32-bit words 0x00RRGGBB (the top byte is not used), the top row first.
struct ScreenImage {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // words from one row to the next
};

class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;

    // Copies the primary screen. The view stays valid until the next Capture or the destruction of the
    // capture. False when there is no image (no display, a failed copy).
    virtual bool Capture(ScreenImage& image) = 0;

    // The caller reads only width × height pixels of each W × H image: column (2·x + 1)·W ÷ (2·width)
    // and row (2·y + 1)·H ÷ (2·height) of sample (x, y). A capture whose copy is costly may pick them
    // where the screen is and hand over just that width × height image, which reads the same. 0 × 0:
    // the whole image is read.
    virtual void SetSampleSize(int /*width*/, int /*height*/) {}
};
