// Several copies of the program on a real X display: a second start brings the first one's window back
// and ends; two installations with different device names run side by side; a screenshot of the
// window as it is on the display; the tray icon in a system tray that the test runs.

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

class AppX11Test : public ::testing::Test {
protected:
    AppX11Test()
    {
        m_display = XOpenDisplay(nullptr);
        // The test script provides the display; without it the test fails rather than skips.
        EXPECT_NE(m_display, nullptr)
            << "cannot open the display '" << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "") << "'";
    }
    ~AppX11Test() override
    {
        if (m_display)
            XCloseDisplay(m_display);
    }

    // An installation named `deviceName`: the built one's data with its own config.xml.
    fs::path Installation(const std::string& deviceName)
    {
        const fs::path app = m_root.Path() / deviceName;
        fs::create_directories(app);
        for (const char* part : {"layouts", "language", "skins", "font"})
            fs::create_directory_symlink(BuildBinDir() / part, app / part);
        std::string config = ReadFileBytes(BuildBinDir() / "config.xml");
        const std::string from = "<software name=\"Corvid Z5\"";
        config.replace(config.find(from), from.size(), "<software name=\"" + deviceName + "\"");
        WriteFileBytes(app / "config.xml", config);
        return app;
    }

    ProgramProcess::Environment Env(const fs::path& app) const
    {
        return {{"TORVIK_APP_FOLDER", app.string()}, {"XDG_RUNTIME_DIR", (m_root.Path() / "run").string()}};
    }

    // The top-level window carrying the program's marker property, 0 when none.
    Window FindMarked(const std::string& deviceName) const
    {
        const Atom marker = XInternAtom(m_display, ("_KELVO_PROP_" + deviceName).c_str(), 1);
        if (marker == 0)
            return 0;
        for (const Window window : Stack()) {
            Atom type = 0;
            int format = 0;
            unsigned long count = 0;
            unsigned long after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(m_display, window, marker, 0, 1, 0, AnyPropertyType, &type, &format,
                                   &count, &after, &data) == Success &&
                data) {
                XFree(data);
                if (count)
                    return window;
            }
        }
        return 0;
    }

    // The root's children, bottom to top.
    std::vector<Window> Stack() const
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        std::vector<Window> stack;
        if (XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count)) {
            stack.assign(children, children + count);
            XFree(children);
        }
        return stack;
    }

    bool IsShown(Window window) const
    {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state == IsViewable;
    }

    bool IsAbove(Window upper, Window lower) const
    {
        const std::vector<Window> stack = Stack();
        const auto u = std::find(stack.begin(), stack.end(), upper);
        const auto l = std::find(stack.begin(), stack.end(), lower);
        return u != stack.end() && l != stack.end() && u > l;
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

TEST_F(AppX11Test, SecondStartBringsTheFirstBackAndEnds)
{
    ASSERT_NE(m_display, nullptr);
    const fs::path app = Installation("Corvid Raise");
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "hidden" : "visible");
        const fs::path ready = m_root.Path() / (hidden ? "hidden.ready" : "visible.ready");
        ProgramProcess::Environment env = Env(app);
        env["TORVIK_PEER_READY"] = ready.string();
        env["TORVIK_PEER_HIDDEN"] = hidden ? "1" : "0";
        ProgramProcess first(KELVO_INSTANCE_PEER, {"--simulate"}, env);
        ASSERT_TRUE(WaitForFile(ready, 20s)) << first.Output();
        Window window = 0;
        ASSERT_TRUE(Eventually([&] { return (window = FindMarked("Corvid Raise")) != 0; }));
        ASSERT_TRUE(Eventually([&] { return IsShown(window) != hidden; }));

        // Something else lies on top of it.
        XSetWindowAttributes attributes{};
        attributes.override_redirect = 1;
        const Window cover =
            XCreateWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1920, 1080, 0, CopyFromParent,
                          InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
        XMapRaised(m_display, cover);
        XSync(m_display, 0);
        ASSERT_TRUE(IsAbove(cover, window));

        ProgramProcess second(TorvikProgram(), {"--simulate"}, Env(app));
        EXPECT_EQ(second.Wait(20s), 0) << second.Output();
        EXPECT_TRUE(Eventually([&] { return IsShown(window) && IsAbove(window, cover); }));
        EXPECT_TRUE(first.IsRunning()) << first.Output();
        XDestroyWindow(m_display, cover);
        XSync(m_display, 0);
    }
}

TEST_F(AppX11Test, TwoDeviceNamesRunSideBySide)
{
    ASSERT_NE(m_display, nullptr);
    std::vector<std::unique_ptr<ProgramProcess>> programs;
    for (const std::string name : {"Corvid Alpha", "Corvid Beta"}) {
        ProgramProcess::Environment env = Env(Installation(name));
        env["TORVIK_PEER_READY"] = (m_root.Path() / (name + ".ready")).string();
        programs.push_back(std::make_unique<ProgramProcess>(KELVO_INSTANCE_PEER,
                                                            std::vector<std::string>{"--simulate"}, env));
    }
    for (const std::string name : {"Corvid Alpha", "Corvid Beta"})
        ASSERT_TRUE(WaitForFile(m_root.Path() / (name + ".ready"), 20s)) << name;
    Window alpha = 0;
    Window beta = 0;
    ASSERT_TRUE(Eventually(
        [&] { return (alpha = FindMarked("Corvid Alpha")) && (beta = FindMarked("Corvid Beta")); }));
    EXPECT_NE(alpha, beta);
    for (auto& program : programs)
        EXPECT_TRUE(program->IsRunning()) << program->Output();
    // Lock, marker property, settings key and data folder: each its own.
    const fs::path data(std::getenv("XDG_DATA_HOME"));
    const fs::path config(std::getenv("XDG_CONFIG_HOME"));
    for (const std::string name : {"Corvid Alpha", "Corvid Beta"}) {
        EXPECT_TRUE(fs::is_directory(data / (name + " Files") / "db")) << name;
        EXPECT_TRUE(fs::exists(m_root.Path() / "run" / (name + ".lock"))) << name;
        EXPECT_TRUE(fs::exists(config / name / "settings")) << name;
    }
}

TEST_F(AppX11Test, ScreenshotOfTheWindowOnTheDisplay)
{
    ASSERT_NE(m_display, nullptr);
    const fs::path shot = m_root.Path() / "shot.png";
    ProgramProcess program(TorvikProgram(), {"--simulate", "--screenshot", shot.string()},
                           Env(Installation("Corvid Shot")));
    ASSERT_EQ(program.Wait(30s), 0) << program.Output();
    const PngSummary png = SummarisePng(shot);
    EXPECT_EQ(png.width, 1280);
    EXPECT_EQ(png.height, 720);
    EXPECT_GT(png.distinctPixels, 50u) << "a blank picture";
    // The window went with the picture taken.
    EXPECT_EQ(FindMarked("Corvid Shot"), 0u);
}

TEST_F(AppX11Test, ATrayThatStartsLaterTakesTheIconAndItsClickShowsTheWindow)
{
    ASSERT_NE(m_display, nullptr);
    const fs::path app = Installation("Corvid Tray");
    for (const bool argb : {false, true}) {
        SCOPED_TRACE(argb ? "tray with an alpha visual" : "tray without a visual of its own");
        const fs::path ready = m_root.Path() / (argb ? "argb.ready" : "plain.ready");
        // No session bus: the icon can only go to the system tray.
        ProgramProcess::Environment env = Env(app);
        env["DBUS_SESSION_BUS_ADDRESS"] = std::nullopt;
        env["TORVIK_PEER_READY"] = ready.string();
        env["TORVIK_PEER_HIDDEN"] = "1";
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
