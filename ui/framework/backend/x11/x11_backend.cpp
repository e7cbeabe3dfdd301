// The X11 backend: connection set-up and the native windows (creation, style words as window-manager
// hints, visibility, geometry, focus, pointer grab, cursors, properties, opacity, presentation).

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#include <cstdio>
#include <unistd.h>

#include "core/wide_text.h"
#include "ui/framework/backend/x11/x11_backend.h"
#include "ui/framework/backend/x11/x11_window_backend.h"
#include "ui/framework/mm_timer_service.h"
#include "ui/framework/present_pixels.h"
#include "ui/framework/surface.h"

namespace {

// Xlib's default error handler ends the process; a request about a window that another client just
// destroyed, or a focus request for a window the window manager has not mapped yet, is harmless here.
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

constexpr long kEventMask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | FocusChangeMask | PropertyChangeMask | KeymapStateMask;

constexpr unsigned long kMotifHintsDecorations = 1L << 1;

} // namespace

std::unique_ptr<WindowBackend> CreateX11Backend()
{
    return std::make_unique<X11Backend>();
}

X11Backend::X11Backend()
{
    XInitThreads();
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        std::fprintf(stderr, "KelvoUI: cannot open the X display\n");
        return;
    }
    XSetErrorHandler(IgnoreXError);
    m_screen = DefaultScreen(m_display);
    m_root = RootWindow(m_display, m_screen);

    // A 32-bit visual lets layered windows carry per-pixel alpha; without a compositor it shows opaque.
    XVisualInfo info;
    if (XMatchVisualInfo(m_display, m_screen, 32, TrueColor, &info)) {
        m_visual = info.visual;
        m_depth = 32;
        m_colormap = XCreateColormap(m_display, m_root, m_visual, AllocNone);
        m_ownColormap = true;
    } else {
        m_visual = DefaultVisual(m_display, m_screen);
        m_depth = DefaultDepth(m_display, m_screen);
        m_colormap = DefaultColormap(m_display, m_screen);
    }
    m_shm = XShmQueryExtension(m_display);
    int shapeEvent = 0, shapeError = 0;
    m_shape = XShapeQueryExtension(m_display, &shapeEvent, &shapeError);

    Bool detectable = False;
    XkbSetDetectableAutoRepeat(m_display, True, &detectable);
    if (XModifierKeymap* map = XGetModifierMapping(m_display)) {
        const KeyCode numLock = XKeysymToKeycode(m_display, XK_Num_Lock);
        for (int mod = 0; mod < 8 && numLock; ++mod) {
            for (int k = 0; k < map->max_keypermod; ++k) {
                if (map->modifiermap[mod * map->max_keypermod + k] == numLock)
                    m_numLockMask = 1u << mod;
            }
        }
        XFreeModifiermap(map);
    }
    m_xim = XOpenIM(m_display, nullptr, nullptr, nullptr);

    m_cursors[static_cast<int>(PointerShape::Arrow)] = XCreateFontCursor(m_display, XC_left_ptr);
    m_cursors[static_cast<int>(PointerShape::Hand)] = XCreateFontCursor(m_display, XC_hand2);
    m_cursors[static_cast<int>(PointerShape::IBeam)] = XCreateFontCursor(m_display, XC_xterm);
    m_cursors[static_cast<int>(PointerShape::Wait)] = XCreateFontCursor(m_display, XC_watch);

    auto atom = [this](const char* name) { return XInternAtom(m_display, name, False); };
    m_atoms = Atoms{atom("WM_PROTOCOLS"),
                    atom("WM_DELETE_WINDOW"),
                    atom("WM_STATE"),
                    atom("WM_CHANGE_STATE"),
                    atom("UTF8_STRING"),
                    atom("_NET_WM_NAME"),
                    atom("_NET_WM_PID"),
                    atom("_NET_WM_WINDOW_TYPE"),
                    atom("_NET_WM_WINDOW_TYPE_NORMAL"),
                    atom("_NET_WM_WINDOW_TYPE_DIALOG"),
                    atom("_NET_WM_WINDOW_TYPE_UTILITY"),
                    atom("_NET_WM_WINDOW_TYPE_POPUP_MENU"),
                    atom("_NET_WM_STATE"),
                    atom("_NET_WM_STATE_ABOVE"),
                    atom("_NET_WM_STATE_SKIP_TASKBAR"),
                    atom("_NET_WM_STATE_SKIP_PAGER"),
                    atom("_NET_ACTIVE_WINDOW"),
                    atom("_NET_WM_WINDOW_OPACITY"),
                    atom("_MOTIF_WM_HINTS"),
                    atom("_NET_WORKAREA"),
                    atom("_NET_CURRENT_DESKTOP"),
                    atom("_NET_SUPPORTED"),
                    atom("_NET_SUPPORTING_WM_CHECK"),
                    atom("_NET_WM_MOVERESIZE"),
                    atom("_KELVO_RESTORE"),
                    atom("_NET_WM_ICON")};
    WatchTrayManager();
}

X11Backend::~X11Backend()
{
    if (!m_display)
        return;
    for (auto& [id, w] : m_windows) {
        w->image.reset();
        if (w->xic)
            XDestroyIC(w->xic);
        if (w->gc)
            XFreeGC(m_display, w->gc);
        XDestroyWindow(m_display, w->xid);
        if (w->ownColormap)
            XFreeColormap(m_display, w->ownColormap);
    }
    m_windows.clear();
    if (m_selectionWindow)
        XDestroyWindow(m_display, m_selectionWindow);
    for (Cursor c : m_cursors) {
        if (c)
            XFreeCursor(m_display, c);
    }
    if (m_xim)
        XCloseIM(m_xim);
    if (m_ownColormap)
        XFreeColormap(m_display, m_colormap);
    XCloseDisplay(m_display);
}

std::unique_ptr<MmTimerService> X11Backend::CreateMmTimerService(std::function<void(unsigned)> deliver)
{
    return std::make_unique<ThreadedMmTimerService>(std::move(deliver));
}

X11Window* X11Backend::Find(NativeWindow window)
{
    const auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : it->second.get();
}

const X11Window* X11Backend::Find(NativeWindow window) const
{
    const auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : it->second.get();
}

// --- Windows ---

NativeWindow X11Backend::CreateNativeWindow(const NativeWindowParams& params)
{
    if (!m_display)
        return 0;
    auto w = std::make_unique<X11Window>();
    w->child = params.parent != 0;
    w->traits = TraitsForStyle(params.style, params.exStyle, params.owner != 0);
    w->visual = m_visual;
    w->depth = m_depth;
    Colormap colormap = m_colormap;
    Pixmap background = None;
    if (w->traits.kind == NativeKind::TrayIcon) {
        // The tray shows its icons in windows of its own visual: with an alpha channel when it offers
        // one, else the screen's default, where the picture shows through a shape over the tray's own
        // background.
        int depth = 0;
        if (Visual* visual = TrayVisual(depth)) {
            w->visual = visual;
            w->depth = depth;
            w->ownColormap = XCreateColormap(m_display, m_root, visual, AllocNone);
            colormap = w->ownColormap;
        } else {
            w->visual = DefaultVisual(m_display, m_screen);
            w->depth = DefaultDepth(m_display, m_screen);
            colormap = DefaultColormap(m_display, m_screen);
            background = ParentRelative;
        }
    }

    XSetWindowAttributes attributes{};
    attributes.colormap = colormap;
    attributes.border_pixel = 0;
    attributes.background_pixmap = background;
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = kEventMask;
    attributes.override_redirect = w->traits.kind == NativeKind::Popup ? True : False;
    const Window parent = w->child ? static_cast<Window>(params.parent) : m_root;
    w->xid = XCreateWindow(
        m_display, parent, params.rect.left, params.rect.top,
        static_cast<unsigned>(std::max(params.rect.Width(), 1)),
        static_cast<unsigned>(std::max(params.rect.Height(), 1)), 0, w->depth, InputOutput, w->visual,
        CWColormap | CWBorderPixel | CWBackPixmap | CWBitGravity | CWEventMask | CWOverrideRedirect,
        &attributes);
    if (!w->xid) {
        if (w->ownColormap)
            XFreeColormap(m_display, w->ownColormap);
        return 0;
    }

    if (!w->child) {
        XSetWMProtocols(m_display, w->xid, &m_atoms.wmDeleteWindow, 1);
        const std::string cls = WideToUtf8(params.className);
        XClassHint hint;
        hint.res_name = const_cast<char*>("kelvoui");
        hint.res_class = const_cast<char*>(cls.c_str());
        XSetClassHint(m_display, w->xid, &hint);
        const long pid = getpid();
        XChangeProperty(m_display, w->xid, m_atoms.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
        XWMHints hints{};
        hints.flags = InputHint | StateHint;
        hints.input = True;
        hints.initial_state = NormalState;
        XSetWMHints(m_display, w->xid, &hints);
        XSizeHints size{};
        size.flags = USPosition | USSize | PPosition | PSize;
        size.x = params.rect.left;
        size.y = params.rect.top;
        size.width = std::max(params.rect.Width(), 1);
        size.height = std::max(params.rect.Height(), 1);
        XSetWMNormalHints(m_display, w->xid, &size);
        if (w->traits.kind == NativeKind::TrayIcon)
            SetXEmbedMapped(*w, false);
    }
    if (m_xim) {
        w->xic = XCreateIC(m_xim, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, w->xid,
                           XNFocusWindow, w->xid, nullptr);
        long filterMask = 0;
        if (w->xic && !XGetICValues(w->xic, XNFilterEvents, &filterMask, nullptr) &&
            (filterMask & ~kEventMask))
            XSelectInput(m_display, w->xid, kEventMask | filterMask);
    }
    XDefineCursor(m_display, w->xid, m_cursors[static_cast<int>(PointerShape::Arrow)]);
    const NativeWindow id = w->xid;
    m_windows[id] = std::move(w);
    SetTitle(id, params.title);
    return id;
}

void X11Backend::DestroyNativeWindow(NativeWindow window)
{
    X11Window* w = Find(window);
    if (!w)
        return;
    w->image.reset();
    if (w->xic)
        XDestroyIC(w->xic);
    if (w->gc)
        XFreeGC(m_display, w->gc);
    XDestroyWindow(m_display, w->xid);
    if (w->ownColormap)
        XFreeColormap(m_display, w->ownColormap);
    m_windows.erase(window);
    XFlush(m_display);
}

void X11Backend::SetTitle(NativeWindow window, const std::wstring& title)
{
    X11Window* w = Find(window);
    if (!w || w->child)
        return;
    const std::string utf8 = WideToUtf8(title);
    XChangeProperty(m_display, w->xid, m_atoms.netWmName, m_atoms.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    XStoreName(m_display, w->xid, utf8.c_str());
}

void X11Backend::ApplyStyle(NativeWindow window, DWORD style, DWORD exStyle, NativeWindow owner)
{
    X11Window* w = Find(window);
    if (!w || w->child)
        return;
    const NativeTraits before = w->traits;
    w->traits = TraitsForStyle(style, exStyle, owner != 0);
    // The tray places and stacks its icons; no window manager ever sees them.
    if (w->traits.kind == NativeKind::TrayIcon || before.kind == NativeKind::TrayIcon) {
        w->traits = before;
        return;
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = w->traits.kind == NativeKind::Popup ? True : False;
    XChangeWindowAttributes(m_display, w->xid, CWOverrideRedirect, &attributes);
    if (m_shape && w->traits.pointerThrough != w->inputEmpty) {
        // An empty input shape hands every pointer event to the window beneath; None restores the whole.
        if (w->traits.pointerThrough)
            XShapeCombineRectangles(m_display, w->xid, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
        else
            XShapeCombineMask(m_display, w->xid, ShapeInput, 0, 0, None, ShapeSet);
        w->inputEmpty = w->traits.pointerThrough;
    }

    Atom type = m_atoms.typeNormal;
    if (w->traits.kind == NativeKind::Popup)
        type = m_atoms.typePopupMenu;
    else if (exStyle & 0x00000080) // tool window
        type = m_atoms.typeUtility;
    else if (owner)
        type = m_atoms.typeDialog;
    XChangeProperty(m_display, w->xid, m_atoms.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
    if (owner)
        XSetTransientForHint(m_display, w->xid, static_cast<Window>(owner));
    else
        XDeleteProperty(m_display, w->xid, XA_WM_TRANSIENT_FOR);

    // flags, functions, decorations, input mode, status
    const long motif[5] = {static_cast<long>(kMotifHintsDecorations), 0, w->traits.decorated ? 1 : 0, 0, 0};
    XChangeProperty(m_display, w->xid, m_atoms.motifWmHints, m_atoms.motifWmHints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);

    if (!w->mapped) {
        WriteNetWmStateProperty(*w, w->traits.above);
    } else {
        if (before.above != w->traits.above)
            SetNetWmState(*w, m_atoms.stateAbove, w->traits.above);
        if (before.skipTaskbar != w->traits.skipTaskbar)
            SetNetWmState(*w, m_atoms.stateSkipTaskbar, w->traits.skipTaskbar);
    }
}

void X11Backend::WriteNetWmStateProperty(const X11Window& w, bool above)
{
    std::vector<Atom> states;
    if (above)
        states.push_back(m_atoms.stateAbove);
    if (w.traits.skipTaskbar) {
        states.push_back(m_atoms.stateSkipTaskbar);
        states.push_back(m_atoms.stateSkipPager);
    }
    XChangeProperty(m_display, w.xid, m_atoms.netWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states.data()), static_cast<int>(states.size()));
}

void X11Backend::SetNetWmState(X11Window& w, Atom state, bool on)
{
    SendRootMessage(w.xid, m_atoms.netWmState, on ? 1 : 0, static_cast<long>(state), 0, 1, 0);
}

void X11Backend::SendRootMessage(Window about, Atom type, long d0, long d1, long d2, long d3, long d4) const
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = about;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = d0;
    event.xclient.data.l[1] = d1;
    event.xclient.data.l[2] = d2;
    event.xclient.data.l[3] = d3;
    event.xclient.data.l[4] = d4;
    XSendEvent(m_display, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void X11Backend::SetVisible(NativeWindow window, bool visible)
{
    X11Window* w = Find(window);
    if (!w)
        return;
    w->wantMapped = visible;
    if (w->traits.kind == NativeKind::TrayIcon) {
        // The tray maps the icon once it has taken it in; the icon only says whether it wants to show.
        SetXEmbedMapped(*w, visible);
        if (!visible)
            XUnmapWindow(m_display, w->xid);
        XFlush(m_display);
        return;
    }
    if (visible) {
        if (!w->child) {
            XWMHints hints{};
            hints.flags = InputHint | StateHint;
            hints.input = True;
            hints.initial_state = w->iconicOnMap ? IconicState : NormalState;
            XSetWMHints(m_display, w->xid, &hints);
        }
        if (w->traits.kind == NativeKind::Popup)
            XMapRaised(m_display, w->xid);
        else
            XMapWindow(m_display, w->xid);
    } else if (w->traits.kind == NativeKind::Managed) {
        XWithdrawWindow(m_display, w->xid, m_screen);
    } else {
        XUnmapWindow(m_display, w->xid);
    }
    XFlush(m_display);
}

void X11Backend::SetIconic(NativeWindow window, bool iconic)
{
    X11Window* w = Find(window);
    if (!w || w->child || w->traits.kind == NativeKind::TrayIcon)
        return;
    w->iconicOnMap = iconic;
    if (!w->wantMapped)
        return;
    if (iconic)
        XIconifyWindow(m_display, w->xid, m_screen);
    else
        XMapWindow(m_display, w->xid);
    XFlush(m_display);
}

void X11Backend::SetGeometry(NativeWindow window, const CRect& rect)
{
    X11Window* w = Find(window);
    if (!w)
        return;
    const unsigned width = static_cast<unsigned>(std::max(rect.Width(), 1));
    const unsigned height = static_cast<unsigned>(std::max(rect.Height(), 1));
    w->requestedGeometry.push_back(
        CRect(rect.left, rect.top, rect.left + static_cast<int>(width), rect.top + static_cast<int>(height)));
    while (w->requestedGeometry.size() > 16)
        w->requestedGeometry.pop_front();
    XMoveResizeWindow(m_display, w->xid, rect.left, rect.top, width, height);
    XFlush(m_display);
}

void X11Backend::Raise(NativeWindow window)
{
    if (X11Window* w = Find(window)) {
        XRaiseWindow(m_display, w->xid);
        XFlush(m_display);
    }
}

void X11Backend::Activate(NativeWindow window)
{
    X11Window* w = Find(window);
    if (!w || w->child || w->traits.kind == NativeKind::TrayIcon)
        return;
    if (!w->mapped) {
        // Focus cannot go to an unmapped window; it is asked for again when the map arrives.
        w->focusOnMap = true;
        return;
    }
    // A window manager does not manage our drop-downs and menus (override-redirect), so they take the
    // focus themselves.
    if (w->traits.kind != NativeKind::Popup && WindowManagerSupports(m_atoms.netActiveWindow)) {
        SendRootMessage(w->xid, m_atoms.netActiveWindow, 1, CurrentTime, 0, 0, 0);
    } else {
        XRaiseWindow(m_display, w->xid);
        XSetInputFocus(m_display, w->xid, RevertToParent, CurrentTime);
    }
    XFlush(m_display);
}

void X11Backend::GrabPointer(NativeWindow window)
{
    if (const X11Window* w = Find(window)) {
        XGrabPointer(m_display, w->xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        XFlush(m_display);
    }
}

void X11Backend::UngrabPointer()
{
    if (m_display) {
        XUngrabPointer(m_display, CurrentTime);
        XFlush(m_display);
    }
}

void X11Backend::SetCursor(NativeWindow window, PointerShape shape)
{
    X11Window* w = Find(window);
    if (!w || w->cursor == shape)
        return;
    w->cursor = shape;
    XDefineCursor(m_display, w->xid, m_cursors[static_cast<int>(shape)]);
    XFlush(m_display);
}

Atom X11Backend::PropertyAtom(const std::wstring& name, bool onlyIfExists) const
{
    // Our own prefix keeps program properties apart from everybody else's atoms.
    const std::string atomName = "_KELVO_PROP_" + WideToUtf8(name);
    return XInternAtom(m_display, atomName.c_str(), onlyIfExists ? True : False);
}

void X11Backend::SetProperty(NativeWindow window, const std::wstring& name, std::optional<intptr_t> value)
{
    X11Window* w = Find(window);
    if (!w)
        return;
    const Atom atom = PropertyAtom(name, false);
    // Only numbers travel to other processes; a pointer stored as a property means nothing there.
    if (value && *value >= INT32_MIN && *value <= INT32_MAX) {
        const long number = static_cast<long>(*value);
        XChangeProperty(m_display, w->xid, atom, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&number), 1);
    } else {
        XDeleteProperty(m_display, w->xid, atom);
    }
    // Other processes look for it next, on their own connections: a flush only queues the change
    // with the server, so wait until the server has made it.
    XSync(m_display, False);
}

void X11Backend::SetIcon(NativeWindow window, const std::vector<const Surface*>& pictures)
{
    X11Window* w = Find(window);
    if (!w || w->child)
        return;
    // Width, height, then straight ARGB pixels, for each size; 32-bit items travel as longs.
    std::vector<long> data;
    for (const Surface* picture : pictures) {
        if (!picture || !picture->IsValid())
            continue;
        data.push_back(picture->Width());
        data.push_back(picture->Height());
        for (int y = 0; y < picture->Height(); ++y) {
            for (int x = 0; x < picture->Width(); ++x)
                data.push_back(static_cast<long>(picture->Pixel(x, y)));
        }
    }
    if (data.empty())
        XDeleteProperty(m_display, w->xid, m_atoms.netWmIcon);
    else
        XChangeProperty(m_display, w->xid, m_atoms.netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(m_display);
}

void X11Backend::SetOpacity(NativeWindow window, uint8_t alpha)
{
    X11Window* w = Find(window);
    if (!w || w->child)
        return;
    if (alpha == 255) {
        XDeleteProperty(m_display, w->xid, m_atoms.netWmWindowOpacity);
    } else {
        const long opacity = static_cast<long>(alpha) * 0x01010101L;
        XChangeProperty(m_display, w->xid, m_atoms.netWmWindowOpacity, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&opacity), 1);
    }
    XFlush(m_display);
}

void X11Backend::Present(NativeWindow window, const Surface& pixels, const CRect& rect,
                         const PresentMode& mode)
{
    X11Window* w = Find(window);
    if (!w || rect.IsRectEmpty())
        return;
    if (w->traits.kind == NativeKind::TrayIcon && w->depth != 32 && m_shape) {
        PresentShaped(*w, pixels, rect);
        return;
    }
    if (!w->image)
        w->image = std::make_unique<X11Image>(m_display, w->visual, w->depth, m_shm);
    if (!w->gc)
        w->gc = XCreateGC(m_display, w->xid, 0, nullptr);
    if (!w->image->Ensure(pixels.Width(), pixels.Height()))
        return;
    w->image->BeginWrite();
    if (w->image->NativeLayout()) {
        for (int y = rect.top; y < rect.bottom; ++y)
            ConvertPresentRow(pixels.Row(y) + rect.left, w->image->Row(y) + rect.left, rect.Width(), mode);
    } else {
        std::vector<uint32_t> row(static_cast<size_t>(rect.Width()));
        for (int y = rect.top; y < rect.bottom; ++y) {
            ConvertPresentRow(pixels.Row(y) + rect.left, row.data(), rect.Width(), mode);
            w->image->StoreRow(y, rect.left, row.data(), rect.Width());
        }
    }
    w->image->Put(w->xid, w->gc, rect);
    XFlush(m_display);
}

bool X11Backend::BeginMoveDrag(NativeWindow window, CPoint screenPoint)
{
    const X11Window* w = Find(window);
    if (!w || w->traits.kind != NativeKind::Managed || !WindowManagerSupports(m_atoms.netWmMoveresize))
        return false;
    // The window manager takes the pointer over; our implicit grab from the press must go first.
    XUngrabPointer(m_display, CurrentTime);
    constexpr long kMoveResizeMove = 8;
    SendRootMessage(w->xid, m_atoms.netWmMoveresize, screenPoint.x, screenPoint.y, kMoveResizeMove, Button1,
                    1);
    XFlush(m_display);
    return true;
}
