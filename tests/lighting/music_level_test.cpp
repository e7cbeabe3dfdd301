#include <gtest/gtest.h>

#include <vector>

#include "lighting/music_level.h"

namespace {

struct LevelCase {
    const char* name;
    std::vector<int16_t> samples;
    double gain;
    int level;
};

// Twelve values; the one that counts is the tenth from the end (index count - 10 = 2).
std::vector<int16_t> WithTenthFromEnd(int16_t value)
{
    std::vector<int16_t> samples(12, 32767);
    samples[2] = value;
    return samples;
}

} // namespace

TEST(MusicLevel, TakesTheTenthValueFromTheEndScaledByTheGain)
{
    const LevelCase cases[] = {
        {"silence", std::vector<int16_t>(960, 0), 2.0, 0},
        {"full scale clamps 256 to 255", WithTenthFromEnd(-32768), 2.0, 255},
        {"full scale at gain 1", WithTenthFromEnd(-32768), 1.0, 128},
        {"positive peak", WithTenthFromEnd(32767), 1.0, 127},
        {"high byte only", WithTenthFromEnd(0x12FF), 1.0, 0x12},
        {"negative value by magnitude", WithTenthFromEnd(-0x1234), 1.0, 0x12},
        {"gain truncates", WithTenthFromEnd(0x1300), 1.5, 28},
        {"gain 0", WithTenthFromEnd(-32768), 0.0, 0},
        {"negative gain", WithTenthFromEnd(-32768), -1.0, 0},
        {"exactly ten values", std::vector<int16_t>{0x4000, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 1.0, 0x40},
        {"fewer than ten values", std::vector<int16_t>(9, 32767), 1.0, 0},
    };
    for (const LevelCase& c : cases)
        EXPECT_EQ(MusicLevel(c.samples.data(), static_cast<int>(c.samples.size()), c.gain), c.level)
            << c.name;
}

TEST(MusicLevel, NoSamplesGiveLevelZero)
{
    EXPECT_EQ(MusicLevel(nullptr, 0, 2.0), 0);
    EXPECT_EQ(MusicLevel(nullptr, 960, 2.0), 0);
}

TEST(MusicLevel, GainIsTheSliderOverFifty)
{
    EXPECT_DOUBLE_EQ(MusicGain(100), 2.0);
    EXPECT_DOUBLE_EQ(MusicGain(50), 1.0);
    EXPECT_DOUBLE_EQ(MusicGain(0), 0.0);
    EXPECT_DOUBLE_EQ(MusicGain(200), 4.0);
}
