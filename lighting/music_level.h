#pragma once
// The music level of the feature-report keyboards: one value of the captured sound per capture period,
// scaled by the sensitivity slider, as the level byte of the music report.

#include <cstdint>

// The sensitivity slider (0-200) as a gain: position / 50.
double MusicGain(int sliderPosition);

// |samples[count - 10]| >> 8 (0-128; count counts 16-bit values, all channels interleaved) times the
// gain, truncated and capped at 255. 0 without samples, with fewer than 10 values or with a negative gain.
int MusicLevel(const int16_t* samples, int count, double gain);
