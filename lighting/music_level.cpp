#include "lighting/music_level.h"

#include <cmath>
#include <cstdlib>

double MusicGain(int sliderPosition)
{
    return sliderPosition / 50.0;
}

int MusicLevel(const int16_t* samples, int count, double gain)
{
    if (!samples || count < 10 || !(gain > 0.0))
        return 0;
    const int level = std::abs(static_cast<int>(samples[count - 10])) >> 8;
    const double scaled = std::trunc(level * gain);
    return scaled >= 255.0 ? 255 : static_cast<int>(scaled);
}
