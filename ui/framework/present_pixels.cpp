#include "ui/framework/present_pixels.h"

#include <algorithm>

void ConvertPresentRow(const uint32_t* source, uint32_t* target, int count, const PresentMode& mode)
{
    if (mode.perPixelAlpha) {
        std::copy(source, source + count, target);
        return;
    }
    if (mode.colorKey) {
        const uint32_t key = *mode.colorKey & 0x00FFFFFF;
        for (int i = 0; i < count; ++i) {
            const uint32_t p = source[i];
            target[i] = (p & 0x00FFFFFF) == key ? 0 : p | 0xFF000000;
        }
        return;
    }
    for (int i = 0; i < count; ++i)
        target[i] = source[i] | 0xFF000000;
}
