// The X11 backend's view of the desktop: screen, monitors and work area, the pointer, the window
// manager's features, and the windows of other processes (found by property, asked to restore).

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>
#include <algorithm>
#include <climits>

#include "ui/framework/backend/x11/x11_window_backend.h"

namespace {

// One property of a window as 32-bit items; empty when missing.
std::vector<long> ReadLongs(Display* display, Window window, Atom property, Atom type, long maxItems)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, property, 0, maxItems, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data && format == 32) {
        const long* items = reinterpret_cast<const long*>(data);
        values.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return values;
}

bool HasProperty(Display* display, Window window, Atom property)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display, window, property, 0, 1, False, AnyPropertyType,
                                          &actualType, &format, &count, &after, &data) == Success &&
                       actualType != None;
    if (data)
        XFree(data);
    return found;
}

// Depth-first from the top of the stacking order; window managers put clients inside frame windows,
// so a few levels below each top-level window are searched too.
Window FindWithProperty(Display* display, Window parent, Atom property, int depth)
{
    Window root = 0;
    Window ignored = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &ignored, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = count; i-- > 0 && !found;) {
        if (HasProperty(display, children[i], property))
            found = children[i];
        else if (depth > 0)
            found = FindWithProperty(display, children[i], property, depth - 1);
    }
    if (children)
        XFree(children);
    return found;
}

} // namespace

CRect X11Backend::ScreenRect() const
{
    if (!m_display)
        return {};
    return {0, 0, DisplayWidth(m_display, m_screen), DisplayHeight(m_display, m_screen)};
}

CRect X11Backend::WorkArea(CPoint near) const
{
    const CRect screen = ScreenRect();
    if (!m_display)
        return screen;
    CRect monitor = screen;
    int count = 0;
    if (XRRMonitorInfo* monitors = XRRGetMonitors(m_display, m_root, True, &count)) {
        long best = LONG_MAX;
        for (int i = 0; i < count; ++i) {
            const CRect r(monitors[i].x, monitors[i].y, monitors[i].x + monitors[i].width,
                          monitors[i].y + monitors[i].height);
            const long dx =
                near.x < r.left ? r.left - near.x : (near.x >= r.right ? near.x - r.right + 1 : 0);
            const long dy =
                near.y < r.top ? r.top - near.y : (near.y >= r.bottom ? near.y - r.bottom + 1 : 0);
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                monitor = r;
            }
        }
        XRRFreeMonitors(monitors);
    }
    // The window manager's work area (screen minus panels) applies to the monitor it overlaps.
    if (WindowManagerSupports(m_atoms.netWorkarea)) {
        const std::vector<long> desktop =
            ReadLongs(m_display, m_root, m_atoms.netCurrentDesktop, XA_CARDINAL, 1);
        const long index = desktop.empty() ? 0 : desktop[0];
        const std::vector<long> areas =
            ReadLongs(m_display, m_root, m_atoms.netWorkarea, XA_CARDINAL, 4 * (index + 1));
        if (areas.size() >= static_cast<size_t>(4 * (index + 1))) {
            const long* a = &areas[static_cast<size_t>(4 * index)];
            CRect work;
            if (work.IntersectRect(monitor,
                                   CRect(static_cast<int>(a[0]), static_cast<int>(a[1]),
                                         static_cast<int>(a[0] + a[2]), static_cast<int>(a[1] + a[3]))))
                return work;
        }
    }
    return monitor;
}

CPoint X11Backend::CursorPos() const
{
    if (!m_display)
        return {};
    Window root = 0;
    Window child = 0;
    int x = 0;
    int y = 0;
    int wx = 0;
    int wy = 0;
    unsigned mask = 0;
    XQueryPointer(m_display, m_root, &root, &child, &x, &y, &wx, &wy, &mask);
    return {x, y};
}

bool X11Backend::WindowManagerSupports(Atom feature) const
{
    // A window manager that has exited can leave its _NET_SUPPORTED behind; its check window tells.
    const std::vector<long> check = ReadLongs(m_display, m_root, m_atoms.netSupportingWmCheck, XA_WINDOW, 1);
    if (check.empty())
        return false;
    const std::vector<long> self =
        ReadLongs(m_display, static_cast<Window>(check[0]), m_atoms.netSupportingWmCheck, XA_WINDOW, 1);
    if (self.empty() || self[0] != check[0])
        return false;
    const std::vector<long> supported = ReadLongs(m_display, m_root, m_atoms.netSupported, XA_ATOM, 1024);
    return std::find(supported.begin(), supported.end(), static_cast<long>(feature)) != supported.end();
}

NativeWindow X11Backend::FindWindowWithProperty(const std::wstring& name) const
{
    if (!m_display)
        return 0;
    const Atom atom = PropertyAtom(name, true);
    if (atom == None)
        return 0; // nobody ever set it
    return FindWithProperty(m_display, m_root, atom, 2);
}

void X11Backend::RequestRestore(NativeWindow window)
{
    if (!m_display || !window)
        return;
    // The owner of the window restores it itself; the window manager is asked to activate it too.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(window);
    event.xclient.message_type = m_atoms.kelvoRestore;
    event.xclient.format = 32;
    XSendEvent(m_display, static_cast<Window>(window), False, NoEventMask, &event);
    SendRootMessage(static_cast<Window>(window), m_atoms.netActiveWindow, 1, CurrentTime, 0, 0, 0);
    XFlush(m_display);
}
