#pragma once
// The tooltip of a window: a small topmost popup with a white background and a thin border, at most 256
// pixels wide (longer texts wrap), shown under the pointer. Setting a text shows it at once (the tip
// tracks the control under the pointer); the paint manager hides it when the pointer leaves that
// control or the window, and a relayed button press or wheel turn pops it until the pointer moves on to
// another control.

#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/m_window.h"
#include "ui/framework/surface.h"

class ToolTipWnd : public MWindow {
public:
    static constexpr int kMaxWidth = 256;
    static constexpr float kFontSize = 12.0f;

    explicit ToolTipWnd(HWND owner);

    const wchar_t* GetWindowClassName() const override { return L"tooltips_class32"; }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Sets the text and shows the tip below the pointer; rect is the owner's area it belongs to.
    void Track(const CString& text, const CRect& rect);
    // Hides the tip; it comes back with the next Track.
    void Deactivate();
    // Mouse messages of the owner window: presses and the wheel pop the tip.
    void RelayEvent(const MSG& msg);

    bool IsShown() const;
    const CString& GetText() const { return m_text; }
    CRect GetToolRect() const { return m_toolRect; }

private:
    CSize Measure() const;
    void Paint();

    HWND m_owner;
    CString m_text;
    CRect m_toolRect;
    Surface m_surface;
};
