#pragma once
// What the window system needs from a display: native windows, presentation of pixels, and a wait that
// delivers native input back to the window system. Two implementations: X11 and headless.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "ui/framework/win_types.h"

class Clock;
class MmTimerService;
class Surface;
class WindowSystem;

// The backend's own name for a window (an X window id, or a headless record number); 0 for none.
using NativeWindow = uint64_t;

enum class NativeKind {
    Child,    // inside its parent window
    Popup,    // placed by us, not managed by a window manager (menus, drop-downs, tips)
    Managed,  // a top-level window the window manager places, stacks and lists
    TrayIcon, // taken in by the desktop's system tray, which maps, places and sizes it
};

// How a window's style words read on a desktop with a window manager.
struct NativeTraits {
    NativeKind kind = NativeKind::Managed;
    bool decorated = false;      // title bar and border drawn by the window manager
    bool skipTaskbar = false;    // tool windows
    bool above = false;          // topmost
    bool pointerThrough = false; // layered and transparent: pointer input goes to what lies beneath (tips)
    bool operator==(const NativeTraits&) const = default;
};
NativeTraits TraitsForStyle(DWORD style, DWORD exStyle, bool hasOwner);

struct NativeWindowParams {
    HWND hwnd = nullptr;
    NativeWindow parent = 0; // the parent for a child window, else 0
    NativeWindow owner = 0;  // the owner of a top-level window, else 0
    CRect rect;              // screen coordinates, or parent-client coordinates for a child
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring title;
    std::wstring className;
};

// How presented pixels are to be read.
struct PresentMode {
    bool perPixelAlpha = false;       // layered with source alpha: pixels go out as they are
    std::optional<uint32_t> colorKey; // 0x00RRGGBB that becomes fully transparent
};

enum class PointerShape { Arrow, Hand, IBeam, Wait };

// Keyboard and button state reported with each native input event (the state before the event).
enum InputModifier : unsigned {
    kModShift = 0x01,
    kModControl = 0x02,
    kModAlt = 0x04,
    kModLeftButton = 0x08,
    kModRightButton = 0x10,
    kModMiddleButton = 0x20,
    kModCapsLock = 0x40,
    kModNumLock = 0x80,
};

// Native pointer buttons: 1 left, 2 middle, 3 right, 4/5 wheel up/down, 6/7 wheel left/right.
enum NativeButton : int {
    kButtonLeft = 1,
    kButtonMiddle = 2,
    kButtonRight = 3,
    kButtonWheelUp = 4,
    kButtonWheelDown = 5,
    kButtonWheelLeft = 6,
    kButtonWheelRight = 7,
};

class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    virtual const char* Name() const = 0;
    // Called once when the window system takes the backend; sink receives native events from then on.
    virtual void Attach(WindowSystem& sink) = 0;
    // Whether windows can be created at all (an X11 backend without a display cannot).
    virtual bool IsAvailable() const = 0;
    virtual const Clock& GetClock() const = 0;
    virtual std::unique_ptr<MmTimerService> CreateMmTimerService(std::function<void(unsigned)> deliver) = 0;

    virtual NativeWindow CreateNativeWindow(const NativeWindowParams& params) = 0;
    virtual void DestroyNativeWindow(NativeWindow window) = 0;
    virtual void SetTitle(NativeWindow window, const std::wstring& title) = 0;
    // Style words changed (also right after creation, before the first show).
    virtual void ApplyStyle(NativeWindow window, DWORD style, DWORD exStyle, NativeWindow owner) = 0;
    virtual void SetVisible(NativeWindow window, bool visible) = 0;
    virtual void SetIconic(NativeWindow window, bool iconic) = 0;
    virtual void SetGeometry(NativeWindow window, const CRect& rect) = 0;
    virtual void Raise(NativeWindow window) = 0;
    // Keyboard focus and activation of a shown top-level window.
    virtual void Activate(NativeWindow window) = 0;
    virtual void GrabPointer(NativeWindow window) = 0;
    virtual void UngrabPointer() = 0;
    virtual void SetCursor(NativeWindow window, PointerShape shape) = 0;
    virtual void SetProperty(NativeWindow window, const std::wstring& name,
                             std::optional<intptr_t> value) = 0;
    // The window's icons (straight from the pictures, any sizes; empty: the desktop's default).
    virtual void SetIcon(NativeWindow window, const std::vector<const Surface*>& pictures) = 0;
    // Constant opacity of a whole window, 255 = opaque.
    virtual void SetOpacity(NativeWindow window, uint8_t alpha) = 0;
    // Copies rect (client coordinates) of pixels, the size of the client area, to the window.
    virtual void Present(NativeWindow window, const Surface& pixels, const CRect& rect,
                         const PresentMode& mode) = 0;
    // Hands a caption drag to the window manager; false when there is none to take it.
    virtual bool BeginMoveDrag(NativeWindow window, CPoint screenPoint) = 0;

    virtual CRect ScreenRect() const = 0;
    // The work area (screen minus panels) of the monitor nearest a point.
    virtual CRect WorkArea(CPoint near) const = 0;
    virtual CPoint CursorPos() const = 0;

    // --- The desktop's clipboard (text) ---
    // Offers the text (UTF-8) to every application until another one takes the clipboard over; false
    // when the clipboard cannot be taken.
    virtual bool SetClipboardText(const std::string& utf8) = 0;
    // The clipboard's text as UTF-8, waiting at most timeoutMs for its owner to hand it over; nullopt
    // when the clipboard is empty, holds no text, or its owner does not answer in time.
    virtual std::optional<std::string> GetClipboardText(int timeoutMs) = 0;

    // Top-level windows of any process on the display carrying a property; 0 when none.
    virtual NativeWindow FindWindowWithProperty(const std::wstring& name) const = 0;
    // Asks a window, possibly of another process, to restore itself and come to the front.
    virtual void RequestRestore(NativeWindow window) = 0;

    // --- The desktop's system tray (freedesktop XEmbed tray) ---
    // Whether a system tray runs now. A backend reports a tray appearing or going with
    // WindowSystem::OnNativeSystemTrayChange.
    virtual bool HasSystemTray() const { return false; }
    // Asks the tray to take in a window made with the tray-icon kind; false when there is no tray.
    virtual bool DockInSystemTray(NativeWindow /*window*/) { return false; }

    // Delivers pending native events to the sink; when there were none, first waits until native events
    // arrive, wakeFd becomes readable or deadline (on the backend's clock) passes. No deadline: wait
    // for events only.
    virtual void WaitAndDispatch(int wakeFd, std::optional<int64_t> deadline) = 0;
    // Delivers pending native events without waiting.
    virtual void DispatchPending() = 0;
};
