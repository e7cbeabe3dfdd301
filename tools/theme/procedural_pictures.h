#pragma once
// The pictures that are computed rather than drawn: the colour wheel and the busy spinner's frames.

#include "tools/theme/surface.h"

// The colour wheel of the wheel control (ui/keyboard/color_math.h): white at the centre pixel, full colour
// from `rim` outwards, a disc of `radius` on a transparent square of `size`. Every pixel inside the radius
// is an opaque colour, so sampling the shown picture gives a real colour.
Surface DrawColourWheel(int size, int radius, int rim);

// Frame `index` of `count` of the spinner: an accent arc with a fading tail that turns once per cycle,
// on an opaque background (GIF transparency has no soft edges).
Surface DrawSpinnerFrame(int size, int index, int count, unsigned background);
