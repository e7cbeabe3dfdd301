#pragma once
// KelvoUI's window system: one per process, owned by the library. It keeps the windows, their classes,
// styles, properties, invalid regions and timers, runs the UI thread's message queue and turns a
// backend's native events (X11, or injected ones in the headless backend) into the messages the
// library's window classes handle. The calls carry the names and semantics of the platform calls that
// MWindow wraps.
//
// Threads: everything runs on the UI thread (the thread that installed the window system), except
// PostMessageW, PostClosure, PostQuitMessage, IsWindow, InvalidateRect (forwarded to the UI thread) and
// SendMessageW (which blocks the calling thread until the UI thread has handled the message).

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/color.h"
#include "core/wide_text.h"
#include "ui/framework/key_state.h"
#include "ui/framework/message_queue.h"
#include "ui/framework/region.h"
#include "ui/framework/win_types.h"
#include "ui/framework/window_backend.h"

class Clock;
class MmTimerService;
class Surface;
struct WindowClass;
struct WindowRecord;

// What BeginPaint hands to a paint handler.
struct PaintPass {
    CRect rcPaint;  // bounds of the region, client coordinates
    CRegion region; // the pixels to repaint
    bool erase = false;
};

class WindowSystem {
public:
    // How long a send from another thread waits for the UI thread to take the message.
    static constexpr int64_t kCrossThreadSendTimeoutMs = 5000;
    static constexpr DWORD kDefaultHoverMs = 400;

    ~WindowSystem();
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

    // --- The process's instance ---
    // The window system, created on first use with the X11 backend (or the headless one when
    // KELVOUI_BACKEND=headless); the calling thread becomes the UI thread.
    static WindowSystem& Instance();
    // Replaces the window system with a fresh one on backend; the calling thread becomes the UI thread.
    // Every window of the old one is destroyed first.
    static void Install(std::unique_ptr<WindowBackend> backend);
    static WindowBackend& Backend();
    static bool IsUiThread();
    static int64_t NowMs();

    // --- Window classes ---
    // False when the name is taken or missing.
    static BOOL RegisterClassExW(const WNDCLASSEXW& wc);
    static BOOL GetClassInfoExW(const wchar_t* className, WNDCLASSEXW* info);
    static BOOL UnregisterClassW(const wchar_t* className);

    // --- Windows ---
    static HWND CreateWindowExW(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                                int x, int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance,
                                void* param);
    static BOOL DestroyWindow(HWND hwnd);
    static BOOL IsWindow(HWND hwnd);
    static LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static intptr_t GetWindowLongPtrW(HWND hwnd, int index);
    static intptr_t SetWindowLongPtrW(HWND hwnd, int index, intptr_t value);
    static BOOL GetClassNameW(HWND hwnd, CString* name);

    static BOOL ShowWindow(HWND hwnd, int cmd);
    static BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    static BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint);
    static BOOL GetWindowRect(HWND hwnd, CRect* rect);
    static BOOL GetClientRect(HWND hwnd, CRect* rect);
    static BOOL ClientToScreen(HWND hwnd, CPoint* point);
    static BOOL ScreenToClient(HWND hwnd, CPoint* point);
    static BOOL SetWindowTextW(HWND hwnd, const wchar_t* text);
    static int GetWindowTextLengthW(HWND hwnd);
    static BOOL GetWindowTextW(HWND hwnd, CString* text);
    static BOOL EnableWindow(HWND hwnd, BOOL enable);
    static BOOL IsWindowEnabled(HWND hwnd);
    static BOOL IsWindowVisible(HWND hwnd);
    static BOOL IsIconic(HWND hwnd);
    static BOOL IsZoomed(HWND hwnd);
    static HWND GetParent(HWND hwnd);
    static HWND GetWindow(HWND hwnd, UINT relation);
    static HWND GetTopLevel(HWND hwnd);
    // Top-level windows of this process by class name and title (either may be null for "any").
    static HWND FindWindowW(const wchar_t* className, const wchar_t* title);
    // All live windows, in creation order.
    static std::vector<HWND> Windows();

    static HWND SetFocus(HWND hwnd);
    static HWND GetFocus();
    static HWND GetActiveWindow();
    static HWND GetForegroundWindow();
    static BOOL SetForegroundWindow(HWND hwnd);
    static BOOL BringWindowToTop(HWND hwnd);
    static HWND SetCapture(HWND hwnd);
    static BOOL ReleaseCapture();
    static HWND GetCapture();

    static HCURSOR LoadCursorW(HINSTANCE instance, const wchar_t* id);
    // Sets the cursor of the window under the pointer (or holding the capture); returns the previous.
    static HCURSOR SetCursor(HCURSOR cursor);

    static BOOL SetPropW(HWND hwnd, const wchar_t* name, intptr_t value);
    static intptr_t GetPropW(HWND hwnd, const wchar_t* name);
    static intptr_t RemovePropW(HWND hwnd, const wchar_t* name);

    // The window's icons; the backend picks the size it shows.
    static BOOL SetWindowIcon(HWND hwnd, const std::vector<const Surface*>& pictures);
    static BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, uint8_t alpha, DWORD flags);
    static BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, uint8_t* alpha, DWORD* flags);

    static BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
    static short GetKeyState(int vk);
    static short GetAsyncKeyState(int vk);
    static BOOL GetCursorPos(CPoint* point);
    static int GetSystemMetrics(int index);
    // The work area of the monitor nearest a window (the whole screen's when hwnd is null).
    static CRect GetWorkArea(HWND nearWindow);

    // --- Painting ---
    static BOOL InvalidateRect(HWND hwnd, const CRect* rect, BOOL erase);
    static BOOL ValidateRect(HWND hwnd, const CRect* rect);
    static BOOL GetUpdateRect(HWND hwnd, CRect* rect, BOOL erase);
    static CRegion GetUpdateRegion(HWND hwnd);
    static BOOL UpdateWindow(HWND hwnd);
    // Takes the invalid region (sending WM_ERASEBKGND when an erase was asked for) and validates it.
    static PaintPass BeginPaint(HWND hwnd);
    static void EndPaint(HWND hwnd);
    // Shows a rectangle of pixels (a surface of the client size) in the window.
    static BOOL Present(HWND hwnd, const Surface& pixels, const CRect& rect);
    // Shows the whole client area with per-pixel alpha.
    static BOOL UpdateLayeredWindow(HWND hwnd, const Surface& pixels);

    // --- Messages ---
    static BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // A send that gives up (nullopt) when the UI thread does not take it within timeoutMs.
    static std::optional<LRESULT> SendMessageTimeoutW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                                      int64_t timeoutMs);
    static void PostQuitMessage(int exitCode);
    // Runs a closure on the UI thread, in order with posted messages and other closures.
    static void PostClosure(std::function<void()> closure);
    // 0 for WM_QUIT (msg then holds it), 1 for any other message; waits while there is nothing.
    static BOOL GetMessageW(MSG* msg);
    // Like GetMessageW without waiting; false when nothing is there.
    static BOOL PeekMessageW(MSG* msg, UINT removeFlags);
    // Posts the characters typed with a key-down message, right after it.
    static BOOL TranslateMessage(const MSG* msg);
    static LRESULT DispatchMessageW(const MSG* msg);
    static uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapseMs, TIMERPROC proc);
    static BOOL KillTimer(HWND hwnd, uintptr_t id);

    // --- Periodic timers of RKTimer: ticks run on the UI thread ---
    using MmTick = void (*)(unsigned id);
    // The timer's id, or 0 when the period is 0. A paused timer ticks only once resumed.
    static unsigned StartMmTimer(unsigned periodMs, MmTick tick, bool paused = false);
    static void StopMmTimer(unsigned id);
    // Off the schedule (nothing wakes for it) or back on it, the next tick one period later.
    static void PauseMmTimer(unsigned id, bool paused);

    // --- Clipboard ---
    // How long a paste waits for the application that holds the clipboard.
    static constexpr int kClipboardTimeoutMs = 1000;
    // Puts text on the desktop's clipboard; FALSE when it cannot be taken.
    static BOOL SetClipboardText(const CString& text);
    // The clipboard's text; nullopt when there is none (or its owner did not answer in time).
    static std::optional<CString> GetClipboardText();

    // --- Other processes ---
    // A top-level window on the display (of any process) carrying the property; 0 when none.
    static NativeWindow FindWindowWithProperty(const CString& name);
    // Finds such a window and asks it to show itself restored and come to the front.
    static BOOL RestoreWindowWithProperty(const CString& name);

    // --- The desktop's system tray ---
    static bool HasSystemTray();
    // Asks the system tray to take in a window made with WS_EX_KELVO_TRAYICON (the tray maps it and gives
    // its size); FALSE when there is no tray or the window is not of that kind.
    static BOOL DockInSystemTray(HWND hwnd);
    // `changed` runs on the UI thread whenever a system tray appears or goes. A new tray knows nothing of
    // the windows the last one held: they are to be docked again. The listener's id, for removal.
    static int AddSystemTrayListener(std::function<void(bool present)> changed);
    static void RemoveSystemTrayListener(int id);

    // --- Native events, from the backend on the UI thread ---
    void OnNativePointerMotion(NativeWindow window, CPoint screen, unsigned modifiers);
    void OnNativeButton(NativeWindow window, int button, bool pressed, CPoint screen, unsigned modifiers,
                        uint32_t timeMs);
    void OnNativePointerLeave(NativeWindow window);
    void OnNativeKey(NativeWindow window, unsigned evdevCode, bool pressed, const std::string& textUtf8,
                     unsigned modifiers);
    void OnNativeKeymap(const std::vector<unsigned>& downEvdevCodes);
    void OnNativeExpose(NativeWindow window, const CRect& rect);
    void OnNativeConfigure(NativeWindow window, const CRect& rect);
    void OnNativeCloseRequest(NativeWindow window);
    void OnNativeFocus(NativeWindow window, bool focused);
    void OnNativeIconic(NativeWindow window, bool iconic);
    void OnNativeRestoreRequest(NativeWindow window);
    void OnNativeSystemTrayChange(bool present);

    // The earliest time (on the backend's clock) at which a timer or hover is due; nullopt when none.
    static std::optional<int64_t> PendingDeadline();
    // How often the event loop woke from a wait (an idle program should not wake at all).
    uint64_t WakeCount() const { return m_wakeCount.load(); }
    HWND FromNative(NativeWindow window) const;
    NativeWindow ToNative(HWND hwnd) const;

private:
    explicit WindowSystem(std::unique_ptr<WindowBackend> backend);
    static WindowSystem& Self();

    WindowRecord* Find(HWND hwnd) const;
    WindowRecord* FindByNative(NativeWindow window) const;
    HWND NewHandle();
    void DestroyRecord(HWND hwnd);
    void SendSizeAndMove(HWND hwnd, bool sized, bool moved);
    void SendWindowPosChanged(HWND hwnd, UINT flags);
    bool ShowState(HWND hwnd, bool show);
    void Activate(HWND top, bool native);
    void Deactivate(HWND top);
    void ActivateAfterLoss(HWND lost);
    void ChangeFocus(HWND hwnd);
    void ApplyStyleToNative(WindowRecord& r);
    CPoint ClientOrigin(HWND hwnd) const;
    CRect ScreenRectOf(HWND hwnd) const;

    bool NextMessage(MSG* msg, bool wait);
    HWND WindowNeedingPaint() const;
    bool TakeDueTimer(MSG* msg);
    bool PostDueHover();
    std::optional<int64_t> NextDeadline() const;
    MSG MakeMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) const;
    void DeliverMmTick(unsigned id);

    HWND InputTarget(NativeWindow window) const;
    unsigned MouseKeyFlags() const;
    void TrackPointer(HWND hwnd, CPoint screen);
    void EndOwnDrag();
    void StartCaptionDrag(HWND hwnd);
    bool FollowOwnDrag(const MSG& msg);
    void NoteQueuedMouse(const MSG& msg);
    void PostLeaveIfOutside(HWND hwnd);

    std::unique_ptr<WindowBackend> m_backend;
    std::thread::id m_uiThread;
    MessageQueue m_queue;
    std::unique_ptr<MmTimerService> m_mmTimers;
    std::unordered_map<unsigned, MmTick> m_mmTicks;

    std::map<std::wstring, std::unique_ptr<WindowClass>> m_classes;
    std::map<HWND, std::unique_ptr<WindowRecord>> m_windows; // by handle = creation order
    std::unordered_map<NativeWindow, HWND> m_byNative;
    uintptr_t m_lastHandle = 0x10000;
    mutable std::mutex m_liveLock; // guards m_live for other threads
    std::unordered_set<HWND> m_live;

    struct Timer {
        UINT periodMs = 0;
        int64_t next = 0;
        TIMERPROC proc = nullptr;
    };
    std::map<std::pair<HWND, uintptr_t>, Timer> m_timers;

    HWND m_focus = nullptr;
    HWND m_active = nullptr;
    HWND m_capture = nullptr;
    HWND m_pointerWindow = nullptr; // the window the pointer is over
    CPoint m_cursor;
    HCURSOR m_cursorHandle = nullptr;
    unsigned m_buttons = 0;       // InputModifier button bits, as the display reports them now
    unsigned m_queuedButtons = 0; // the same as of the last mouse message taken from the queue
    CPoint m_messagePos;          // the cursor position of the last message taken from the queue
    KeyState m_keys;
    ClickTracker m_clicks;

    struct MouseTracking {
        HWND hwnd = nullptr;
        bool leave = false;
        bool hover = false;
        DWORD hoverMs = kDefaultHoverMs;
        CPoint hoverAnchor; // screen point the pointer must stay near
        int64_t hoverDue = 0;
    } m_tracking;

    struct OwnDrag {
        HWND hwnd = nullptr;
        CPoint startCursor;
        CPoint startOrigin;
    } m_drag;

    std::map<uint32_t, std::u32string> m_pendingChars; // key-down serial → typed characters
    uint32_t m_lastCharSerial = 0;
    std::atomic<uint64_t> m_wakeCount{0};
    std::map<int, std::function<void(bool)>> m_trayListeners;
    int m_nextTrayListener = 1;
};
