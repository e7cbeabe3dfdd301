#pragma once
// The key function picker's fixed catalogue: 122 buttons laid out like a small keyboard (a row of 18
// media and launch functions shown as icons, then the function-key row, the main block, the navigation
// block and the keypad). Values below 232 are HID keyboard usages; 232–249 are the special functions.
// The library keeps its own copy of these numbers: it does not depend on the program's key tables.

#include <span>

#include "core/geometry.h"

struct KeyFuncEntry {
    const wchar_t* label; // empty for the icon buttons
    int value;
    CRect rect;          // relative to the picker's top-left corner
    const wchar_t* icon; // skin file, or null
};

// The buttons in their fixed order.
std::span<const KeyFuncEntry> KeyFuncCatalogue();

// The area the catalogue covers.
inline constexpr CSize kKeyFuncCatalogueSize{903, 236};
