#pragma once
// The library's own resources, embedded into libKelvoUI.so by the build (see ui/CMakeLists.txt).

#include <cstdint>
#include <span>

// PNG 101: the horizontal scroll bar's thumb, 4 frames side by side.
std::span<const uint8_t> EmbeddedScrollHorizontalPng();
// PNG 102: the vertical scroll bar's thumb, 4 frames side by side.
std::span<const uint8_t> EmbeddedScrollVerticalPng();
// TTF 106: "Open Sans Semibold" from Debian's fonts-open-sans.
std::span<const uint8_t> EmbeddedOpenSansSemibold();
