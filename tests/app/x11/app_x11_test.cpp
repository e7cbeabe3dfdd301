// Several copies of the program on a real X display: a second start brings the first one's window back
// and ends; two installations with different device names run side by side; a screenshot of the
// window as it is on the display.

#include <gtest/gtest.h>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
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

TEST_F(AppX11Test, ASimulatedRunReportsTheConnectedKeyboardsOwnModel)
{
    ASSERT_NE(m_display, nullptr);
    ProgramProcess program(TorvikProgram(), {"--simulate=101"}, Env(Installation("Corvid Console")));
    const std::string connected = "Corvid Z5 TKL connected by cable";
    EXPECT_TRUE(Eventually(
        [&] {
            program.Wait(0ms);
            return program.Output().find(connected) != std::string::npos || !program.IsRunning();
        },
        20s));
    EXPECT_NE(program.Output().find(connected), std::string::npos) << program.Output();
    EXPECT_EQ(program.Output().find("no keyboard"), std::string::npos) << program.Output();
    EXPECT_TRUE(program.IsRunning()) << program.Output();
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

} // namespace
