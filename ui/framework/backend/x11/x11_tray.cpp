// The X11 backend's side of the freedesktop system tray (XEmbed): the tray manager is whoever owns the
// selection _NET_SYSTEM_TRAY_S<screen>; a tray-icon window asks it to take the window in with a
// SYSTEM_TRAY_REQUEST_DOCK message, and the manager reparents, sizes and maps it. A manager that starts
// later announces itself with a MANAGER message on the root window; one that ends leaves our icon on the
// root window (its save-set maps it there), where we hide it until the next manager takes it again.

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>
#include <cstdio>

#include "ui/framework/backend/x11/x11_window_backend.h"
#include "ui/framework/surface.h"
#include "ui/framework/window_system.h"

namespace {

constexpr long kSystemTrayRequestDock = 0;
constexpr long kXEmbedVersion = 0;
constexpr long kXEmbedMapped = 1;

} // namespace

void X11Backend::WatchTrayManager()
{
    char selection[40];
    std::snprintf(selection, sizeof selection, "_NET_SYSTEM_TRAY_S%d", m_screen);
    auto atom = [this](const char* name) { return XInternAtom(m_display, name, False); };
    m_tray = TrayAtoms{atom(selection), atom("_NET_SYSTEM_TRAY_OPCODE"), atom("_NET_SYSTEM_TRAY_VISUAL"),
                       atom("MANAGER"), atom("_XEMBED_INFO")};
    // MANAGER messages go to the root window's structure listeners.
    XWindowAttributes root{};
    XGetWindowAttributes(m_display, m_root, &root);
    XSelectInput(m_display, m_root, root.your_event_mask | StructureNotifyMask);
    // Held so that the manager cannot go between being found and being watched.
    XGrabServer(m_display);
    const Window owner = XGetSelectionOwner(m_display, m_tray.selection);
    if (owner)
        XSelectInput(m_display, owner, StructureNotifyMask);
    XUngrabServer(m_display);
    XFlush(m_display);
    m_trayManager = owner;
}

void X11Backend::SetTrayManager(Window manager)
{
    if (manager == m_trayManager)
        return;
    m_trayManager = manager;
    if (manager) {
        XSelectInput(m_display, manager, StructureNotifyMask);
        XSync(m_display, False);
        // It may have ended before we listened for that.
        if (XGetSelectionOwner(m_display, m_tray.selection) != manager)
            m_trayManager = 0;
    }
    if (m_sink)
        m_sink->OnNativeSystemTrayChange(m_trayManager != 0);
}

Visual* X11Backend::TrayVisual(int& depth) const
{
    if (!m_trayManager)
        return nullptr;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    VisualID id = 0;
    if (XGetWindowProperty(m_display, m_trayManager, m_tray.visual, 0, 1, False, XA_VISUALID, &type, &format,
                           &count, &after, &data) == Success &&
        data && format == 32 && count == 1)
        id = static_cast<VisualID>(reinterpret_cast<const long*>(data)[0]);
    if (data)
        XFree(data);
    if (!id)
        return nullptr;
    XVisualInfo wanted{};
    wanted.visualid = id;
    wanted.screen = m_screen;
    int found = 0;
    XVisualInfo* info = XGetVisualInfo(m_display, VisualIDMask | VisualScreenMask, &wanted, &found);
    Visual* visual = nullptr;
    if (info && found > 0 && info[0].depth == 32) {
        visual = info[0].visual;
        depth = 32;
    }
    if (info)
        XFree(info);
    return visual;
}

void X11Backend::SetXEmbedMapped(const X11Window& w, bool mapped)
{
    const long info[2] = {kXEmbedVersion, mapped ? kXEmbedMapped : 0};
    XChangeProperty(m_display, w.xid, m_tray.xembedInfo, m_tray.xembedInfo, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(info), 2);
}

bool X11Backend::DockInSystemTray(NativeWindow window)
{
    const X11Window* w = Find(window);
    if (!w || w->traits.kind != NativeKind::TrayIcon || !m_trayManager)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_trayManager;
    event.xclient.message_type = m_tray.opcode;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(m_lastInputTime);
    event.xclient.data.l[1] = kSystemTrayRequestDock;
    event.xclient.data.l[2] = static_cast<long>(w->xid);
    XSendEvent(m_display, m_trayManager, False, NoEventMask, &event);
    XSync(m_display, False);
    return true;
}

bool X11Backend::HandleTrayEvent(const XEvent& event)
{
    switch (event.type) {
    case ClientMessage:
        if (event.xclient.window != m_root || event.xclient.message_type != m_tray.manager ||
            static_cast<Atom>(event.xclient.data.l[1]) != m_tray.selection)
            return false;
        SetTrayManager(static_cast<Window>(event.xclient.data.l[2]));
        return true;
    case DestroyNotify:
        if (!m_trayManager || event.xdestroywindow.window != m_trayManager)
            return false;
        SetTrayManager(0);
        return true;
    case ReparentNotify: {
        X11Window* w = Find(event.xreparent.window);
        if (!w || w->traits.kind != NativeKind::TrayIcon)
            return false;
        // Back on the root window: its tray ended. A stray square in the corner helps nobody.
        if (event.xreparent.parent == m_root)
            XUnmapWindow(m_display, w->xid);
        return true;
    }
    default:
        return false;
    }
}

void X11Backend::PresentShaped(X11Window& w, const Surface& pixels, const CRect& rect)
{
    const int width = pixels.Width();
    const int height = pixels.Height();
    if (!w.image)
        w.image = std::make_unique<X11Image>(m_display, w.visual, w.depth, m_shm);
    if (!w.gc)
        w.gc = XCreateGC(m_display, w.xid, 0, nullptr);
    if (!w.image->Ensure(width, height))
        return;
    // Pixels at least half covered show in their own colour; the rest belong to the tray's background.
    const int maskStride = (width + 7) / 8;
    std::vector<uint8_t> mask(static_cast<size_t>(maskStride * height), 0);
    std::vector<uint32_t> row(static_cast<size_t>(width));
    w.image->BeginWrite();
    for (int y = 0; y < height; ++y) {
        const uint32_t* source = pixels.Row(y);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = source[x];
            const uint32_t a = p >> 24;
            if (a < 128) {
                row[static_cast<size_t>(x)] = 0;
                continue;
            }
            mask[static_cast<size_t>(y * maskStride + x / 8)] |= static_cast<uint8_t>(1u << (x % 8));
            auto straight = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
            row[static_cast<size_t>(x)] = 0xFF000000 | straight((p >> 16) & 0xFF) << 16 |
                                          straight((p >> 8) & 0xFF) << 8 | straight(p & 0xFF);
        }
        if (w.image->NativeLayout())
            std::copy(row.begin(), row.end(), w.image->Row(y));
        else
            w.image->StoreRow(y, 0, row.data(), width);
    }
    if (mask != w.shapeMask) {
        const Pixmap bitmap =
            XCreateBitmapFromData(m_display, w.xid, reinterpret_cast<const char*>(mask.data()),
                                  static_cast<unsigned>(width), static_cast<unsigned>(height));
        XShapeCombineMask(m_display, w.xid, ShapeBounding, 0, 0, bitmap, ShapeSet);
        XFreePixmap(m_display, bitmap);
        w.shapeMask = std::move(mask);
    }
    w.image->Put(w.xid, w.gc, rect);
    XFlush(m_display);
}
