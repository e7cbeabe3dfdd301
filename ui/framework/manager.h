#pragma once
// Library-wide settings of KelvoUI: the product name, the default font and selection colour, the theme,
// the module instance, and the library's message loop.

#include <cstdint>

#include "core/wide_text.h"
#include "ui/framework/win_types.h"

class MWindow;

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

    // The module instance given by the program; only stored and handed to window classes.
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();

    // The drawing libraries need no process-wide start-up or shutdown here; kept for the program's
    // start-up and exit order.
    static void InitGdiplus() {}
    static void UnInitGdiplus() {}

    // Runs the UI thread's message loop until a quit message; returns its exit code. Messages that arrive
    // while Alt and F4 are both held are dropped.
    static int MessageLoop();
    // 1 while Alt and F4 are both held, else 0.
    static int PreTranslateMessage(MSG* msg);

    // A set of windows kept for the program; nothing in the library reads it.
    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);
    static bool HasWnd(MWindow* window);
};
