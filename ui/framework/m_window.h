#pragma once
// One window of the window system wrapped by an object: creation with class registration, the window
// procedure that routes every message to the object, thin wrappers of the window calls, centring,
// bringing to front and the modal loop.
//
// Lifetime: the object is constructed without a window, creates one with Create, and outlives it; once
// the window's last message has been handled the handle is null and OnDestroyMessage runs. An object
// destroyed while its window still exists first detaches from it and destroys it.

#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/messages.h"
#include "ui/framework/win_types.h"

class MWindow {
public:
    MWindow();
    virtual ~MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    // "KelvoClient" for every window of the library.
    virtual const wchar_t* GetWindowClassName() const { return L"KelvoClient"; }
    // An existing window class to superclass, or null.
    virtual const wchar_t* GetSuperClassName() const { return nullptr; }
    virtual int ShowWindow(int cmd);
    // Every message of the window; the default passes it to the previous window procedure.
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Nonzero swallows the message in a modal loop.
    virtual int PreTranslateMessage(MSG* msg);
    // Called once right after Create, whether or not the window could be made.
    virtual int OnInitDialog() { return 1; }
    // Called after the window's last message; the handle is already null.
    virtual void OnDestroyMessage(HWND /*hwnd*/) {}

    // Title "KelvoClient", style 0x0000080B, no extended style, (0, 0, 800, 600), no menu.
    HWND Create(HWND parent);
    HWND Create(HWND parent, const CRect& rect);
    // Returns the existing handle when the window exists; null when the class cannot be registered.
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, const CRect& rect,
                HMENU menu = nullptr);
    int RegisterWindowClass();
    int RegisterSuperClass();

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetParentHwnd() const { return m_hParent; }
    // Whether the stored handle names a live window.
    bool IsLive() const;

    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    // new = (old & ~remove) | add; 0 when unchanged or without a window. With positionFlags ≠ 0 the frame
    // is refreshed with positionFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE.
    int ModifyStyle(DWORD remove, DWORD add, UINT positionFlags = 0);
    int ModifyExStyle(DWORD remove, DWORD add, UINT positionFlags = 0);

    BOOL GetClientRect(CRect* rect) const;
    BOOL GetWindowRect(CRect* rect) const;
    BOOL SetWindowTextW(const wchar_t* text);
    BOOL GetWindowTextW(CString& text) const;
    // -1 without a window.
    int GetWindowTextLengthW() const;
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL InvalidateRect(const CRect& rect, int erase);
    // The whole client area when rect is null.
    BOOL InvalidateRect(const CRect* rect, int erase);
    HWND SetCapture();
    BOOL ReleaseCapture();
    HWND SetFocus();
    uintptr_t SetTimer(uintptr_t id, UINT elapseMs, TIMERPROC proc = nullptr);
    BOOL KillTimer(uintptr_t id);
    BOOL ClientToScreen(CPoint* point) const;
    BOOL ClientToScreen(CRect* rect) const;
    BOOL ScreenToClient(CPoint* point) const;
    BOOL ScreenToClient(CRect* rect) const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE);
    BOOL MoveWindow(const CRect& rect, BOOL repaint = TRUE);
    BOOL DestroyWindow();
    LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // The window's big and small icons from an icon resource (ICO or PNG) of the library's module, or
    // else of the program's.
    void SetIcon(unsigned resourceId);
    // Centres on relativeTo (a live window), else on the parent or owner, else on the work area, keeping
    // the window inside the work area (or the parent's client area for a child window).
    void CenterWindow(MWindow* relativeTo = nullptr);
    // Makes the window the foreground window and shows it (restored when minimised).
    void BringToTop();
    // Shows the window, disables its owner and runs the message loop until the window is gone. The
    // result is the wParam of the close message that ended it (0 when none came); (unsigned)-1 when
    // there is no window. A quit message ends the loop and is posted again for the outer loop.
    unsigned ShowModal(int cmdShow = SW_SHOW);

    static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The procedure of superclassed windows; the object is kept in the window property "Control".
    static LRESULT ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    HWND m_hParent = nullptr;
    HWND m_hWnd = nullptr;
    WNDPROC m_prevWndProc;
    int m_reserved = 0;
};
