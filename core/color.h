#pragma once
// Colours as the program stores and sends them, and as the UI library draws them.

#include <cstdint>

// 0x00BBGGRR: red in the low byte (database, colour buttons, keyboard view, screen samples).
using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr uint8_t GetRValue(COLORREF c)
{
    return static_cast<uint8_t>(c & 0xFF);
}
constexpr uint8_t GetGValue(COLORREF c)
{
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
constexpr uint8_t GetBValue(COLORREF c)
{
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}

// 0xAARRGGBB: what the UI library draws with (straight, not premultiplied, alpha).
using ARGB = uint32_t;

constexpr ARGB MakeARGB(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
{
    return (static_cast<ARGB>(a) << 24) | (static_cast<ARGB>(r) << 16) | (static_cast<ARGB>(g) << 8) | b;
}
constexpr ARGB ColorRefToARGB(COLORREF c, uint8_t alpha = 0xFF)
{
    return MakeARGB(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}
constexpr COLORREF ARGBToColorRef(ARGB c)
{
    return RGB(static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c));
}
