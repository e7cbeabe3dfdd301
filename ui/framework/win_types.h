#pragma once
// The handle and record types of KelvoUI's window system. They keep the shapes the library's classes
// and the program's handlers are written against (window handles, message words, creation records).

#include <cstdint>

#include "core/geometry.h"

// A window handle: an opaque number, never dereferenced, never reused within a process.
struct HWND__;
using HWND = HWND__*;
// The module instance the program hands to the library; only stored.
using HINSTANCE = void*;
using HMENU = void*;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;

using UINT = unsigned int;
using DWORD = uint32_t;
using BOOL = int;
// Macros rather than constants, as glib defines the same two words as macros.
#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, uintptr_t, DWORD);

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0; // milliseconds of the window system's clock
    CPoint pt;      // cursor position in screen coordinates when the message was queued
    // A key-down message's characters, turned into character messages by TranslateMessage; 0 for none.
    uint32_t charSerial = 0;
};

struct CREATESTRUCTW {
    void* lpCreateParams = nullptr;
    HINSTANCE hInstance = nullptr;
    HMENU hMenu = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    DWORD style = 0;
    const wchar_t* lpszName = nullptr;
    const wchar_t* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

struct WINDOWPOS {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};

struct MINMAXINFO {
    CPoint ptReserved;
    CPoint ptMaxSize;
    CPoint ptMaxPosition;
    CPoint ptMinTrackSize;
    CPoint ptMaxTrackSize;
};

struct NCCALCSIZE_PARAMS {
    CRect rgrc[3];
    WINDOWPOS* lppos = nullptr;
};

struct TRACKMOUSEEVENT {
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};

struct WNDCLASSEXW {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    HCURSOR hCursor = nullptr;
    const wchar_t* lpszClassName = nullptr;
};

// Packing of coordinates and flags into message words.
constexpr LPARAM MAKELPARAM(int low, int high)
{
    return static_cast<LPARAM>(static_cast<uint32_t>((static_cast<uint32_t>(low) & 0xFFFF) |
                                                     ((static_cast<uint32_t>(high) & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int low, int high)
{
    return static_cast<WPARAM>(static_cast<uint32_t>(MAKELPARAM(low, high)));
}
constexpr unsigned LOWORD(uintptr_t v)
{
    return static_cast<unsigned>(v & 0xFFFF);
}
constexpr unsigned HIWORD(uintptr_t v)
{
    return static_cast<unsigned>((v >> 16) & 0xFFFF);
}
constexpr int GET_X_LPARAM(LPARAM l)
{
    return static_cast<int16_t>(static_cast<uint16_t>(l & 0xFFFF));
}
constexpr int GET_Y_LPARAM(LPARAM l)
{
    return static_cast<int16_t>(static_cast<uint16_t>((l >> 16) & 0xFFFF));
}
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w)
{
    return static_cast<int16_t>(static_cast<uint16_t>((w >> 16) & 0xFFFF));
}
constexpr unsigned GET_KEYSTATE_WPARAM(WPARAM w)
{
    return LOWORD(w);
}
