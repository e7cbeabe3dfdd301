#pragma once
// The X11 backend's class (internal to backend/x11; includes Xlib). Every call runs on the UI thread.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/framework/backend/x11/x11_image.h"
#include "ui/framework/clock.h"
#include "ui/framework/window_backend.h"

struct X11Window {
    Window xid = 0;
    bool child = false;
    NativeTraits traits;
    XIC xic = nullptr;
    GC gc = nullptr;
    std::unique_ptr<X11Image> image;
    std::deque<CRect> requestedGeometry; // our own configure requests whose notifications are still due
    bool mapped = false;
    bool wantMapped = false;
    bool iconicOnMap = false;
    bool focusOnMap = false;
    bool inputEmpty = false; // the input shape is empty: the pointer passes through
    PointerShape cursor = PointerShape::Arrow;
    // The window's own visual when it is not the backend's (a tray icon takes the tray's).
    Visual* visual = nullptr;
    int depth = 0;
    Colormap ownColormap = 0;
    // A tray icon without an alpha channel shows its picture through a bounding shape.
    std::vector<uint8_t> shapeMask;
};

class X11Backend : public WindowBackend {
public:
    X11Backend();
    ~X11Backend() override;

    const char* Name() const override { return "x11"; }
    void Attach(WindowSystem& sink) override { m_sink = &sink; }
    bool IsAvailable() const override { return m_display != nullptr; }
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
    void GrabPointer(NativeWindow window) override;
    void UngrabPointer() override;
    void SetCursor(NativeWindow window, PointerShape shape) override;
    void SetProperty(NativeWindow window, const std::wstring& name, std::optional<intptr_t> value) override;
    void SetIcon(NativeWindow window, const std::vector<const Surface*>& pictures) override;
    void SetOpacity(NativeWindow window, uint8_t alpha) override;
    void Present(NativeWindow window, const Surface& pixels, const CRect& rect,
                 const PresentMode& mode) override;
    bool BeginMoveDrag(NativeWindow window, CPoint screenPoint) override;

    CRect ScreenRect() const override;
    CRect WorkArea(CPoint near) const override;
    CPoint CursorPos() const override;
    bool SetClipboardText(const std::string& utf8) override;
    std::optional<std::string> GetClipboardText(int timeoutMs) override;
    NativeWindow FindWindowWithProperty(const std::wstring& name) const override;
    void RequestRestore(NativeWindow window) override;
    bool HasSystemTray() const override { return m_trayManager != 0; }
    bool DockInSystemTray(NativeWindow window) override;

    void WaitAndDispatch(int wakeFd, std::optional<int64_t> deadline) override;
    void DispatchPending() override;

private:
    struct Atoms {
        Atom wmProtocols, wmDeleteWindow, wmState, wmChangeState, utf8String, netWmName, netWmPid,
            netWmWindowType, typeNormal, typeDialog, typeUtility, typePopupMenu, netWmState, stateAbove,
            stateSkipTaskbar, stateSkipPager, netActiveWindow, netWmWindowOpacity, motifWmHints, netWorkarea,
            netCurrentDesktop, netSupported, netSupportingWmCheck, netWmMoveresize, kelvoRestore, netWmIcon;
    };

    X11Window* Find(NativeWindow window);
    const X11Window* Find(NativeWindow window) const;
    Atom PropertyAtom(const std::wstring& name, bool onlyIfExists) const;
    bool WindowManagerSupports(Atom feature) const;
    void SendRootMessage(Window about, Atom type, long d0, long d1, long d2, long d3, long d4) const;
    void SetNetWmState(X11Window& w, Atom state, bool on);
    void WriteNetWmStateProperty(const X11Window& w, bool above);
    unsigned Modifiers(unsigned xstate) const;
    void Handle(XEvent& event);
    void HandleKey(XKeyEvent& event);
    void HandleConfigure(const XConfigureEvent& event);
    void HandleProperty(const XPropertyEvent& event);
    void HandleClientMessage(const XClientMessageEvent& event);

    // The system tray (x11_tray.cpp): the manager owning _NET_SYSTEM_TRAY_S<screen>, watched for going
    // away; a new one announces itself with a MANAGER message on the root window.
    struct TrayAtoms {
        Atom selection, opcode, visual, manager, xembedInfo;
    };
    void WatchTrayManager();
    void SetTrayManager(Window manager);
    // The tray's visual when it offers one with an alpha channel, else null.
    Visual* TrayVisual(int& depth) const;
    void SetXEmbedMapped(const X11Window& w, bool mapped);
    bool HandleTrayEvent(const XEvent& event);
    void PresentShaped(X11Window& w, const Surface& pixels, const CRect& rect);

    // The clipboard (x11_clipboard.cpp): an unmapped window of ours owns the CLIPBOARD selection and
    // answers other clients' requests for it; pastes are asked for and awaited on the same window.
    struct ClipboardAtoms {
        Atom clipboard, targets, incr, text, transfer;
    };
    Window SelectionWindow();
    void HandleSelectionRequest(const XSelectionRequestEvent& request);
    void HandleSelectionClear(const XSelectionClearEvent& event);
    // Takes the next event of that type for our selection window (PropertyNotify: a new value of the
    // transfer property) without touching the rest of the queue; false at the deadline.
    bool WaitForSelectionEvent(int type, int64_t deadline, XEvent& out);
    std::optional<std::string> ReadTransfer(Atom target, int64_t deadline);

    WindowSystem* m_sink = nullptr;
    SteadyClock m_clock;
    Display* m_display = nullptr;
    int m_screen = 0;
    Window m_root = 0;
    Visual* m_visual = nullptr;
    int m_depth = 0;
    Colormap m_colormap = 0;
    bool m_ownColormap = false;
    bool m_shm = false;
    bool m_shape = false;
    unsigned m_numLockMask = 0;
    XIM m_xim = nullptr;
    Cursor m_cursors[4] = {};
    Atoms m_atoms{};
    std::unordered_map<NativeWindow, std::unique_ptr<X11Window>> m_windows;

    TrayAtoms m_tray{};
    Window m_trayManager = 0;

    ClipboardAtoms m_clip{};
    Window m_selectionWindow = 0;
    std::string m_clipboardText;
    bool m_ownsClipboard = false;
    Time m_lastInputTime = CurrentTime; // selections are taken with the time of the input that asked
};
