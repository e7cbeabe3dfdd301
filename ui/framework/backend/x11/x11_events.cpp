// The X11 backend's event loop: one poll on the display connection and the message queue's wake
// descriptor, then every X event handed to the window system as a native event.

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <string>

#include "core/linux_keys.h"
#include "ui/framework/backend/x11/x11_window_backend.h"
#include "ui/framework/window_system.h"

namespace {

// The characters of a keysym that X could not turn into text itself (Latin-1 and Unicode keysyms).
std::string KeysymText(KeySym keysym)
{
    char32_t c = 0;
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
        c = static_cast<char32_t>(keysym);
    else if (keysym >= 0x01000100 && keysym <= 0x0110FFFF)
        c = static_cast<char32_t>(keysym - 0x01000000);
    if (!c)
        return {};
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

void X11Backend::WaitAndDispatch(int wakeFd, std::optional<int64_t> deadline)
{
    int timeout = -1;
    if (deadline)
        timeout = static_cast<int>(std::clamp<int64_t>(*deadline - m_clock.NowMs(), 0, 24 * 3600 * 1000));
    if (!m_display) {
        pollfd fd{wakeFd, POLLIN, 0};
        poll(&fd, 1, timeout);
        return;
    }
    XFlush(m_display);
    // Events Xlib has already read would not wake the poll.
    if (XEventsQueued(m_display, QueuedAlready) > 0) {
        DispatchPending();
        return;
    }
    pollfd fds[2] = {{ConnectionNumber(m_display), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    if (poll(fds, 2, timeout) < 0 && errno != EINTR)
        return;
    DispatchPending();
}

void X11Backend::DispatchPending()
{
    if (!m_display)
        return;
    while (XPending(m_display)) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (XFilterEvent(&event, None))
            continue;
        Handle(event);
    }
}

unsigned X11Backend::Modifiers(unsigned xstate) const
{
    unsigned mods = 0;
    if (xstate & ShiftMask)
        mods |= kModShift;
    if (xstate & ControlMask)
        mods |= kModControl;
    if (xstate & Mod1Mask)
        mods |= kModAlt;
    if (xstate & LockMask)
        mods |= kModCapsLock;
    if (m_numLockMask && (xstate & m_numLockMask))
        mods |= kModNumLock;
    if (xstate & Button1Mask)
        mods |= kModLeftButton;
    if (xstate & Button2Mask)
        mods |= kModMiddleButton;
    if (xstate & Button3Mask)
        mods |= kModRightButton;
    return mods;
}

void X11Backend::Handle(XEvent& event)
{
    if (!m_sink)
        return;
    if (HandleTrayEvent(event))
        return;
    const NativeWindow window = event.xany.window;
    switch (event.type) {
    case Expose:
        m_sink->OnNativeExpose(window,
                               CRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                     event.xexpose.y + event.xexpose.height));
        break;
    case ConfigureNotify:
        HandleConfigure(event.xconfigure);
        break;
    case MapNotify:
        if (X11Window* w = Find(event.xmap.window)) {
            w->mapped = true;
            if (w->focusOnMap) {
                w->focusOnMap = false;
                Activate(w->xid);
            }
        }
        break;
    case UnmapNotify:
        if (X11Window* w = Find(event.xunmap.window))
            w->mapped = false;
        break;
    case PropertyNotify:
        HandleProperty(event.xproperty);
        break;
    case ClientMessage:
        HandleClientMessage(event.xclient);
        break;
    case FocusIn:
    case FocusOut: {
        const XFocusChangeEvent& focus = event.xfocus;
        if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab || focus.detail == NotifyPointer ||
            focus.detail == NotifyInferior)
            break;
        X11Window* w = Find(window);
        if (!w)
            break;
        if (w->xic) {
            if (event.type == FocusIn)
                XSetICFocus(w->xic);
            else
                XUnsetICFocus(w->xic);
        }
        m_sink->OnNativeFocus(window, event.type == FocusIn);
        break;
    }
    case KeymapNotify: {
        std::vector<unsigned> down;
        for (unsigned keycode = 8; keycode < 256; ++keycode) {
            if (event.xkeymap.key_vector[keycode / 8] & (1 << (keycode % 8)))
                down.push_back(keycode - 8);
        }
        m_sink->OnNativeKeymap(down);
        break;
    }
    case MappingNotify:
        // A new keyboard layout: the keys now type other characters.
        if (event.xmapping.request == MappingKeyboard || event.xmapping.request == MappingModifier)
            XRefreshKeyboardMapping(&event.xmapping);
        break;
    case SelectionRequest:
        HandleSelectionRequest(event.xselectionrequest);
        break;
    case SelectionClear:
        HandleSelectionClear(event.xselectionclear);
        break;
    case KeyPress:
    case KeyRelease:
        m_lastInputTime = event.xkey.time;
        HandleKey(event.xkey);
        break;
    case ButtonPress:
    case ButtonRelease:
        m_lastInputTime = event.xbutton.time;
        m_sink->OnNativeButton(window, static_cast<int>(event.xbutton.button), event.type == ButtonPress,
                               CPoint(event.xbutton.x_root, event.xbutton.y_root),
                               Modifiers(event.xbutton.state), static_cast<uint32_t>(event.xbutton.time));
        break;
    case MotionNotify:
        m_sink->OnNativePointerMotion(window, CPoint(event.xmotion.x_root, event.xmotion.y_root),
                                      Modifiers(event.xmotion.state));
        break;
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyNormal)
            m_sink->OnNativePointerLeave(window);
        break;
    default:
        break;
    }
}

void X11Backend::HandleKey(XKeyEvent& event)
{
    const auto evdev = EvdevFromX11Keycode(event.keycode);
    if (!evdev)
        return;
    const bool pressed = event.type == KeyPress;
    std::string text;
    if (pressed) {
        KeySym keysym = NoSymbol;
        const X11Window* w = Find(event.window);
        if (w && w->xic) {
            std::string buffer(64, '\0');
            Status status = 0;
            int n = Xutf8LookupString(w->xic, &event, buffer.data(), static_cast<int>(buffer.size()), &keysym,
                                      &status);
            if (status == XBufferOverflow) {
                buffer.resize(static_cast<size_t>(n) + 1);
                n = Xutf8LookupString(w->xic, &event, buffer.data(), static_cast<int>(buffer.size()), &keysym,
                                      &status);
            }
            if ((status == XLookupChars || status == XLookupBoth) && n > 0)
                text.assign(buffer.data(), static_cast<size_t>(n));
        } else {
            char buffer[32];
            const int n = XLookupString(&event, buffer, sizeof buffer, &keysym, nullptr);
            // XLookupString gives Latin-1; only its ASCII part is also UTF-8.
            if (n > 0 && static_cast<unsigned char>(buffer[0]) < 0x80)
                text.assign(buffer, static_cast<size_t>(n));
        }
        if (text.empty() && !(event.state & ControlMask))
            text = KeysymText(keysym);
    }
    m_sink->OnNativeKey(event.window, *evdev, pressed, text, Modifiers(event.state));
}

void X11Backend::HandleConfigure(const XConfigureEvent& event)
{
    X11Window* w = Find(event.window);
    if (!w)
        return;
    CRect rect(event.x, event.y, event.x + event.width, event.y + event.height);
    if (!w->child) {
        // A window manager's frame makes the event's position relative to the frame; ask for the real one.
        int x = 0;
        int y = 0;
        Window ignored;
        if (XTranslateCoordinates(m_display, w->xid, m_root, 0, 0, &x, &y, &ignored))
            rect = CRect(x, y, x + event.width, y + event.height);
    }
    for (auto it = w->requestedGeometry.begin(); it != w->requestedGeometry.end(); ++it) {
        if (*it == rect) {
            // The echo of our own request, or of one overtaken by a later request.
            w->requestedGeometry.erase(w->requestedGeometry.begin(), it + 1);
            return;
        }
    }
    // The window manager placed the window elsewhere than asked: its word is final.
    w->requestedGeometry.clear();
    m_sink->OnNativeConfigure(event.window, rect);
}

void X11Backend::HandleProperty(const XPropertyEvent& event)
{
    if (event.atom != m_atoms.wmState || event.state != PropertyNewValue)
        return;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_display, event.window, m_atoms.wmState, 0, 2, False, m_atoms.wmState, &type,
                           &format, &count, &after, &data) != Success)
        return;
    if (data && format == 32 && count >= 1) {
        const long state = reinterpret_cast<long*>(data)[0];
        if (state == IconicState)
            m_sink->OnNativeIconic(event.window, true);
        else if (state == NormalState)
            m_sink->OnNativeIconic(event.window, false);
    }
    if (data)
        XFree(data);
}

void X11Backend::HandleClientMessage(const XClientMessageEvent& event)
{
    if (event.message_type == m_atoms.wmProtocols &&
        static_cast<Atom>(event.data.l[0]) == m_atoms.wmDeleteWindow)
        m_sink->OnNativeCloseRequest(event.window);
    else if (event.message_type == m_atoms.kelvoRestore)
        m_sink->OnNativeRestoreRequest(event.window);
}
