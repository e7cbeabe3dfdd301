// Labels, pictures and the animated picture; and the class names that make every standard control.

#include <gtest/gtest.h>

#include "tests/ui/controls_fixture.h"
#include "ui/controls/c_gif_picture.h"
#include "ui/controls/c_photo_frame.h"
#include "ui/controls/c_slider_picture.h"
#include "ui/controls/c_text_area.h"
#include "ui/controls/m_picture.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/controls/m_text.h"
#include "ui/framework/image.h"
#include "ui/framework/m_render.h"

namespace {

using LabelsPicturesTest = ControlsFixture;

constexpr ARGB kTopLeft = 0xFFFF0000;
constexpr ARGB kTopRight = 0xFF00FF00;
constexpr ARGB kBottomLeft = 0xFF0000FF;
constexpr ARGB kBottomRight = 0xFFFFFF00;

// A 20 × 20 picture of four 10 × 10 quarters.
Surface Quarters()
{
    Surface s(20, 20);
    s.Fill(CRect(0, 0, 10, 10), kTopLeft);
    s.Fill(CRect(10, 0, 20, 10), kTopRight);
    s.Fill(CRect(0, 10, 10, 20), kBottomLeft);
    s.Fill(CRect(10, 10, 20, 20), kBottomRight);
    return s;
}

TEST_F(LabelsPicturesTest, ALabelTakesNoClicksAndMeasuresItsWrappedText)
{
    auto* label =
        Make<MText>(L"MText", 3, CRect(10, 10, 110, 40), L"A label that has a fairly long text to wrap");
    EXPECT_EQ(label->IsEnabled(), 0);
    ClickAt({20, 20});
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(Manager().GetFocusControl(), nullptr);

    const int oneLine = label->GetVirtualHeight();
    label->EnableMultiLine(1);
    const int wrapped = label->GetVirtualHeight();
    EXPECT_GT(wrapped, 2 * oneLine);
    label->SetRect(CRect(10, 10, 310, 40));
    EXPECT_LT(label->GetVirtualHeight(), wrapped);

    struct Case {
        const wchar_t* title;
        const wchar_t* mark;
        int start;
        size_t position;
    };
    const Case cases[] = {
        {L"Fn + F1 then Fn + F2", L"Fn", 0, 0},
        {L"Fn + F1 then Fn + F2", L"Fn", 1, 13},
        {L"Fn + F1 then Fn + F2", L"F3", 0, CString::npos},
        {L"Fn", L"Fn", 5, CString::npos},
        {L"Fn", L"", 0, CString::npos},
    };
    for (const Case& c : cases) {
        label->SetTitleMarkText(c.title, c.mark, c.start);
        EXPECT_EQ(label->GetMarkPosition(), c.position) << WideToUtf8(c.title) << " from " << c.start;
    }
}

TEST_F(LabelsPicturesTest, TheMarkAndTheBackgroundHaveTheirOwnColours)
{
    // Full blocks: solid glyphs whose middle pixels are the text colour itself.
    auto* label = Make<MText>(L"MText", 3, CRect(10, 10, 210, 70), L"");
    label->SetFont(nullptr, 40, FontStyleRegular);
    label->SetTextColor(0xFFFF0000);
    label->SetMarkColor(0xFF00FF00);
    label->SetTitleMarkText(L"\u2588\u2588", L"\u2588", 1);
    label->EnableTextBack(1, 0xFF0000FF);
    Run();
    const int width = MRender::MeasureString(label->DrawFont(), L"\u2588").cx;
    ASSERT_GT(width, 4);
    EXPECT_EQ(PixelAt({10 + width / 2, 40}), 0xFFFF0000u);
    EXPECT_EQ(PixelAt({10 + width + width / 2, 40}), 0xFF00FF00u);
    EXPECT_EQ(PixelAt({200, 40}), 0xFF0000FFu);
}

TEST_F(LabelsPicturesTest, APictureIsDrawnByItsShowMode)
{
    WriteSkin(folders, "quarters.png", Quarters());
    struct Case {
        const char* name;
        enumShowMode mode;
        CRect custom;
        CPoint at;
        ARGB colour;
    };
    const Case cases[] = {
        {"natural: the bottom-right quarter at its size", SHOW_MODE_NORMAL, {}, {15, 15}, kBottomRight},
        {"natural: nothing beyond the picture", SHOW_MODE_NORMAL, {}, {30, 30}, 0},
        {"stretched: the quarter fills a quarter of the control",
         SHOW_MODE_STRETCH,
         {},
         {30, 30},
         kBottomRight},
        {"stretched", SHOW_MODE_STRETCH, {}, {30, 5}, kTopRight},
        {"custom part: the top-right quarter alone", SHOW_MODE_NORMAL, {10, 0, 20, 10}, {5, 5}, kTopRight},
        {"custom part stretched", SHOW_MODE_STRETCH, {10, 0, 20, 10}, {35, 35}, kTopRight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* picture = Make<MPicture>(L"MPicture", 4, CRect(100, 100, 140, 140));
        ASSERT_EQ(picture->SetImage(L"quarters.png", 1), 1);
        picture->SetShowMode(c.mode);
        picture->SetCustomRect(c.custom);
        Run();
        const ARGB shown = PixelAt({100 + c.at.x, 100 + c.at.y});
        if (c.colour)
            EXPECT_EQ(shown, c.colour);
        else
            EXPECT_NE(shown, kBottomRight);
        Manager().RemoveControl(picture);
        Run();
    }

    // Nine-slice with borders of their own: a 4-pixel red edge around a blue middle, into 60 × 40 with
    // left 4, top 4, right 4, bottom 4.
    Surface framed(12, 12);
    framed.Fill(framed.Bounds(), 0xFFFF0000);
    framed.Fill(CRect(4, 4, 8, 8), 0xFF0000FF);
    WriteSkin(folders, "framed.png", framed);
    auto* nine = Make<MPicture>(L"MPicture", 5, CRect(200, 100, 260, 140));
    nine->SetImage(L"framed.png", 1);
    nine->SetShowModeMID(4, 4, 4, 4);
    EXPECT_EQ(nine->GetShowMode(), SHOW_MODE_MID);
    Run();
    EXPECT_EQ(PixelAt({202, 120}), 0xFFFF0000u);
    EXPECT_EQ(PixelAt({258, 120}), 0xFFFF0000u);
    EXPECT_EQ(PixelAt({230, 102}), 0xFFFF0000u);
    EXPECT_EQ(PixelAt({230, 120}), 0xFF0000FFu);
    // A frame of a strip.
    WriteSkin(folders, "strip.png", SolidStrip({0xFF101010, 0xFF202020, 0xFF303030}, 10, 10));
    auto* strip = Make<MPicture>(L"MPicture", 6, CRect(300, 100, 310, 110));
    strip->SetImage(L"strip.png", 3);
    strip->SetImageIndex(2);
    Run();
    EXPECT_EQ(PixelAt({305, 105}), 0xFF303030u);
}

TEST_F(LabelsPicturesTest, GifFramesAdvanceOnTheTickOnlyWhileRunningAndShown)
{
    WriteFileBytes(folders.AppFolder() / "skins" / "theme1" / "two.gif",
                   std::string_view(reinterpret_cast<const char*>(kTwoFrameGif), sizeof(kTwoFrameGif)));
    auto* page = Make<MTabLayout>(L"MTabLayout", 1, CRect(0, 0, 400, 300));
    auto* gif =
        static_cast<CGifPicture*>(page->CreateControl(L"CGifPicture", 2, CRect(10, 10, 30, 30), L"", 1, 1));
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(gif->SetImage(L"two.gif", 1), 1);
    EXPECT_EQ(gif->GetFrameCount(), 2);
    EXPECT_EQ(gif->IsRunTimer(), 1);
    ASSERT_NE(dialog.SetMTimer(10), 0u);
    page->AddMTimer(); // ticks reach the picture twice now, through the page and on its own
    Backend().RunFor(90);
    EXPECT_EQ(gif->GetFrame(), 0);
    Run();
    EXPECT_EQ(PixelAt({19, 19}), 0xFFFF0000u); // 1 × 1 in the middle
    Backend().RunFor(10);
    EXPECT_EQ(gif->GetFrame(), 1);
    Run();
    EXPECT_EQ(PixelAt({19, 19}), 0xFF0000FFu);
    Backend().RunFor(100);
    EXPECT_EQ(gif->GetFrame(), 0);

    // Stopped, it stays on its frame and wants no ticks.
    gif->SetRunState(0, 1);
    EXPECT_EQ(gif->IsRunTimer(), 0);
    Backend().RunFor(500);
    EXPECT_EQ(gif->GetFrame(), 1);
    // On a hidden page it does not move either, and shown again it goes on from the frame it showed.
    gif->SetRunState(1, 0);
    page->SetVisible(0);
    Backend().RunFor(1000);
    EXPECT_EQ(gif->GetFrame(), 0);
    page->SetVisible(1);
    Backend().RunFor(90);
    EXPECT_EQ(gif->GetFrame(), 0);
    Backend().RunFor(20);
    EXPECT_EQ(gif->GetFrame(), 1);

    // Hover-driven: it runs while the pointer is over it and rests on frame 0 otherwise.
    gif->SetMouseMoveActive(1);
    EXPECT_EQ(gif->GetRunState(), 0);
    Move({20, 20});
    EXPECT_EQ(gif->GetRunState(), 1);
    Backend().RunFor(100);
    EXPECT_EQ(gif->GetFrame(), 1);
    Move({300, 200});
    EXPECT_EQ(gif->GetRunState(), 0);
    EXPECT_EQ(gif->GetFrame(), 0);

    // A still picture has nothing to play.
    WriteSkin(folders, "still.png", Quarters());
    gif->SetImage(L"still.png", 1);
    gif->SetRunState(1, 0);
    EXPECT_EQ(gif->IsRunTimer(), 0);
}

TEST_F(LabelsPicturesTest, SlidesMoveOnTheTickAndThePhotoFrameFitsItsPhoto)
{
    WriteSkin(folders, "slides.png", SolidStrip({0xFF400000, 0xFF004000, 0xFF000040}, 40, 20));
    auto* slides = Make<CSliderPicture>(L"CSliderPicture", 3, CRect(100, 100, 200, 150));
    slides->SetImage(L"slides.png", 3);
    ASSERT_NE(dialog.SetMTimer(10), 0u);
    EXPECT_EQ(slides->IsRunTimer(), 0);
    ClickAt({190, 110}); // the right third
    EXPECT_EQ(slides->GetCurrent(), 1);
    EXPECT_TRUE(slides->IsSliding());
    EXPECT_EQ(slides->IsRunTimer(), 1);
    Backend().RunFor(CSliderPicture::kSlideMs + 10);
    EXPECT_FALSE(slides->IsSliding());
    EXPECT_EQ(slides->IsRunTimer(), 0);
    Run();
    EXPECT_EQ(PixelAt({150, 110}), 0xFF004000u);
    ClickAt({105, 110}); // the left third
    ClickAt({105, 110});
    EXPECT_EQ(slides->GetCurrent(), 2); // wrapped around
    EXPECT_EQ(Heard(), (std::vector<std::string>{"3:2:1:0", "3:2:0:0", "3:2:2:0"}));

    WriteSkin(folders, "photo.png", Quarters());
    auto* frame = Make<CPhotoFrame>(L"CPhotoFrame", 4, CRect(0, 0, 100, 60));
    frame->SetImage(L"photo.png", 1);
    frame->SetFrameBorder(5);
    EXPECT_EQ(frame->PhotoRect(), CRect(25, 5, 75, 55));
    ClickAt({50, 30});
    EXPECT_EQ(Heard(), std::vector<std::string>{"4:1:0:0"});
    EXPECT_EQ(frame->LoadPhoto(L"/no/such/photo.png"), 0);
}

TEST_F(LabelsPicturesTest, ATextAreaScrollsWithinItsText)
{
    CString text;
    for (int i = 0; i < 40; ++i)
        text += L"Line of text number " + std::to_wstring(i) + L".\n";
    auto* area = Make<CTextArea>(L"CTextArea", 5, CRect(10, 10, 210, 110), text.c_str());
    const int total = area->GetVirtualHeight();
    ASSERT_GT(total, 400);
    Manager().SetFocusControl(area);
    KeyWith(KEY_DOWN);
    const int line = area->GetScrollOffset();
    EXPECT_GT(line, 0);
    KeyWith(KEY_END);
    EXPECT_EQ(area->GetScrollOffset(), total - 100);
    KeyWith(KEY_PAGEDOWN);
    EXPECT_EQ(area->GetScrollOffset(), total - 100);
    KeyWith(KEY_HOME);
    EXPECT_EQ(area->GetScrollOffset(), 0);
    Move({50, 50});
    CPoint screen(50, 50);
    WindowSystem::ClientToScreen(hwnd, &screen);
    WindowSystem::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(area->GetScrollOffset(), 3 * line);
}

TEST_F(LabelsPicturesTest, EveryStandardControlIsMadeByItsName)
{
    struct Case {
        const wchar_t* name;
        bool (*is)(MControl*);
        int enabledWhenBIs0; // what b = 0 leaves the control
    };
#define KELVO_CASE(name, type, enabled)                                                                      \
    Case                                                                                                     \
    {                                                                                                        \
        L##name, [](MControl* c) { return dynamic_cast<type*>(c) != nullptr; }, enabled                      \
    }
    const Case cases[] = {
        KELVO_CASE("MText", MText, 0),
        KELVO_CASE("MPicture", MPicture, 0),
        KELVO_CASE("CPhotoFrame", CPhotoFrame, 0),
        KELVO_CASE("CSliderPicture", CSliderPicture, 0),
        KELVO_CASE("CGifPicture", CGifPicture, 0),
        KELVO_CASE("MTabLayout", MTabLayout, 1),
        KELVO_CASE("MTabCtrl", MTabCtrl, 0),
        KELVO_CASE("CTextArea", CTextArea, 0),
    };
#undef KELVO_CASE
    unsigned id = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        MControl* made = dialog.CreateControl(c.name, ++id, CRect(0, 0, 50, 50), L"Title", 1, 0);
        ASSERT_NE(made, nullptr);
        EXPECT_TRUE(c.is(made));
        EXPECT_EQ(made->IsVisible(), 1);
        EXPECT_EQ(made->IsEnabled(), c.enabledWhenBIs0);
        EXPECT_EQ(made->GetID(), id);
    }
    // Titles reach the classes that take one.
    auto* text = static_cast<MText*>(dialog.CreateControl(L"MText", 200, CRect(0, 0, 5, 5), L"Hello", 0, 1));
    EXPECT_EQ(text->GetTitle(), L"Hello");
    EXPECT_EQ(text->IsVisible(), 0);
}

} // namespace
