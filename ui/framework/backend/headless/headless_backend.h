#pragma once
// The window system without a display: windows are records, input is injected by tests, presented
// pixels land in an image per window (dumpable to PNG), and time is a virtual clock that moves only when
// told to or when the message loop would otherwise wait for a timer.

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "ui/framework/clock.h"
#include "ui/framework/surface.h"
#include "ui/framework/window_backend.h"

struct HeadlessWindow {
    NativeWindow id = 0;
    HWND hwnd = nullptr;
    NativeWindow parent = 0;
    NativeWindow owner = 0;
    CRect rect;
    DWORD style = 0;
    DWORD exStyle = 0;
    NativeTraits traits;
    std::wstring title;
    std::wstring className;
    bool visible = false;
    bool iconic = false;
    uint8_t opacity = 255;
    std::map<std::wstring, intptr_t> props;
    PointerShape cursor = PointerShape::Arrow;
    Surface image; // what was presented, client-sized
    int presentCount = 0;
    int raiseCount = 0;
    std::vector<CSize> iconSizes; // the sizes of the icons set last
};

class HeadlessBackend : public WindowBackend {
public:
    explicit HeadlessBackend(CRect screen = {0, 0, 1920, 1080}, CRect workArea = {0, 0, 1920, 1040});
    ~HeadlessBackend() override;

    // --- WindowBackend ---
    const char* Name() const override { return "headless"; }
    void Attach(WindowSystem& sink) override { m_sink = &sink; }
    bool IsAvailable() const override { return true; }
    const Clock& GetClock() const override { return m_clock; }
    std::unique_ptr<MmTimerService> CreateMmTimerService(std::function<void(unsigned)> deliver) override;
    NativeWindow CreateNativeWindow(const NativeWindowParams& params) override;
    void DestroyNativeWindow(NativeWindow window) override;
    void SetTitle(NativeWindow window, const std::wstring& title) override;
    void ApplyStyle(NativeWindow window, DWORD style, DWORD exStyle, NativeWindow owner) override;
    void SetVisible(NativeWindow window, bool visible) override;
    void SetIconic(NativeWindow window, bool iconic) override;
    void SetGeometry(NativeWindow window, const CRect& rect) override;
    void Raise(NativeWindow window) override;
    void Activate(NativeWindow window) override;
    void GrabPointer(NativeWindow window) override { m_grab = window; }
    void UngrabPointer() override { m_grab = 0; }
    void SetCursor(NativeWindow window, PointerShape shape) override;
    void SetProperty(NativeWindow window, const std::wstring& name, std::optional<intptr_t> value) override;
    void SetIcon(NativeWindow window, const std::vector<const Surface*>& pictures) override;
    void SetOpacity(NativeWindow window, uint8_t alpha) override;
    void Present(NativeWindow window, const Surface& pixels, const CRect& rect,
                 const PresentMode& mode) override;
    bool BeginMoveDrag(NativeWindow, CPoint) override { return false; }
    CRect ScreenRect() const override { return m_screen; }
    CRect WorkArea(CPoint) const override { return m_workArea; }
    CPoint CursorPos() const override { return m_cursor; }
    // The clipboard is a string of this backend; another application's copy is SetClipboardText too.
    bool SetClipboardText(const std::string& utf8) override
    {
        m_clipboard = utf8;
        return true;
    }
    std::optional<std::string> GetClipboardText(int) override { return m_clipboard; }
    NativeWindow FindWindowWithProperty(const std::wstring& name) const override;
    void RequestRestore(NativeWindow window) override { m_restoreRequests.push_back(window); }
    bool HasSystemTray() const override { return m_trayPresent; }
    bool DockInSystemTray(NativeWindow window) override;
    void WaitAndDispatch(int wakeFd, std::optional<int64_t> deadline) override;
    void DispatchPending() override;

    // --- For tests ---
    VirtualClock& GetVirtualClock() { return m_clock; }
    const HeadlessWindow* Window(HWND hwnd) const;
    bool WritePng(HWND hwnd, const std::string& path) const;
    NativeWindow ActiveNative() const { return m_active; }
    NativeWindow GrabNative() const { return m_grab; }
    // A waiting loop with nothing to wait for ends the process after this long (0: wait for ever), so a
    // test that would hang fails instead.
    void SetIdleLimit(int64_t ms) { m_idleLimitMs = ms; }

    // Input in the client coordinates of a window, delivered at once (the messages are then queued).
    void MoveMouse(HWND hwnd, CPoint client);
    void Press(HWND hwnd, int button, CPoint client);
    void Release(HWND hwnd, int button, CPoint client);
    void Click(HWND hwnd, CPoint client, int button = kButtonLeft);
    void Wheel(HWND hwnd, int button, CPoint client);
    void LeaveWindow(HWND hwnd);
    // A key by evdev code, with the characters it types.
    void KeyDown(HWND hwnd, unsigned evdevCode, const std::string& text = {});
    void KeyUp(HWND hwnd, unsigned evdevCode);
    void FocusIn(HWND hwnd);
    void FocusOut(HWND hwnd);
    void CloseRequest(HWND hwnd);
    // A system tray appears (or goes, letting go of every icon it held); each icon it takes in becomes
    // iconSize square at the screen's bottom right.
    void SetSystemTray(bool present, int iconSize = 24);
    // The windows the tray holds, in the order it took them in.
    std::vector<HWND> TrayWindows() const;
    void SetNumLock(bool on) { m_numLock = on; }

    // Dispatches everything that waits, without moving the clock; the number of messages dispatched.
    // A quit request stays pending for the caller's own loop.
    int Pump();
    // Moves the clock forward by ms, stopping at every timer on the way and dispatching what it brings.
    void RunFor(int64_t ms);

private:
    HeadlessWindow* Find(NativeWindow window);
    const HeadlessWindow* Find(NativeWindow window) const;
    NativeWindow NativeOf(HWND hwnd) const;
    CPoint ToScreen(HWND hwnd, CPoint client) const;
    unsigned Modifiers() const;

    WindowSystem* m_sink = nullptr;
    VirtualClock m_clock;
    CRect m_screen;
    CRect m_workArea;
    CPoint m_cursor;
    std::map<NativeWindow, std::unique_ptr<HeadlessWindow>> m_windows;
    NativeWindow m_lastId = 0;
    NativeWindow m_active = 0;
    NativeWindow m_grab = 0;
    std::set<unsigned> m_heldKeys;
    unsigned m_buttons = 0;
    bool m_numLock = true;
    std::deque<NativeWindow> m_restoreRequests;
    std::optional<std::string> m_clipboard;
    int64_t m_idleLimitMs = 30000;
    bool m_trayPresent = false;
    int m_trayIconSize = 24;
    std::vector<NativeWindow> m_trayWindows;
};
