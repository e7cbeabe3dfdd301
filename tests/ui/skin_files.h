#pragma once
// Pictures for the skin folder of a test's application folder.

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

#include "tests/support/scoped_folders.h"
#include "ui/framework/surface.h"

// Two 1 × 1 frames (red, then blue), 100 ms each, looping.
inline constexpr uint8_t kTwoFrameGif[] = {
    'G',  'I',  'F',  '8',  '9', 'a',  1,    0,   1,    0,    0x81, 0,    0, // screen 1×1, 4-colour table
    0xFF, 0,    0,    0,    0,   0xFF, 0,    0,   0,    0,    0,    0,       // red, blue, black, black
    0x21, 0xFF, 11,   'N',  'E', 'T',  'S',  'C', 'A',  'P',  'E',  '2',  '.',  '0', 3,   1, 0,
    0,    0,    0x21, 0xF9, 4,   0,    10,   0,   0,    0,    0x2C, 0,    0,    0,   0,   1, 0,
    1,    0,    0,    2,    2,   0x44, 0x01, 0,   0x21, 0xF9, 4,    0,    10,   0,   0,   0, 0x2C,
    0,    0,    0,    0,    1,   0,    1,    0,   0,    2,    2,    0x4C, 0x01, 0,   0x3B};

// Writes a picture into the skin folder.
inline void WriteSkin(const ScopedFolders& folders, const std::string& name, const Surface& picture)
{
    const auto path = folders.AppFolder() / "skins" / "theme1" / name;
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(picture.WritePng(path.string()));
}

// A strip of frames of one solid colour each, frameWidth × height.
inline Surface SolidStrip(std::initializer_list<ARGB> colours, int frameWidth, int height)
{
    Surface strip(frameWidth * static_cast<int>(colours.size()), height);
    int x = 0;
    for (ARGB c : colours) {
        strip.Fill(CRect(x, 0, x + frameWidth, height), c);
        x += frameWidth;
    }
    return strip;
}
