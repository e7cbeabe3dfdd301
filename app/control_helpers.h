#pragma once
// Small helpers for building the program's windows by class name. A class that the library does not
// build yet creates nothing; every helper copes with a null control.

#include "ui/framework/m_control_font.h"
#include "ui/framework/m_dialog.h"
#include "ui/framework/m_panel.h"
#include "ui/framework/window_system.h"

// A control of the named class on a window, as T (null when missing or of another class).
template <class T>
T* MakeControl(MDialog& window, const wchar_t* className, unsigned id, const wchar_t* title = L"", int a = 1,
               int b = 1)
{
    return dynamic_cast<T*>(window.CreateControl(className, id, CRect(), title, a, b));
}

// The same on a page (a panel); null when the page is missing.
template <class T>
T* MakeControl(MPanel* page, const wchar_t* className, unsigned id, const wchar_t* title = L"", int a = 1,
               int b = 1)
{
    return page ? dynamic_cast<T*>(page->CreateControl(className, id, CRect(), title, a, b)) : nullptr;
}

// A control of the window by id, as T.
template <class T> T* FindControl(const MDialog& window, unsigned id)
{
    return dynamic_cast<T*>(window.GetControl(id));
}

inline void PlaceControl(const MDialog& window, unsigned id, const CRect& rect)
{
    if (MControl* control = window.GetControl(id))
        control->SetRect(rect);
}

inline void ShowControl(const MDialog& window, unsigned id, bool visible)
{
    if (MControl* control = window.GetControl(id))
        control->SetVisible(visible ? 1 : 0);
}

// Colour, size, style and horizontal alignment of a text-carrying control.
inline void StyleText(MControlFont* control, ARGB colour, int size, FontStyle style, int hAlign)
{
    if (!control)
        return;
    control->SetTextColor(colour);
    control->SetFont(nullptr, size, style);
    control->SetAlignment(hAlign);
}

// A window of this size in the middle of the screen's work area: where a window is made, so that it
// never shows at the corner first.
inline CRect CentredOnScreen(int width, int height)
{
    const CRect work = WindowSystem::GetWorkArea(nullptr);
    const int left = work.left + (work.Width() - width) / 2;
    const int top = work.top + (work.Height() - height) / 2;
    return CRect(left, top, left + width, top + height);
}
