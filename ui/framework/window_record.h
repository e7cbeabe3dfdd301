#pragma once
// The window system's record of one window (internal to the window system's implementation files).

#include <cstdint>
#include <map>
#include <string>

#include "core/color.h"
#include "ui/framework/region.h"
#include "ui/framework/win_types.h"
#include "ui/framework/window_backend.h"

struct WindowClass {
    std::wstring name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HCURSOR cursor = nullptr;
};

struct WindowRecord {
    HWND hwnd = nullptr;
    NativeWindow native = 0;
    std::wstring className;
    UINT classStyle = 0;
    HCURSOR classCursor = nullptr;
    WNDPROC proc = nullptr;
    HMENU menu = nullptr;
    std::wstring title;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr; // child windows
    HWND owner = nullptr;  // top-level windows
    CRect rect;            // screen coordinates; parent-client coordinates for a child
    CRect restoreRect;     // the rectangle before maximising
    bool zoomed = false;
    intptr_t userData = 0;
    std::map<std::wstring, intptr_t> props;

    CRegion invalid;
    bool eraseBackground = false;
    bool paintBegun = false; // BeginPaint ran during the current WM_PAINT

    COLORREF layeredKey = 0;
    uint8_t layeredAlpha = 255;
    DWORD layeredFlags = 0;

    HWND lastFocus = nullptr; // top-level windows: where the focus goes back to on activation
    bool destroying = false;

    bool IsChild() const { return (style & 0x40000000u) != 0; }
    bool IsVisibleFlag() const { return (style & 0x10000000u) != 0; }
    bool IsIconicFlag() const { return (style & 0x20000000u) != 0; }
    bool IsDisabledFlag() const { return (style & 0x08000000u) != 0; }
    CRect ClientRect() const { return {0, 0, rect.Width(), rect.Height()}; }
};
