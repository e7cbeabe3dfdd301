// The tray icon's Linux side without a desktop: the icon file's pictures, the XEmbed icon on KelvoUI's
// headless window system (whose tray a test starts and ends), and the choice between backends.

#include <gtest/gtest.h>

#include <fstream>

#include "platform/linux/desktop_tray_icon.h"
#include "platform/linux/tray_pictures.h"
#include "platform/linux/xembed_tray_icon.h"
#include "tests/support/scoped_folders.h"
#include "tests/ui/headless_fixture.h"
#include "ui/framework/image.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

namespace {

std::string ProgramIcon()
{
    return (BuildBinDir() / "skins" / "theme1" / "Torvik.ico").string();
}

bool HasOpaqueMiddle(const Surface& picture)
{
    return picture.IsValid() && (picture.Pixel(picture.Width() / 2, picture.Height() / 2) >> 24) > 0;
}

bool SamePixels(const Surface& a, const Surface& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return false;
        }
    }
    return true;
}

TEST(TrayPictures, EveryEntryOfTheIconFileAndTheOneForASize)
{
    const std::vector<ImagePtr> pictures = LoadIconPictures(ProgramIcon());
    ASSERT_GE(pictures.size(), 4u);
    for (size_t i = 1; i < pictures.size(); ++i)
        EXPECT_LT(pictures[i - 1]->Width(), pictures[i]->Width());
    EXPECT_EQ(pictures.front()->Width(), 16);
    EXPECT_EQ(pictures.back()->Width(), 256);
    // A size the file holds is its own entry, unscaled; a size between entries shrinks the next larger.
    for (const ImagePtr& entry : pictures) {
        SCOPED_TRACE(entry->Width());
        const Surface picture = TrayPicture(pictures, entry->Width());
        EXPECT_TRUE(SamePixels(picture, entry->Frame()));
    }
    const Surface between = TrayPicture(pictures, 22);
    EXPECT_EQ(between.Width(), 22);
    EXPECT_TRUE(HasOpaqueMiddle(between));
}

TEST(TrayPictures, BrokenIconFilesShowTheStandIn)
{
    ScopedTempDir folder;
    auto header = [](int count) {
        std::string b = {0, 0, 1, 0, static_cast<char>(count), 0};
        return b;
    };
    auto entry = [](uint32_t size, uint32_t offset) {
        std::string e(8, '\0');
        e[0] = 16;
        e[1] = 16;
        for (const uint32_t v : {size, offset}) {
            for (int i = 0; i < 4; ++i)
                e += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
        return e;
    };
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"not a picture", "just some words"},
        {"entries past the end", header(3) + entry(40, 22)},
        {"data past the end", header(1) + entry(4000, 22) + std::string(100, '\x01')},
        {"offset past the end", header(1) + entry(10, 0x7FFFFFFF)},
        {"undecodable entry", header(1) + entry(50, 22) + std::string(50, '\x07')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = folder.Path() / "broken.ico";
        WriteFileBytes(path, c.bytes);
        const std::vector<ImagePtr> pictures = LoadIconPictures(path.string());
        EXPECT_TRUE(pictures.empty());
        EXPECT_TRUE(HasOpaqueMiddle(TrayPicture(pictures, 24)));
    }
    EXPECT_TRUE(LoadIconPictures((folder.Path() / "missing.ico").string()).empty());
    // A file far larger than an icon is not read whole.
    const auto large = folder.Path() / "large.ico";
    {
        std::ofstream out(large, std::ios::binary);
        out << header(1);
        out.seekp(static_cast<std::streamoff>(kMaxIconFileBytes) + 10);
        out << 'x';
    }
    EXPECT_TRUE(LoadIconPictures(large.string()).empty());
}

// The window system (the base) comes first: the icon listens to its tray from its construction.
class XEmbedTrayTest : public HeadlessFixture {
protected:
    XEmbedTrayTest()
    {
        data.iconFile = ProgramIcon();
        data.tip = L"Corvid Z5";
        data.onMouse = [this](unsigned message) { mouse.push_back(message); };
        icon.SetChanged([this] { ++changes; });
    }

    XEmbedTrayIcon icon;
    TrayIconData data;
    std::vector<unsigned> mouse;
    int changes = 0;
};

TEST_F(XEmbedTrayTest, DocksWhenATrayComesAndAgainAfterItWent)
{
    Backend().SetSystemTray(false);
    EXPECT_FALSE(icon.Available());
    EXPECT_FALSE(icon.Show(data));
    EXPECT_FALSE(icon.Showing());

    // A tray starts: the icon goes in at the tray's size and shows the file's picture for that size.
    Backend().SetSystemTray(true, 32);
    EXPECT_EQ(changes, 1);
    ASSERT_TRUE(icon.Showing());
    const HWND first = icon.Window();
    EXPECT_EQ(Backend().TrayWindows(), std::vector<HWND>{first});
    Backend().Pump();
    const HeadlessWindow* shown = Backend().Window(first);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->rect.Size(), CSize(32, 32));
    EXPECT_TRUE(SamePixels(shown->image, TrayPicture(LoadIconPictures(ProgramIcon()), 32)));

    // Clicks come as mouse messages.
    Backend().Click(first, CPoint(16, 16));
    Backend().Click(first, CPoint(16, 16), kButtonRight);
    Backend().Pump();
    EXPECT_EQ(mouse, (std::vector<unsigned>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}));

    // The tray ends: the icon's window goes with it. Another starts: a new window goes in.
    Backend().SetSystemTray(false);
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(icon.Showing());
    EXPECT_FALSE(WindowSystem::IsWindow(first));
    Backend().SetSystemTray(true, 22);
    ASSERT_TRUE(icon.Showing());
    EXPECT_EQ(Backend().TrayWindows(), std::vector<HWND>{icon.Window()});
    EXPECT_EQ(Backend().Window(icon.Window())->rect.Size(), CSize(22, 22));

    icon.Hide();
    EXPECT_TRUE(Backend().TrayWindows().empty());
    Backend().SetSystemTray(false);
    Backend().SetSystemTray(true);
    EXPECT_TRUE(Backend().TrayWindows().empty()) << "a hidden icon stays out of a new tray";
}

TEST_F(XEmbedTrayTest, TipWhileThePointerRests)
{
    Backend().SetSystemTray(true);
    ASSERT_TRUE(icon.Show(data));
    Backend().Pump();
    Backend().MoveMouse(icon.Window(), CPoint(10, 10));
    Backend().RunFor(1000);
    HWND tip = nullptr;
    for (const HWND hwnd : WindowSystem::Windows()) {
        CString className;
        if (WindowSystem::GetClassNameW(hwnd, &className) && className == L"tooltips_class32" &&
            WindowSystem::IsWindowVisible(hwnd))
            tip = hwnd;
    }
    ASSERT_NE(tip, nullptr);
    // Pressing the icon takes the tip away.
    Backend().Click(icon.Window(), CPoint(10, 10));
    Backend().Pump();
    EXPECT_FALSE(WindowSystem::IsWindowVisible(tip));
}

// A backend a test switches on and off.
class SwitchedBackend : public TrayBackend {
public:
    explicit SwitchedBackend(const char* name) : m_name(name) {}
    const char* Name() const override { return m_name; }
    bool Available() const override { return available; }
    bool Show(const TrayIconData& data) override
    {
        ++shows;
        shownTip = data.tip;
        showing = available;
        return showing;
    }
    void Hide() override { showing = false; }
    bool Showing() const override { return showing; }
    void Switch(bool on)
    {
        available = on;
        if (!on)
            showing = false;
        Changed();
    }

    bool available = false;
    bool showing = false;
    int shows = 0;
    CString shownTip;

private:
    const char* m_name;
};

TEST(DesktopTrayIcon, ShowsThroughThePreferredBackendThatIsThere)
{
    auto notifier = std::make_unique<SwitchedBackend>("notifier");
    auto tray = std::make_unique<SwitchedBackend>("system tray");
    SwitchedBackend& n = *notifier;
    SwitchedBackend& t = *tray;
    std::vector<std::unique_ptr<TrayBackend>> backends;
    backends.push_back(std::move(notifier));
    backends.push_back(std::move(tray));
    DesktopTrayIcon icon(std::move(backends));
    std::vector<bool> shownChanges;
    TrayIconData data;
    data.tip = L"Corvid Z5";
    data.onShownChange = [&](bool shown) { shownChanges.push_back(shown); };

    ASSERT_TRUE(icon.Add(data));
    EXPECT_FALSE(icon.Add(data));
    EXPECT_FALSE(icon.IsShown());

    t.Switch(true);
    EXPECT_EQ(icon.Current(), &t);
    EXPECT_EQ(t.shownTip, L"Corvid Z5");
    // The preferred one comes: the icon moves there and shows only once.
    n.Switch(true);
    EXPECT_EQ(icon.Current(), &n);
    EXPECT_TRUE(n.showing);
    EXPECT_FALSE(t.showing);
    // It goes: back to the other.
    n.Switch(false);
    EXPECT_EQ(icon.Current(), &t);
    EXPECT_TRUE(t.showing);
    t.Switch(false);
    EXPECT_EQ(icon.Current(), nullptr);
    EXPECT_EQ(shownChanges, (std::vector<bool>{true, false}));

    t.Switch(true);
    EXPECT_TRUE(icon.Remove());
    EXPECT_FALSE(t.showing);
    EXPECT_FALSE(icon.Remove());
    const int notifierShows = n.shows;
    n.Switch(false);
    n.Switch(true);
    EXPECT_EQ(n.shows, notifierShows) << "a removed icon is not shown again";
}

} // namespace
