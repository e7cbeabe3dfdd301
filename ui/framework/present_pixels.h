#pragma once
// How pixels leave a paint pass for the display: an opaque window shows every pixel opaque (whatever
// alpha the drawing left), a colour-keyed window makes the key colour transparent, and a per-pixel-alpha
// window keeps the alpha as drawn.

#include <cstdint>

#include "ui/framework/window_backend.h"

void ConvertPresentRow(const uint32_t* source, uint32_t* target, int count, const PresentMode& mode);
