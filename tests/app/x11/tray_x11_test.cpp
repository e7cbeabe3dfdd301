// The program's tray icon in a system tray on a real X display: the test is the tray manager (it owns
// _NET_SYSTEM_TRAY_S0, takes the icon in, shows it and clicks it), starting only after the program, so
// the icon docks when a tray appears. A click on the icon brings the hidden window back.

#include <gtest/gtest.h>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
// Xlib's macros clash with ordinary names.
#undef None
#undef Bool
#undef Status
#undef True
#undef False

#include "tests/app/program_process.h"
#include "tests/support/scoped_folders.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr unsigned long kTrayBackground = 0x204060;
constexpr int kTrayX = 40;
constexpr int kTrayY = 1000;
constexpr int kIconX = 8;
constexpr int kIconY = 4;
constexpr int kIconSize = 24;

class TrayX11Test : public ::testing::Test {
protected:
    TrayX11Test()
    {
        m_display = XOpenDisplay(nullptr);
        // The test script provides the display; without it the test fails rather than skips.
        EXPECT_NE(m_display, nullptr) << "cannot open the display";
    }
    ~TrayX11Test() override
    {
        if (m_display)
            XCloseDisplay(m_display);
    }

    fs::path Installation()
    {
        const fs::path app = m_root.Path() / "app";
        fs::create_directories(app);
        for (const char* part : {"layouts", "language", "skins", "font"})
            fs::create_directory_symlink(BuildBinDir() / part, app / part);
        std::string config = ReadFileBytes(BuildBinDir() / "config.xml");
        const std::string from = "<software name=\"Corvid Z5\"";
        config.replace(config.find(from), from.size(), "<software name=\"Corvid Tray\"");
        WriteFileBytes(app / "config.xml", config);
        return app;
    }

    // Becomes the screen's tray manager, as a panel does when it starts: a window of its own owning the
    // selection, announced to every client on the root window.
    Window StartTray(bool argbVisual)
    {
        const Window root = DefaultRootWindow(m_display);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = 1;
        attributes.background_pixel = kTrayBackground;
        const Window tray =
            XCreateWindow(m_display, root, kTrayX, kTrayY, 120, 32, 0, CopyFromParent, InputOutput,
                          CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XMapRaised(m_display, tray);
        if (argbVisual) {
            XVisualInfo info;
            if (XMatchVisualInfo(m_display, DefaultScreen(m_display), 32, TrueColor, &info)) {
                const long id = static_cast<long>(info.visualid);
                XChangeProperty(m_display, tray, XInternAtom(m_display, "_NET_SYSTEM_TRAY_VISUAL", 0),
                                XA_VISUALID, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&id),
                                1);
            }
        }
        const Atom selection = XInternAtom(m_display, "_NET_SYSTEM_TRAY_S0", 0);
        XSetSelectionOwner(m_display, selection, tray, CurrentTime);
        XEvent announce{};
        announce.xclient.type = ClientMessage;
        announce.xclient.window = root;
        announce.xclient.message_type = XInternAtom(m_display, "MANAGER", 0);
        announce.xclient.format = 32;
        announce.xclient.data.l[0] = CurrentTime;
        announce.xclient.data.l[1] = static_cast<long>(selection);
        announce.xclient.data.l[2] = static_cast<long>(tray);
        XSendEvent(m_display, root, 0, StructureNotifyMask, &announce);
        XSync(m_display, 0);
        return tray;
    }

    // The window a client asks the tray to take in; 0 when none asked in time.
    Window WaitForDockRequest(Window tray)
    {
        const Atom opcode = XInternAtom(m_display, "_NET_SYSTEM_TRAY_OPCODE", 0);
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline) {
            while (XPending(m_display)) {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type == ClientMessage && event.xclient.window == tray &&
                    event.xclient.message_type == opcode && event.xclient.data.l[1] == 0)
                    return static_cast<Window>(event.xclient.data.l[2]);
            }
            std::this_thread::sleep_for(20ms);
        }
        return 0;
    }

    Window FindMarked(const std::string& deviceName) const
    {
        const Atom marker = XInternAtom(m_display, ("_KELVO_PROP_" + deviceName).c_str(), 1);
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (marker &&
            XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && !found; ++i) {
                Atom type = 0;
                int format = 0;
                unsigned long n = 0;
                unsigned long after = 0;
                unsigned char* data = nullptr;
                if (XGetWindowProperty(m_display, children[i], marker, 0, 1, 0, AnyPropertyType, &type,
                                       &format, &n, &after, &data) == Success &&
                    data) {
                    XFree(data);
                    if (n)
                        found = children[i];
                }
            }
            XFree(children);
        }
        return found;
    }

    bool IsShown(Window window) const
    {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state == IsViewable;
    }

    // Pixels of the tray's icon slot that are not the tray's own background.
    int IconPixels(Window tray) const
    {
        XImage* image = XGetImage(m_display, tray, kIconX, kIconY, kIconSize, kIconSize, AllPlanes, ZPixmap);
        if (!image)
            return 0;
        int count = 0;
        for (int y = 0; y < kIconSize; ++y) {
            for (int x = 0; x < kIconSize; ++x)
                count += (XGetPixel(image, x, y) & 0xFFFFFF) != kTrayBackground;
        }
        XDestroyImage(image);
        return count;
    }

    template <class Condition> bool Eventually(Condition condition, std::chrono::milliseconds timeout = 10s)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    Display* m_display = nullptr;
    ScopedTempDir m_root;
};

TEST_F(TrayX11Test, ATrayThatStartsLaterTakesTheIconAndItsClickShowsTheWindow)
{
    ASSERT_NE(m_display, nullptr);
    const fs::path app = Installation();
    for (const bool argb : {false, true}) {
        SCOPED_TRACE(argb ? "tray with an alpha visual" : "tray without a visual of its own");
        const fs::path ready = m_root.Path() / (argb ? "argb.ready" : "plain.ready");
        // No session bus: the icon can only go to the system tray.
        const ProgramProcess::Environment env = {{"TORVIK_APP_FOLDER", app.string()},
                                                 {"XDG_RUNTIME_DIR", (m_root.Path() / "run").string()},
                                                 {"DBUS_SESSION_BUS_ADDRESS", std::nullopt},
                                                 {"TORVIK_PEER_READY", ready.string()},
                                                 {"TORVIK_PEER_HIDDEN", "1"}};
        ProgramProcess program(KELVO_INSTANCE_PEER, {"--simulate"}, env);
        ASSERT_TRUE(WaitForFile(ready, 20s)) << program.Output();
        Window main = 0;
        ASSERT_TRUE(Eventually([&] { return (main = FindMarked("Corvid Tray")) != 0; }));
        ASSERT_TRUE(Eventually([&] { return !IsShown(main); }));

        const Window tray = StartTray(argb);
        const Window icon = WaitForDockRequest(tray);
        ASSERT_NE(icon, 0u) << program.Output();
        XAddToSaveSet(m_display, icon);
        XReparentWindow(m_display, icon, tray, kIconX, kIconY);
        XResizeWindow(m_display, icon, kIconSize, kIconSize);
        XMapWindow(m_display, icon);
        XSync(m_display, 0);
        EXPECT_TRUE(Eventually([&] { return IconPixels(tray) > kIconSize * kIconSize / 4; }))
            << "the icon's picture shows in the tray";

        XTestFakeMotionEvent(m_display, -1, kTrayX + kIconX + kIconSize / 2, kTrayY + kIconY + kIconSize / 2,
                             CurrentTime);
        XTestFakeButtonEvent(m_display, 1, 1, CurrentTime);
        XTestFakeButtonEvent(m_display, 1, 0, CurrentTime);
        XSync(m_display, 0);
        EXPECT_TRUE(Eventually([&] { return IsShown(main); })) << program.Output();
        EXPECT_TRUE(program.IsRunning());

        program.Terminate();
        XDestroyWindow(m_display, tray);
        XSync(m_display, 0);
    }
}

} // namespace
