// Rendering helpers, pictures and fonts, checked by pixels: nine-slice frames, alpha transitions,
// rounded rectangles, placement, colour keys, the image cache, decoding (PNG, animated GIF, bitmap
// files), the library's embedded resources, fonts and text measurement, and a window's background
// picture as it reaches the PNG dump.

#include <cairo.h>
#include <gtest/gtest.h>

#include "tests/support/scoped_folders.h"
#include "tests/ui/control_probe.h"
#include "tests/ui/skin_files.h"
#include "ui/controls/m_scroll.h"
#include "ui/framework/font_collection.h"
#include "ui/framework/image.h"
#include "ui/framework/m_image_list.h"
#include "ui/framework/m_panel.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/resource_module.h"
#include "ui/framework/skin_folder.h"

namespace {

// A 12 × 12 picture: 3 × 3 corners in four colours, edges and centre in their own colours.
constexpr ARGB kTopLeft = 0xFFFF0000, kTopRight = 0xFF00FF00, kBottomLeft = 0xFF0000FF,
               kBottomRight = 0xFFFFFF00;
constexpr ARGB kEdge = 0xFF808080, kCentre = 0xFF202020;
constexpr int kSide = 12, kBorder = 3;

Surface FramePicture()
{
    Surface s(kSide, kSide);
    s.Fill(s.Bounds(), kEdge);
    s.Fill({kBorder, kBorder, kSide - kBorder, kSide - kBorder}, kCentre);
    s.Fill({0, 0, kBorder, kBorder}, kTopLeft);
    s.Fill({kSide - kBorder, 0, kSide, kBorder}, kTopRight);
    s.Fill({0, kSide - kBorder, kBorder, kSide}, kBottomLeft);
    s.Fill({kSide - kBorder, kSide - kBorder, kSide, kSide}, kBottomRight);
    return s;
}

// The four corners of a frame drawn at (x, y, w, h) in a surface are the picture's corners, pixel for pixel.
void ExpectCornersUnscaled(const Surface& s, const CRect& d)
{
    for (int y = 0; y < kBorder; ++y) {
        for (int x = 0; x < kBorder; ++x) {
            ASSERT_EQ(s.Pixel(d.left + x, d.top + y), kTopLeft) << x << "," << y;
            ASSERT_EQ(s.Pixel(d.right - 1 - x, d.top + y), kTopRight) << x << "," << y;
            ASSERT_EQ(s.Pixel(d.left + x, d.bottom - 1 - y), kBottomLeft) << x << "," << y;
            ASSERT_EQ(s.Pixel(d.right - 1 - x, d.bottom - 1 - y), kBottomRight) << x << "," << y;
        }
    }
}

TEST(RenderTest, NineSliceKeepsCornersUnscaledAtAnySize)
{
    const ImagePtr picture = Image::FromSurface(FramePicture());
    const CRect sizes[] = {{0, 0, 12, 12}, {5, 7, 85, 27}, {2, 1, 9, 60}, {0, 0, 200, 150}};
    for (const CRect& d : sizes) {
        SCOPED_TRACE(std::to_string(d.Width()) + "x" + std::to_string(d.Height()));
        Surface target(d.right + 3, d.bottom + 3);
        {
            GraphicsOn g(target);
            MRender::DrawImageFrame(g, picture.get(), d, 0, 0, kSide, kSide, kBorder);
        }
        ExpectCornersUnscaled(target, d);
        // Edges stretch along their length only; the centre fills the middle; nothing spills outside.
        EXPECT_EQ(target.Pixel(d.left + d.Width() / 2, d.top), kEdge);
        EXPECT_EQ(target.Pixel(d.left, d.top + d.Height() / 2), kEdge);
        EXPECT_EQ(target.Pixel(d.left + d.Width() / 2, d.top + d.Height() / 2), kCentre);
        EXPECT_EQ(target.Pixel(d.right + 1, d.bottom + 1), 0u);
    }
}

TEST(RenderTest, TransitionsBlendRowsWithALinearAlpha)
{
    Surface back(10, 5);
    back.Fill(back.Bounds(), 0xFF000000);
    Surface white(10, 5);
    white.Fill(white.Bounds(), 0xFFFFFFFF);
    HDC dest = &back;
    HDC src = &white;
    // 80 % transparent at both ends: every row at alpha 51 (20 %).
    EXPECT_EQ(MRender::DrawVerticalTransition(dest, src, back.Bounds(), white.Bounds(), 80, 80), 51);
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(back.Pixel(3, y), 0xFF333333u) << y;

    // 0 → 100: row i of 5 gets 255 − 255 × i ÷ 5.
    back.Fill(back.Bounds(), 0xFF000000);
    EXPECT_EQ(MRender::DrawVerticalTransition(dest, src, back.Bounds(), white.Bounds(), 0, 100), 51);
    const uint32_t rows[] = {255, 204, 153, 102, 51};
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(back.Pixel(0, y) & 0xFF, rows[y]) << y;

    // Columns for the horizontal one; both 0 is an opaque copy.
    back.Fill(back.Bounds(), 0xFF000000);
    EXPECT_EQ(MRender::DrawHorizontalTransition(dest, src, back.Bounds(), white.Bounds(), 0, 0), 255);
    EXPECT_EQ(back.Pixel(9, 4), 0xFFFFFFFFu);
    back.Fill(back.Bounds(), 0xFF000000);
    MRender::DrawHorizontalTransition(dest, src, back.Bounds(), white.Bounds(), 100, 0);
    EXPECT_EQ(back.Pixel(0, 2), 0xFF000000u);
    EXPECT_EQ(back.Pixel(5, 2) & 0xFF, 127u);
}

TEST(RenderTest, RoundedRectangleCorners)
{
    struct Case {
        float w, h, divisor, cw, ch;
    };
    const Case cases[] = {
        {36, 28, 12, 3.0f, 28.0f / 12},
        {40, 40, 2, 20, 20},
        {300, 24, 2, 12, 12}, // halves 75 and 6 differ by more than 10: both take the smaller
        {44, 20, 2, 22, 10},  // halves 11 and 5 differ by 6: kept
        {10, 10, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const SizeF corner = MRender::RoundRectCorner(c.w, c.h, c.divisor);
        EXPECT_FLOAT_EQ(corner.width, c.cw) << c.w << "x" << c.h << "/" << c.divisor;
        EXPECT_FLOAT_EQ(corner.height, c.ch) << c.w << "x" << c.h << "/" << c.divisor;
    }
    // Filled with divisor 2 the shape is a circle: corners empty, edges' middles and the centre filled.
    Surface s(40, 40);
    {
        GraphicsOn g(s);
        MRender::DrawRoundRectange(g, 0, 0, 40, 40, 2, 0xFF0000FF, 0, true, 0xFFFF0000);
    }
    EXPECT_EQ(s.Pixel(0, 0), 0u);
    EXPECT_EQ(s.Pixel(39, 39), 0u);
    EXPECT_EQ(s.Pixel(20, 20), 0xFFFF0000u);
    EXPECT_EQ(s.Pixel(20, 1), 0xFFFF0000u);
    EXPECT_EQ(s.Pixel(1, 20), 0xFFFF0000u);
}

TEST(RenderTest, OriginPointsAndColourKeys)
{
    struct Place {
        unsigned h, v;
        CPoint expected;
    };
    const Place places[] = {
        {0, 0, {0, 0}}, {1, 4, {30, 15}}, {2, 8, {60, 30}}, {3, 4, {0, 15}}, {1, 2, {30, 0}}, {2, 5, {60, 0}},
    };
    for (const Place& p : places)
        EXPECT_EQ(MRender::GetOriginPoint(100, 50, 40, 20, p.h, p.v), p.expected) << p.h << "/" << p.v;
    EXPECT_EQ(MRender::GetOriginPoint(CRect(10, 20, 110, 70), 40, 20, 1, 4), CPoint(40, 35));

    struct Key {
        uint32_t in, out;
    };
    const Key keys[] = {{0xFF000000, 0xFF000001},
                        {0x00000001, 0x00000001},
                        {0, 1},
                        {0x80000000, 0x80000001},
                        {0x12345678, 0x12345678}};
    for (const Key& k : keys) {
        uint32_t c = k.in;
        MRender::CheckAlphaColor(c);
        EXPECT_EQ(c, k.out) << std::hex << k.in;
    }
}

TEST(RenderTest, GradientColourAndBlendHelpers)
{
    Surface s(40, 10);
    MRender::DrawGradient(&s, s.Bounds(), 0xFF000000, 0xFFFFFFFF, false, 4);
    EXPECT_EQ(s.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(s.Pixel(15, 5), 0xFF555555u);
    EXPECT_EQ(s.Pixel(39, 9), 0xFFFFFFFFu);
    MRender::DrawColor(&s, s.Bounds(), 0x00FF0000); // alpha 0: nothing
    EXPECT_EQ(s.Pixel(0, 0), 0xFF000000u);
    MRender::FillSolidRect(&s, 0, 0, 2, 2, RGB(1, 2, 3));
    EXPECT_EQ(s.Pixel(1, 1), 0xFF010203u);

    // BitBlt clips the block to both surfaces.
    Surface small(4, 4);
    small.Fill(small.Bounds(), 0xFF00FF00);
    MRender::BitBlt(&s, 38, -2, 10, 10, &small, 0, 0);
    EXPECT_EQ(s.Pixel(39, 0), 0xFF00FF00u);
    EXPECT_EQ(s.Pixel(39, 2), 0xFFFFFFFFu);
}

TEST(RenderTest, ImageCacheKeepsTheFirstFrameCountAndRetriesFailures)
{
    ScopedFolders folders;
    EXPECT_EQ(SkinFilePath(L"a.png"), Utf8ToWide(folders.AppFolder().string()) + L"/skins\\theme1\\a.png");
    Surface strip(40, 10);
    strip.Fill(strip.Bounds(), 0xFF123456);
    WriteSkin(folders, "icon/strip.png", strip);
    ImageCache cache;
    ImgResInfo* first = cache.Add(L"icon//strip.png", 4);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->count, 4);
    EXPECT_EQ(first->width, 10);
    EXPECT_EQ(first->height, 10);
    EXPECT_EQ(first->name, L"icon//strip.png");
    ImgResInfo* again = cache.Add(L"icon//strip.png", 2);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->count, 4);
    // Counts below one are one frame, not a division by zero.
    WriteSkin(folders, "one.png", strip);
    EXPECT_EQ(cache.Add(L"one.png", 0)->width, 40);

    // A missing picture is not remembered: once it exists it loads.
    EXPECT_EQ(cache.Add(L"late.png", 2), nullptr);
    WriteSkin(folders, "late.png", strip);
    ASSERT_NE(cache.Add(L"late.png", 2), nullptr);
    EXPECT_EQ(cache.Add(L"late.png", 2)->width, 20);
    EXPECT_EQ(cache.Count(), 3u);
}

TEST(RenderTest, TheLibraryEmbedsItsScrollBarsAndFont)
{
    EXPECT_EQ(FindResourceBytes(LibraryModule(), kEmbeddedFontResId, L"ttf").size(), 221328u);
    EXPECT_TRUE(FindResourceBytes(LibraryModule(), kEmbeddedFontResId, L"PNG").empty());
    int stranger = 0;
    EXPECT_TRUE(FindResourceBytes(&stranger, kEmbeddedFontResId, L"TTF").empty());
    EXPECT_TRUE(FindResourceBytes(nullptr, kEmbeddedFontResId, L"TTF").empty());
    struct Strip {
        unsigned id;
        int width, height;
    };
    // Four thumb frames side by side, 7 pixels thick.
    const Strip strips[] = {{kScrollHorizontalResId, 4 * 32, 7}, {kScrollVerticalResId, 4 * 7, 32}};
    for (const Strip& s : strips) {
        const ImagePtr image = MRender::LoadImageFromIDResource(s.id, L"png", LibraryModule());
        ASSERT_NE(image, nullptr) << s.id;
        EXPECT_EQ(image->Width(), s.width);
        EXPECT_EQ(image->Height(), s.height);
        // The four states differ.
        const int frame = s.width / 4;
        EXPECT_NE(image->Frame().Pixel(frame / 2, s.height / 2),
                  image->Frame().Pixel(frame + frame / 2, s.height / 2));
    }
    // A program's own module answers for its resources.
    const uint8_t bytes[] = {1, 2, 3};
    const ResourceModule program({{7, L"DAT", std::span<const uint8_t>(bytes)}});
    EXPECT_EQ(FindResourceBytes(program.Instance(), 7, L"dat").size(), 3u);
}

TEST(RenderTest, DecodingStillAndAnimatedPicturesAndBitmapFiles)
{
    const ImagePtr gif = Image::FromBytes(kTwoFrameGif);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(gif->FrameCount(), 2u);
    EXPECT_EQ(gif->Frame(0).Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(gif->Frame(1).Pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(gif->FrameDelayMs(0), 100);

    const uint8_t junk[] = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
    EXPECT_EQ(Image::FromBytes(junk), nullptr);
    EXPECT_EQ(Image::FromBytes({}), nullptr);
    EXPECT_EQ(MRender::LoadImageFromFile(L"/no/such/file.png"), nullptr);

    // A saved bitmap reads back with the same straight colours, alpha included.
    ScopedTempDir dir;
    Surface s(3, 2);
    s.Fill({0, 0, 3, 1}, 0xFF112233);
    s.Fill({0, 1, 3, 2}, 0x80FF0000);
    const CString path = dir.WidePath() + L"\\saved.bmp";
    ASSERT_EQ(MRender::SaveBitmapToFile(&s, path), 1);
    const ImagePtr back = MRender::LoadImageFromFile(path);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Width(), 3);
    EXPECT_EQ(back->Frame().Pixel(2, 0), 0xFF112233u);
    EXPECT_EQ(back->Frame().Pixel(1, 1) & 0xFFFF0000u, 0x80FF0000u);
    EXPECT_EQ(MRender::SaveBitmapToFile(&s, L"/no/such/dir/x.bmp"), 0);
}

TEST(RenderTest, FontsResolveThroughTheFontConfiguration)
{
    // "Arial" is drawn with its declared substitute; an unknown name has only generic fallbacks.
    EXPECT_TRUE(FontConfiguration::IsFamilyAvailable(L"Arial"));
    EXPECT_TRUE(FontConfiguration::IsFamilyAvailable(L"Liberation Sans"));
    EXPECT_FALSE(FontConfiguration::IsFamilyAvailable(L"No Such Family Kelvo"));
    EXPECT_FALSE(FontConfiguration::IsFamilyAvailable(L""));

    FontCollection fonts;
    const FontFamily* arial = fonts.Find(L"Arial");
    ASSERT_NE(arial, nullptr);
    EXPECT_EQ(fonts.Find(L"Arial"), arial);
    EXPECT_EQ(fonts.Find(L"No Such Family Kelvo"), nullptr);
    // The embedded font registers its own family.
    const FontFamily* embedded = fonts.AddTempFont(L"Embedded", LibraryModule(), kEmbeddedFontResId);
    ASSERT_NE(embedded, nullptr);
    EXPECT_EQ(embedded->name, L"Open Sans");
    EXPECT_EQ(fonts.AddTempFont(L"Missing", LibraryModule(), 999), nullptr);
    EXPECT_EQ(fonts.AddTempFont(L"NotAFont", "/etc/hostname"), nullptr);
    fonts.Clear();
    EXPECT_EQ(fonts.Count(), 0u);
}

TEST(RenderTest, TextBoundsGrowWithTheTextAndMatchTheLineHeight)
{
    const TextFont font{L"Arial", 14.0f, FontStyleRegular};
    const CSize empty = MRender::GetTextBounds(font, L"");
    const CSize one = MRender::GetTextBounds(font, L"Key");
    const CSize two = MRender::GetTextBounds(font, L"Key Key");
    const CSize bold = MRender::GetTextBounds(TextFont{L"Arial", 14.0f, FontStyleBold}, L"Key Key");
    const CSize big = MRender::GetTextBounds(TextFont{L"Arial", 28.0f, FontStyleRegular}, L"Key");
    EXPECT_EQ(empty.cx, 0);
    EXPECT_GT(one.cx, 10);
    EXPECT_GT(two.cx, 2 * one.cx);
    EXPECT_GT(bold.cx, two.cx);
    EXPECT_GT(big.cx, one.cx * 3 / 2);
    // Line height (about 1.15 × 14 for Liberation Sans) plus 4 for its fraction, or plus 1.
    EXPECT_GE(one.cy, 17);
    EXPECT_LE(one.cy, 22);
    EXPECT_EQ(empty.cy, one.cy);
}

TEST(RenderTest, TextIsDrawnInsideItsRectangle)
{
    Surface s(120, 30);
    {
        GraphicsOn g(s);
        StringFormat format;
        format.alignment = StringAlignmentCenter;
        format.lineAlignment = StringAlignmentCenter;
        format.flags = StringFormatFlagsNoWrap;
        MRender::DrawString(g, L"WWWWWWWWWWWWWWWWWWWW", TextFont{L"Arial", 14.0f, 0}, CRect(10, 5, 60, 25),
                            format, 0xFFFFFFFF);
    }
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 120; ++x) {
            const bool lit = (s.Pixel(x, y) >> 24) != 0;
            const bool in = CRect(10, 5, 60, 25).PtInRect({x, y});
            (in ? inside : outside) += lit ? 1 : 0;
        }
    }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);

    // DT_CALCRECT measures without drawing.
    CRect measure(0, 0, 0, 0);
    const LogicalFont logical{L"Arial", -14, 700, false, false};
    MRender::DrawTextW(&s, measure, L"Key", RGB(255, 255, 255), &logical, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(measure.Width(), 10);
    EXPECT_GT(measure.Height(), 10);
}

TEST(RenderTest, ImageListDrawsItsPicturesByIndex)
{
    ScopedFolders folders;
    Surface strip(20, 10);
    strip.Fill({0, 0, 10, 10}, 0xFFFF0000);
    strip.Fill({10, 0, 20, 10}, 0xFF0000FF);
    WriteSkin(folders, "icons/strip.png", strip);
    MImageList list;
    EXPECT_EQ(list.AddImage(7, L"icons\\strip.png", 2), 0);
    EXPECT_EQ(list.AddImage(8, L"missing.png"), -1);
    EXPECT_EQ(list.InsertImage(0, 9, L"icons\\strip.png"), 0);
    EXPECT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(list.GetImagePathByID(7), L"icons\\strip.png");
    EXPECT_EQ(list.GetImageDataByID(7)->frames, 2);
    EXPECT_EQ(list.GetItemImageData(5), nullptr);
    EXPECT_EQ(list.GetIconSize(), CSize(20, 10)); // the first picture, one frame
    Surface s(30, 30);
    {
        GraphicsOn g(s);
        list.DrawItemIcon(g, CRect(0, 0, 30, 30), 1, 1); // frame 1 of the two-frame strip, centred
    }
    EXPECT_EQ(s.Pixel(15, 15), 0xFF0000FFu);
    EXPECT_EQ(s.Pixel(9, 15), 0u);
    list.DelAllImages();
    EXPECT_EQ(list.GetImageCount(), 0);
}

std::vector<uint32_t> Pixels(const Surface& s)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < s.Height(); ++y)
        pixels.insert(pixels.end(), s.Row(y), s.Row(y) + s.Width());
    return pixels;
}

class BackgroundTest : public ControlFixture {
protected:
    ScopedFolders folders;
};

TEST_F(BackgroundTest, FrameModeKeepsTheBackgroundCornersOnTheDumpedPicture)
{
    WriteSkin(folders, "bk.png", FramePicture());
    ASSERT_EQ(dialog.LoadBKImage(L"bk.png"), 1);
    EXPECT_EQ(dialog.LoadBKImage(L"missing.png"), 0);
    EXPECT_EQ(Manager().GetBKImageSize(), CSize(kSide, kSide));
    dialog.SetBackMode(BACK_MODE_FRAME, kBorder);
    for (const CRect window : {CRect(100, 100, 500, 400), CRect(100, 100, 137, 161)}) {
        dialog.MoveWindow(window);
        Run();
        ScopedTempDir dump;
        const std::string png = (dump.Path() / "window.png").string();
        ASSERT_TRUE(Backend().WritePng(hwnd, png));
        cairo_surface_t* read = cairo_image_surface_create_from_png(png.c_str());
        ASSERT_EQ(cairo_surface_status(read), CAIRO_STATUS_SUCCESS);
        Surface shown(cairo_image_surface_get_width(read), cairo_image_surface_get_height(read));
        for (int y = 0; y < shown.Height(); ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(read) +
                                                                y * cairo_image_surface_get_stride(read));
            std::copy(row, row + shown.Width(), shown.Row(y));
        }
        cairo_surface_destroy(read);
        ExpectCornersUnscaled(shown, shown.Bounds());
        EXPECT_EQ(shown.Pixel(shown.Width() / 2, shown.Height() / 2), kCentre);
    }

    // Mode 0 draws the picture once at the origin; the rest is the back colour.
    dialog.SetBackMode(BACK_MODE_NORMAL, kBorder);
    dialog.InvalidateRect(nullptr, 0);
    Run();
    EXPECT_EQ(Shown().image.Pixel(0, 0), kTopLeft);
    EXPECT_EQ(Shown().image.Pixel(11, 11), kBottomRight);
    EXPECT_EQ(Shown().image.Pixel(20, 20), ColorRefToARGB(Manager().GetBackColor()));
}

// A translucent background picture is drawn on a cleared surface each time: repaints of the whole
// window, over whatever the last one left, give the same pixels in both modes.
TEST_F(BackgroundTest, TranslucentBackgroundDoesNotPileUpOverRepaints)
{
    Surface translucent(kSide, kSide);
    translucent.Fill(translucent.Bounds(), 0x40102030);
    translucent.Fill({0, 0, kBorder, kBorder}, 0x10400040);
    WriteSkin(folders, "translucent.png", translucent);
    ASSERT_EQ(dialog.LoadBKImage(L"translucent.png"), 1);
    struct Case {
        enumBackMode mode;
        CRect window;
    };
    // Frame mode, and a picture at its natural size that covers the whole (small) window.
    for (const Case& c : {Case{BACK_MODE_FRAME, CRect(100, 100, 300, 250)},
                          Case{BACK_MODE_NORMAL, CRect(100, 100, 100 + kSide, 100 + kSide)}}) {
        dialog.SetBackMode(c.mode, kBorder);
        dialog.MoveWindow(c.window);
        dialog.InvalidateRect(nullptr, 0);
        Run();
        const std::vector<uint32_t> first = Pixels(Shown().image);
        // The corner is the picture's own translucent pixel, not the picture over the back colour.
        EXPECT_EQ(Manager().GetPaintDC()->Pixel(1, 1) >> 24, 0x10u) << "mode " << c.mode;
        for (int repaint = 0; repaint < 8; ++repaint) {
            dialog.InvalidateRect(nullptr, 0);
            Run();
            ASSERT_EQ(Pixels(Shown().image), first) << "mode " << c.mode << ", repaint " << repaint;
        }
    }
}

TEST_F(BackgroundTest, AttachingLoadsThePrivateArialAndTheEmbeddedFont)
{
    // Without font/Arial.ttf beside the program the installed family (or its substitute) is used.
    const FontFamily* installed = Manager().FindTempFont();
    ASSERT_NE(installed, nullptr);
    EXPECT_EQ(installed->name, L"Arial");
    EXPECT_TRUE(FontConfiguration::IsFamilyAvailable(L"Open Sans Semibold"));

    // With it, "Arial" is that file's family.
    const std::filesystem::path arial = folders.AppFolder() / "font" / "Arial.ttf";
    std::filesystem::create_directories(arial.parent_path());
    std::filesystem::copy_file("/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf", arial);
    ControlDialog other;
    other.Create(nullptr, L"other", WS_POPUP, 0, CRect(0, 0, 50, 50));
    const FontFamily* privateArial = other.GetPaintManager().FindTempFont();
    ASSERT_NE(privateArial, nullptr);
    EXPECT_EQ(privateArial->name, L"Liberation Serif");
    other.DestroyWindow();
    EXPECT_EQ(other.GetPaintManager().FindTempFont()->name, L"Arial"); // released with the window
}

TEST_F(BackgroundTest, TheScrollBarPicturesComeFromTheLibraryOrTheSkin)
{
    EXPECT_EQ(Manager().GetScrollVID(), kScrollVerticalResId);
    EXPECT_EQ(Manager().GetScrollHID(), kScrollHorizontalResId);
    const ImgResInfo* vertical = Manager().AddImgResInfo(kScrollVerticalResId, L"PNG", 4, 0);
    ASSERT_NE(vertical, nullptr);
    EXPECT_EQ(CSize(vertical->width, vertical->height), CSize(7, 32));
    EXPECT_EQ(Manager().AddImgResInfo(kScrollVerticalResId, L"PNG", 4, 1), nullptr); // not the program's
    // Without ids the panels' bars take the one-frame skin pictures.
    Surface thumb(7, 20);
    thumb.Fill(thumb.Bounds(), 0xFFFFFFFF);
    WriteSkin(folders, "img_scroll_v.png", thumb);
    dialog.SetScrollResID(0, 0);
    auto* panel = static_cast<MPanel*>(
        Manager().AddControl(std::make_unique<MPanel>(&dialog, 1, CRect(0, 0, 50, 50), 1)));
    EXPECT_EQ(panel->GetVScroll()->GetImagePath(), L"img_scroll_v.png");
    EXPECT_EQ(panel->GetVScroll()->GetImageCount(), 1);
}

} // namespace
