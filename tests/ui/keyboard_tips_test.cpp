// The key tip window on the headless backend: where it goes on a screen with a panel along its top edge,
// when it moves and repaints, what it draws, and how it closes.

#include <gtest/gtest.h>

#include "tests/support/scoped_folders.h"
#include "ui/framework/backend/headless/headless_backend.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"
#include "ui/keyboard/keyboard_tips.h"

namespace {

// 1920 × 1080 with a 30-pixel panel at the top and one of 40 at the bottom.
constexpr CRect kScreen(0, 0, 1920, 1080);
constexpr CRect kWorkArea(0, 30, 1920, 1040);

class KeyboardTipsTest : public ::testing::Test {
protected:
    KeyboardTipsTest()
    {
        auto backend = std::make_unique<HeadlessBackend>(kScreen, kWorkArea);
        m_backend = backend.get();
        WindowSystem::Install(std::move(backend));
        folders.InstallFromBuild("skins/theme1/img_tip_bk.png");
        m_owner = owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 400, 300));
    }
    ~KeyboardTipsTest() override { WindowSystem::Install(std::make_unique<HeadlessBackend>()); }

    // The tip as the keyboard view makes it.
    void Create()
    {
        tip.Create(m_owner, L"KeyboardTip Window", 0x96000080 & ~WS_VISIBLE,
                   WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT,
                   CRect());
        tip.LoadBKImage(L"img_tip_bk.png");
        m_backend->Pump();
    }
    CRect Placed() const
    {
        CRect r;
        tip.GetWindowRect(&r);
        return r;
    }

    ScopedFolders folders;
    MWindow owner;
    CKeyboardTips tip;
    HeadlessBackend* m_backend = nullptr;
    HWND m_owner = nullptr;
};

TEST_F(KeyboardTipsTest, TheTipStandsAboveItsAnchorAndInsideTheWorkArea)
{
    Create();
    struct Case {
        const char* where;
        CPoint anchor;
        CRect expected;
    };
    const Case cases[] = {
        {"open screen", {960, 500}, {865, 400, 1055, 500}},
        {"left edge", {40, 500}, {0, 400, 190, 500}},
        {"right edge", {1900, 500}, {1730, 400, 1920, 500}},
        // Above the top panel it would be hidden: it comes down to the work area's top.
        {"top edge", {960, 90}, {865, 30, 1055, 130}},
        // An anchor under the bottom panel still gets its tip on the work area.
        {"bottom edge", {960, 1070}, {865, 940, 1055, 1040}},
        {"top-left corner", {3, 3}, {0, 30, 190, 130}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(tip.SetAirBladderMsg(L"Escape", L"Assigned", L"Macro 1", c.anchor), 1);
        EXPECT_EQ(Placed(), c.expected);
    }
}

TEST_F(KeyboardTipsTest, OnlyANewMessageWithATitleMovesAndRepaints)
{
    Create();
    EXPECT_FALSE(tip.IsWindowVisible()) << "the view shows it when it is wanted";
    tip.ShowWindow(SW_SHOWNOACTIVATE);
    m_backend->Pump();
    const int paints = tip.PaintCount();

    tip.SetAirBladderMsg(L"Escape", L"Custom keys", L"Escape", {500, 500});
    m_backend->Pump();
    EXPECT_EQ(tip.PaintCount(), paints + 1);
    const CRect placed = Placed();
    tip.SetAirBladderMsg(L"Escape", L"Custom keys", L"Escape", {500, 500});
    m_backend->Pump();
    EXPECT_EQ(tip.PaintCount(), paints + 1);

    // Without a title the texts are kept but the window neither moves nor repaints.
    tip.SetAirBladderMsg(L"", L"Custom keys", L"Escape", {800, 800});
    m_backend->Pump();
    EXPECT_EQ(tip.PaintCount(), paints + 1);
    EXPECT_EQ(Placed(), placed);
    EXPECT_EQ(tip.GetAnchor(), CPoint(800, 800));

    // A new anchor alone is a new message.
    tip.SetAirBladderMsg(L"Escape", L"Custom keys", L"Escape", {600, 500});
    m_backend->Pump();
    EXPECT_EQ(tip.PaintCount(), paints + 2);
    EXPECT_EQ(Placed().left, 505);
}

TEST_F(KeyboardTipsTest, ItDrawsItsBubbleWithRoundedCornersAndItsTexts)
{
    Create();
    tip.ShowWindow(SW_SHOWNOACTIVATE);
    tip.SetAirBladderMsg(L"Escape", L"Custom keys", L"Escape", {500, 500});
    m_backend->Pump();
    EXPECT_FALSE(tip.GetFontFamilyName().empty());
    EXPECT_TRUE(tip.HasBackImage());
    EXPECT_EQ(tip.GetBackMode(), BACK_MODE_FRAME);
    EXPECT_EQ(tip.GetBackModeParam(), 18);
    const HeadlessWindow* shown = m_backend->Window(tip.GetSafeHwnd());
    ASSERT_NE(shown, nullptr);
    const Surface& image = shown->image;
    ASSERT_EQ(CSize(image.Width(), image.Height()), CSize(CKeyboardTips::kWidth, CKeyboardTips::kHeight));
    // Cut corners, a nearly opaque body.
    EXPECT_EQ(image.Pixel(0, 0) >> 24, 0u);
    EXPECT_EQ(image.Pixel(CKeyboardTips::kWidth - 1, 0) >> 24, 0u);
    EXPECT_GT(image.Pixel(95, 50) >> 24, 0xE0u);
    // Each line has text in its own band, in its own colour: the title grey, the lines white.
    auto brightest = [&](int top, int bottom) {
        ARGB best = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 10; x < CKeyboardTips::kWidth - 10; ++x) {
                if ((image.Pixel(x, y) & 0xFF) > (best & 0xFF))
                    best = image.Pixel(x, y);
            }
        }
        return best & 0x00FFFFFF;
    };
    EXPECT_EQ(brightest(8, 28), 0xC8C8C8u);
    EXPECT_EQ(brightest(35, 55), 0xFFFFFFu);
    EXPECT_EQ(brightest(63, 83), 0xFFFFFFu);
    // Without a title the bubble is empty.
    tip.SetAirBladderMsg(L"", L"", L"", {500, 500});
    tip.InvalidateRect(nullptr, 0);
    m_backend->Pump();
    EXPECT_LT(brightest(8, 83) & 0xFF, 0xC0u);
}

TEST_F(KeyboardTipsTest, CloseRequestsEndTheWindow)
{
    Create();
    ASSERT_TRUE(tip.IsLive());
    tip.CloseWindow();
    m_backend->Pump();
    EXPECT_FALSE(tip.IsLive());

    Create();
    ASSERT_TRUE(tip.IsLive());
    tip.PostMessageW(WM_DIALOG_CLOSE, IDOK, 0);
    m_backend->Pump();
    EXPECT_FALSE(tip.IsLive());
}

} // namespace
