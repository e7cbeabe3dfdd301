#pragma once
// Library-wide settings of KelvoUI: the product name, the default font and selection colour, the theme.

#include <cstdint>

#include "core/wide_text.h"

class Manager {
public:
    Manager() = delete;

    // The product name; the program sets it at start-up and builds paths, keys and captions from it.
    static void SetDeviceName(const CString& name);
    static CString GetDeviceName();

    static void SetFont(const CString& name, int size);
    static void SetFontName(const CString& name);
    static CString GetFontName();
    static int GetFontWidth();

    // Selection colour, 0xAARRGGBB.
    static uint32_t GetSelectColor();

    // The skin subfolder, with its trailing separator; it never changes.
    static CString GetTheme();
};
