// The keyboard view on the headless backend, filled from the shipped full-size layout and its picture:
// items and their record layout, hit testing, selection, frame selection, marks and colours, every
// drawing mode checked by pixels, the one-key repaint, the lighting preview, and the key tips.

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

#include "device/keyboard_layout.h"
#include "tests/ui/controls_fixture.h"
#include "ui/framework/image.h"
#include "ui/framework/m_panel.h"
#include "ui/framework/window_system.h"
#include "ui/keyboard/keyboard_ctrl.h"
#include "ui/keyboard/keyboard_tips.h"

namespace {

constexpr unsigned kViewId = 67;
// The view's rectangle in the dialog: 960 wide, so the 940-pixel picture sits 10 pixels in.
constexpr CRect kViewRect(20, 40, 980, 340);
// Layout pixels to client pixels: the view's corner plus the picture's centring offset.
constexpr CPoint kToClient(30, 40);
constexpr unsigned kEsc = 0x29, kF1 = 0x3A, kQ = 0x14, kW = 0x1A, kE = 0x08, kA = 0x04, kS = 0x16, kD = 0x07,
                   kTab = 0x2B;

const LayoutFile& ShippedLayout()
{
    static const LayoutFile layout = [] {
        const auto path = BuildBinDir() / "layouts" / "z5_wireless.xml";
        std::optional<LayoutFile> file = ReadLayoutFile(Utf8ToWide(path.string()));
        return file ? *file : LayoutFile{};
    }();
    return layout;
}

CRect ClientRectOf(CRect layoutRect)
{
    layoutRect.OffsetRect(kToClient);
    return layoutRect;
}

CRect LayoutRectOf(unsigned code)
{
    for (const LayoutFile::Key& key : ShippedLayout().keys) {
        if (key.item.code == code)
            return key.item.rect;
    }
    return {};
}

CPoint TopMiddle(const CRect& r)
{
    return {(r.left + r.right) / 2, r.top};
}

class KeyboardViewTest : public ControlsFixture {
protected:
    KeyboardViewTest()
    {
        dialog.MoveWindow(100, 100, 1000, 360);
        folders.InstallFromBuild("skins/theme1/keyboard/z5_wireless.png");
        folders.InstallFromBuild("skins/theme1/img_tip_bk.png");
        folders.InstallFromBuild("skins/theme1/icon/icon_pc.png");
        Run();
    }

    // The view as the program sets it up from a layout: rectangle, picture, size, then the keys.
    KeyboardCtrl* MakeView(int mode)
    {
        EXPECT_FALSE(ShippedLayout().keys.empty());
        view = Make<KeyboardCtrl>(L"KeyboardCtrl", kViewId, kViewRect);
        view->SetKeyboardImage(L"keyboard\\z5_wireless.png");
        view->SetWidthAndHeight(940, 280);
        for (const LayoutFile::Key& key : ShippedLayout().keys)
            view->AddKeyItem(key.item.name.c_str(), key.item.description.c_str(), key.item.code,
                             key.item.rect, key.item.icon);
        view->SetKeyboardCtrlMode(mode);
        Run();
        return view;
    }

    int IndexOf(unsigned code)
    {
        for (const KEY_INFO* item : view->GetKeyItems()) {
            if (item->keyValue == code)
                return item->index;
        }
        return -1;
    }
    CRect ClientRect(unsigned code) { return view->GetKeyScreenRect(IndexOf(code)); }
    CPoint Centre(unsigned code) { return ClientRect(code).CenterPoint(); }
    // What a notification of the view reads like in the dialog's log.
    static std::string Notice(unsigned code, int index, unsigned long key)
    {
        return std::to_string(kViewId) + ":" + std::to_string(code) + ":" +
               std::to_string(static_cast<unsigned>(index)) + ":" + std::to_string(key);
    }
    std::vector<unsigned long> Checked()
    {
        std::vector<unsigned long> keys;
        for (const KEY_INFO* item : view->GetKeyItems()) {
            if (item->checked)
                keys.push_back(item->keyValue);
        }
        return keys;
    }
    void Drag(CPoint from, std::initializer_list<CPoint> through, int button = kButtonLeft)
    {
        Backend().GetVirtualClock().Advance(1000);
        Move(from);
        Backend().Press(hwnd, button, from);
        Run();
        for (CPoint p : through)
            Move(p);
        Backend().Release(hwnd, button, *(through.end() - 1));
        Run();
    }
    // The picture's own pixel under a client point.
    static ARGB PicturePixel(CPoint client)
    {
        static const ImagePtr picture =
            Image::FromFile((BuildBinDir() / "skins/theme1/keyboard/z5_wireless.png").string());
        return picture ? picture->Frame(0).Pixel(client.x - kToClient.x, client.y - kToClient.y) : 0;
    }

    KeyboardCtrl* view = nullptr;
};

// --- Items ---

TEST_F(KeyboardViewTest, ItemsKeepTheirIndexTheirCountAndTheRecordLayout)
{
    view = Make<KeyboardCtrl>(L"KeyboardCtrl", kViewId, kViewRect);
    EXPECT_EQ(view->AddKeyItem(L"Esc", L"Escape", kEsc, CRect(12, 12, 48, 48), L""), 0);
    EXPECT_EQ(view->AddKeyItem(L"F1", L"F1", kF1, CRect(92, 12, 128, 48), L"icon//icon_pc.png"), 1);
    EXPECT_EQ(view->AddKeyItem(L"Q", L"Letter Q", kQ, CRect(72, 112, 108, 148), L"icon//missing.png"), 2);

    const std::vector<KEY_INFO*> items = view->GetKeyItems();
    ASSERT_EQ(items.size(), 3u);
    const KEY_INFO& esc = *items[0];
    EXPECT_EQ(esc.index, 0);
    EXPECT_EQ(esc.keyValue, kEsc);
    EXPECT_EQ(esc.name, L"Esc");
    EXPECT_EQ(esc.text, L"Escape");
    EXPECT_TRUE(esc.tip1.empty() && esc.tip2.empty());
    EXPECT_EQ(esc.rect, CRect(12, 12, 48, 48));
    EXPECT_EQ(esc.checked, 0);
    EXPECT_EQ(esc.colour, 0x0000E1FFu);
    EXPECT_EQ(esc.icon, nullptr);
    // An icon keeps its natural size; a missing one leaves the key without.
    ASSERT_NE(items[1]->icon, nullptr);
    EXPECT_EQ(CSize(items[1]->iconWidth, items[1]->iconHeight), CSize(20, 20));
    EXPECT_EQ(items[2]->icon, nullptr);

    // The program reads the records directly: the fields lie in this order.
    auto at = [&](const auto& field) { return reinterpret_cast<const char*>(&field); };
    const std::vector<const char*> order = {
        at(esc.index), at(esc.keyValue), at(esc.name),   at(esc.text), at(esc.tip1),      at(esc.tip2),
        at(esc.rect),  at(esc.checked),  at(esc.colour), at(esc.icon), at(esc.iconWidth), at(esc.iconHeight)};
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));

    // Cleared, the list starts again at index 0 while the count of added items goes on.
    view->ClearItem();
    EXPECT_TRUE(view->GetKeyItems().empty());
    EXPECT_EQ(view->AddKeyItem(L"A", L"Letter A", kA, CRect(82, 152, 118, 188), L""), 0);
    EXPECT_EQ(view->GetItemCount(), 4);
}

TEST_F(KeyboardViewTest, IsMadeByNameInAWindowAndInAPanel)
{
    EXPECT_NE(Make<KeyboardCtrl>(L"KeyboardCtrl", 1, kViewRect), nullptr);
    auto* panel = dialog.Add<MPanel>(2u, CRect(0, 0, 400, 300), 1);
    EXPECT_NE(dynamic_cast<KeyboardCtrl*>(
                  panel->CreateControl(L"KeyboardCtrl", 3, CRect(0, 0, 300, 100), L"", 1, 1)),
              nullptr);
    EXPECT_EQ(dialog.CreateControl(L"keyboardCtrl", 4, kViewRect, L"", 1, 1), nullptr);
}

TEST_F(KeyboardViewTest, ThePictureIsCentredOnceTheViewIsPlaced)
{
    view = Make<KeyboardCtrl>(L"KeyboardCtrl", kViewId, CRect());
    view->AddKeyItem(L"Esc", L"Escape", kEsc, CRect(12, 12, 48, 48), L"");
    EXPECT_EQ(view->GetViewOffset(), CPoint(6, 6));
    // Without a rectangle the size is only kept ...
    view->SetWidthAndHeight(940, 280);
    EXPECT_EQ(view->GetViewOffset(), CPoint(6, 6));
    // ... and the placement centres the picture across the view, at its top.
    view->SetRect(kViewRect);
    EXPECT_EQ(view->GetViewOffset(), CPoint(10, 0));
    EXPECT_EQ(view->GetKeyScreenRect(0), CRect(42, 52, 78, 88));
    view->SetRect(CRect(0, 0, 901, 300));
    EXPECT_EQ(view->GetViewOffset(), CPoint(-19, 0));
    EXPECT_EQ(view->GetScale(), 1.0);
}

// --- Hit testing and selection ---

TEST_F(KeyboardViewTest, AClickSelectsTheKeyUnderItAndAGapSelectsNothing)
{
    MakeView(KeyboardCtrl::kModeAssign);
    const CRect esc = ClientRectOf(LayoutRectOf(kEsc));
    const CRect f1 = ClientRectOf(LayoutRectOf(kF1));
    ASSERT_EQ(esc, CRect(42, 52, 78, 88));
    struct Case {
        CPoint point;
        unsigned key; // 0: no key
    };
    const Case cases[] = {
        {esc.TopLeft(), kEsc},
        {{esc.right - 1, esc.bottom - 1}, kEsc},
        {{esc.right, esc.top + 10}, 0},    // the right edge belongs to the gap
        {{esc.left + 10, esc.bottom}, 0},  // and so does the bottom edge
        {{esc.left - 1, esc.top + 10}, 0}, // left of the first key, still on the view
        {{f1.left, f1.top + 10}, kF1},
        {{f1.left - 1, f1.top + 10}, 0},
        {{kViewRect.left + 2, kViewRect.bottom - 2}, 0}, // the view below the picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.point.x) + "," + std::to_string(c.point.y));
        ClickAt(c.point);
        const int index = c.key ? IndexOf(c.key) : -1;
        EXPECT_EQ(view->HitTest(c.point), index);
        EXPECT_EQ(Heard(), std::vector<std::string>{Notice(2, index, c.key)});
        EXPECT_EQ(view->GetSelectItem(), index);
        EXPECT_EQ(view->GetCurrentKeyValue(), static_cast<int>(c.key));
    }
}

TEST_F(KeyboardViewTest, RightClicksReleasesOutsideAndADisabledView)
{
    MakeView(KeyboardCtrl::kModeAssign);
    // A right click selects and reports with its own code.
    Move(Centre(kQ));
    Backend().Click(hwnd, Centre(kQ), kButtonRight);
    Run();
    EXPECT_EQ(Heard(), std::vector<std::string>{Notice(5, IndexOf(kQ), kQ)});
    EXPECT_EQ(view->GetSelectItem(), IndexOf(kQ));
    EXPECT_EQ(view->GetCurrentKeyValue(), static_cast<int>(kQ));

    // Pressed on a key and released off the view: no click.
    Press(Centre(kW));
    Release({kViewRect.right + 5, 20});
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(view->GetSelectItem(), IndexOf(kW));

    // Disabled, the view ignores the mouse.
    view->SetEnabled(0);
    Move(Centre(kE));
    ClickAt(Centre(kE));
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(view->GetHoverItem(), IndexOf(kW));
}

// --- Frame selection ---

TEST_F(KeyboardViewTest, AFrameChecksTheKeysItMeetsAndReplacesTheSelection)
{
    MakeView(KeyboardCtrl::kModeAssign);
    view->EnableFrameSelect(1);
    view->SetKeyCheck(kTab, 1);
    const CPoint start = Centre(kQ); // (120, 170)
    Backend().GetVirtualClock().Advance(1000);
    Move(start);
    Backend().Press(hwnd, kButtonLeft, start);
    Run();
    // Exactly 20 pixels across (and less down) is not yet a move.
    Move(start + CPoint(20, 10));
    EXPECT_FALSE(view->IsFrameDragging());
    EXPECT_EQ(Checked(), std::vector<unsigned long>({kTab}));
    // (120, 170)-(200, 210) meets Q, W, E, A, S and D.
    Move({200, 210});
    EXPECT_TRUE(view->IsFrameDragging());
    EXPECT_EQ(Checked(), std::vector<unsigned long>({kQ, kW, kE, kA, kS, kD}));
    // 21 pixels up: the frame shrinks to the Q-W-E row and the selection with it.
    Move({200, 189});
    EXPECT_EQ(Checked(), std::vector<unsigned long>({kQ, kW, kE}));
    // The dotted frame shows over the view while dragging (a dash starts 40 pixels along its top).
    EXPECT_EQ(PixelAt({160, 170}) & 0x00FFFFFF, 0x440062u);
    Backend().Release(hwnd, kButtonLeft, {200, 189});
    Run();
    // The release is an ordinary click of the key pressed on.
    EXPECT_EQ(Heard(), std::vector<std::string>{Notice(2, IndexOf(kQ), kQ)});
    EXPECT_FALSE(view->IsFrameDragging());
    EXPECT_EQ(view->GetCheckItemCount(), 3);

    // A frame under 6 pixels high is empty: nothing stays checked.
    Drag(start, {start + CPoint(40, 3)});
    EXPECT_TRUE(Checked().empty());
    Heard();

    // Dragged with the right button, the release says the frame is done instead of a right click.
    Drag(start, {{200, 189}}, kButtonRight);
    EXPECT_EQ(Heard(), std::vector<std::string>{std::to_string(kViewId) + ":24:0:0"});
    EXPECT_EQ(Checked(), std::vector<unsigned long>({kQ, kW, kE}));

    // Frame selection off: a drag checks nothing.
    view->ResetAllItemCheck();
    view->EnableFrameSelect(0);
    Drag(start, {{200, 210}});
    EXPECT_TRUE(Checked().empty());
}

// --- Marks and colours ---

TEST_F(KeyboardViewTest, PerKeyOperationsActOnTheFirstKeyOfAValueOnly)
{
    view = Make<KeyboardCtrl>(L"KeyboardCtrl", kViewId, kViewRect);
    view->AddKeyItem(L"A", L"Letter A", kA, CRect(82, 152, 118, 188), L"");
    view->AddKeyItem(L"A", L"Letter A again", kA, CRect(122, 152, 158, 188), L"");
    view->AddKeyItem(L"S", L"Letter S", kS, CRect(162, 152, 198, 188), L"");
    const std::vector<KEY_INFO*> items = view->GetKeyItems();

    view->SetKeyColor(kA, 0x123456);
    view->SetKeyCheck(kA, 1);
    view->SetTipKey(kA, L"Assigned", L"Macro 1");
    view->SetKeyDesc(kA, L"Alpha");
    EXPECT_EQ(view->GetKeyColor(kA), 0x123456u);
    EXPECT_EQ(items[0]->colour, 0x123456u);
    EXPECT_EQ(items[0]->checked, 1);
    EXPECT_EQ(items[0]->tip1, L"Assigned");
    EXPECT_EQ(items[0]->name, L"Alpha");
    EXPECT_EQ(items[0]->text, L"Alpha");
    EXPECT_EQ(items[1]->colour, KeyboardCtrl::kDefaultKeyColour);
    EXPECT_EQ(items[1]->checked, 0);
    EXPECT_TRUE(items[1]->tip1.empty());
    EXPECT_EQ(items[1]->name, L"A");

    // A key value the view does not have changes nothing and reads colour 0.
    view->SetKeyColor(0xFE, 0x00FF00);
    view->SetKeyCheck(0xFE, 1);
    EXPECT_EQ(view->GetKeyColor(0xFE), 0u);
    EXPECT_EQ(view->GetCheckItemCount(), 1);
    for (const KEY_INFO* item : items)
        EXPECT_NE(item->colour, 0x00FF00u);

    view->ResetTipKey();
    EXPECT_TRUE(items[0]->tip1.empty() && items[0]->tip2.empty());
}

TEST_F(KeyboardViewTest, WholeViewColourAndMarkOperations)
{
    MakeView(KeyboardCtrl::kModePaint);
    auto colours = [&] {
        std::set<COLORREF> seen;
        for (const KEY_INFO* item : view->GetKeyItems())
            seen.insert(item->colour);
        return seen;
    };
    view->SetLightModeColor(1, 0x0000FF);
    EXPECT_EQ(colours(), std::set<COLORREF>{0xFFFFFF});
    view->SetLightModeColor(0, 0x0000FF);
    EXPECT_EQ(colours(), std::set<COLORREF>{0x0000FF});

    // Checked keys and the selected key take the colour.
    view->SetKeyCheck(kQ, 1);
    view->SetKeyCheck(kW, 1);
    view->SetSelectItem(IndexOf(kE));
    view->SetAllSelectColor(0x00FF00);
    for (unsigned key : {kQ, kW, kE})
        EXPECT_EQ(view->GetKeyColor(key), 0x00FF00u);
    EXPECT_EQ(view->GetKeyColor(kA), 0x0000FFu);

    // Every key checked, the selection dropped.
    view->ResetAllItemCheck(1);
    EXPECT_EQ(view->GetCheckItemCount(), static_cast<int>(ShippedLayout().keys.size()));
    EXPECT_EQ(view->GetSelectItem(), -1);
    view->ResetAllItemCheck();
    EXPECT_EQ(view->GetCheckItemCount(), 0);

    // The music level only recolours on a new value.
    view->SetMusicBrightness(255);
    EXPECT_EQ(view->GetKeyColor(kA), 0x0000FFu);
    view->SetMusicBrightness(100);
    EXPECT_EQ(colours(), std::set<COLORREF>{KeyboardCtrl::kMusicColour});
}

TEST_F(KeyboardViewTest, PaintingClicksToggleBetweenThePaintColourAndNothing)
{
    MakeView(KeyboardCtrl::kModePaint);
    view->SetKeyColor(kEsc, 0x00FF00);
    view->SetCustomColor(0x0000FF);
    ClickAt(Centre(kEsc));
    EXPECT_EQ(view->GetKeyColor(kEsc), 0x0000FFu);
    EXPECT_EQ(PixelAt(TopMiddle(ClientRect(kEsc))), 0xFFFF0000u);
    // The second click clears the key rather than bringing its earlier colour back.
    ClickAt(Centre(kEsc));
    EXPECT_EQ(view->GetKeyColor(kEsc), 0u);
    EXPECT_EQ(PixelAt(TopMiddle(ClientRect(kEsc))), 0xFF000000u);
    EXPECT_EQ(Heard(), std::vector<std::string>(2, Notice(2, IndexOf(kEsc), kEsc)));

    // Other modes select without painting.
    view->SetKeyboardCtrlMode(KeyboardCtrl::kModeMusic);
    ClickAt(Centre(kEsc));
    EXPECT_EQ(view->GetKeyColor(kEsc), 0u);
}

// --- Drawing ---

TEST_F(KeyboardViewTest, EachModeDrawsItsKeys)
{
    MakeView(KeyboardCtrl::kModeBlocks);
    const CRect esc = ClientRect(kEsc);
    const CRect q = ClientRect(kQ);
    const CPoint gap(esc.right + 2, esc.top + 10);
    const ARGB background = PixelAt({kViewRect.left + 1, kViewRect.bottom - 1});

    // Blocks: no picture, every key filled inside a 1-pixel rim, its label on it.
    EXPECT_EQ(PixelAt({esc.left + 2, esc.top + 2}), KeyboardCtrl::kBlockColour);
    EXPECT_EQ(PixelAt(esc.TopLeft()), background);
    EXPECT_EQ(PixelAt(gap), background);
    int light = 0;
    for (int x = esc.left; x < esc.right; ++x)
        light += (PixelAt({x, esc.CenterPoint().y}) & 0xFF) > 0xC0 ? 1 : 0;
    EXPECT_GT(light, 0) << "no label across the key";

    // Assignment view: the picture, and red outlines around checked, hovered and selected keys only.
    view->SetKeyboardCtrlMode(KeyboardCtrl::kModeAssign);
    view->SetKeyCheck(kEsc, 1);
    Run();
    EXPECT_EQ(PixelAt(esc.CenterPoint()), PicturePixel(esc.CenterPoint()));
    EXPECT_EQ(PixelAt(gap), PicturePixel(gap));
    EXPECT_EQ(PixelAt(TopMiddle(esc)), KeyboardCtrl::kMarkColour);
    EXPECT_EQ(PixelAt(TopMiddle(q)), PicturePixel(TopMiddle(q)));
    Move(q.CenterPoint());
    EXPECT_EQ(PixelAt(TopMiddle(q)), KeyboardCtrl::kMarkColour);
    Move(gap);
    EXPECT_EQ(PixelAt(TopMiddle(q)), PicturePixel(TopMiddle(q)));

    // Lighting preview: each key's outline takes its alpha from the frame.
    std::vector<unsigned char> frame(ShippedLayout().keys.size(), 0);
    frame[static_cast<size_t>(IndexOf(kEsc))] = 255;
    view->SetLightModeData(frame.data(), static_cast<int>(frame.size()));
    view->SetKeyboardCtrlMode(KeyboardCtrl::kModeLightPreview);
    Run();
    EXPECT_EQ(PixelAt(TopMiddle(esc)), 0xFF440062u);
    EXPECT_EQ(PixelAt(TopMiddle(q)), PicturePixel(TopMiddle(q)));
    EXPECT_EQ(PixelAt(esc.CenterPoint()), PicturePixel(esc.CenterPoint()));
    // Without data every outline is opaque.
    view->SetLightModeData(nullptr, 0);
    Run();
    EXPECT_EQ(PixelAt(TopMiddle(q)), 0xFF440062u);

    // Painting and music: every key outlined in its own colour.
    for (int mode : {KeyboardCtrl::kModePaint, KeyboardCtrl::kModeMusic}) {
        SCOPED_TRACE(mode);
        view->SetKeyboardCtrlMode(mode);
        view->SetKeyColor(kEsc, RGB(0x10, 0x20, 0x30));
        view->SetKeyColor(kQ, RGB(0xF0, 0x80, 0x00));
        Run();
        EXPECT_EQ(PixelAt(TopMiddle(esc)), 0xFF102030u);
        EXPECT_EQ(PixelAt(TopMiddle(q)), 0xFFF08000u);
        EXPECT_EQ(PixelAt(q.CenterPoint()), PicturePixel(q.CenterPoint()));
    }

    // Any other mode draws nothing but what lies under the view.
    view->SetKeyboardCtrlMode(105);
    Run();
    EXPECT_EQ(PixelAt(esc.CenterPoint()), background);
    EXPECT_EQ(PixelAt(TopMiddle(q)), background);
}

TEST_F(KeyboardViewTest, WithoutAPictureThePictureModesDrawNoKeys)
{
    MakeView(KeyboardCtrl::kModeMusic);
    const ARGB background = PixelAt({kViewRect.left + 1, kViewRect.bottom - 1});
    view->SetKeyboardImage(L"keyboard\\missing.png");
    Run();
    EXPECT_FALSE(view->HasKeyboardImage());
    EXPECT_EQ(PixelAt(TopMiddle(ClientRect(kEsc))), background);
    EXPECT_EQ(PixelAt(ClientRect(kQ).CenterPoint()), background);
}

TEST_F(KeyboardViewTest, ABlockWithAnIconShowsItUnderItsName)
{
    view = Make<KeyboardCtrl>(L"KeyboardCtrl", kViewId, kViewRect);
    view->AddKeyItem(L"PC", L"My computer", 0xF0, CRect(0, 0, 60, 60), L"icon//icon_pc.png");
    view->AddKeyItem(L"", L"My computer", 0xF1, CRect(100, 0, 160, 60), L"icon//icon_pc.png");
    Run();
    const ImagePtr icon = Image::FromFile((BuildBinDir() / "skins/theme1/icon/icon_pc.png").string());
    ASSERT_NE(icon, nullptr);
    // The icon's most opaque pixel, where the view should show it unchanged.
    CPoint solid;
    for (int y = 0; y < icon->Height(); ++y) {
        for (int x = 0; x < icon->Width(); ++x) {
            if ((icon->Frame(0).Pixel(x, y) >> 24) > (icon->Frame(0).Pixel(solid.x, solid.y) >> 24))
                solid = {x, y};
        }
    }
    ASSERT_EQ(icon->Frame(0).Pixel(solid.x, solid.y) >> 24, 0xFFu);
    const ARGB expected = icon->Frame(0).Pixel(solid.x, solid.y);
    // With a name: centred across, its top 20 pixels above the key's bottom.
    const CRect named = view->GetKeyScreenRect(0);
    EXPECT_EQ(PixelAt({named.left + 20 + solid.x, named.bottom - 20 + solid.y}), expected);
    // Without a name: centred both ways.
    const CRect bare = view->GetKeyScreenRect(1);
    EXPECT_EQ(PixelAt({bare.left + 20 + solid.x, bare.top + 20 + solid.y}), expected);
}

TEST_F(KeyboardViewTest, OneKeysColourRepaintsThatKeyAlone)
{
    MakeView(KeyboardCtrl::kModePaint);
    const CRect esc = ClientRect(kEsc);
    view->SetKeyColor(kEsc, RGB(0, 0xFF, 0));
    CRect update;
    ASSERT_TRUE(WindowSystem::GetUpdateRect(hwnd, &update, FALSE));
    CRect expected = esc;
    expected.InflateRect(KeyboardCtrl::kKeyMargin, KeyboardCtrl::kKeyMargin);
    EXPECT_EQ(update, expected);
    Run();
    EXPECT_EQ(PixelAt(TopMiddle(esc)), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(TopMiddle(ClientRect(kF1))), ColorRefToARGB(KeyboardCtrl::kDefaultKeyColour));

    // What the partial redraw left is what a full redraw draws.
    const Surface before = [&] {
        Surface copy(Shown().image.Width(), Shown().image.Height());
        copy.CopyFrom(Shown().image, copy.Bounds());
        return copy;
    }();
    view->UpdateControl(1, 1);
    Run();
    for (int y = kViewRect.top; y < kViewRect.bottom; ++y) {
        for (int x = kViewRect.left; x < kViewRect.right; ++x)
            ASSERT_EQ(PixelAt({x, y}), before.Pixel(x, y)) << x << "," << y;
    }

    // A colour that does not change, and a key the view does not have, ask for nothing.
    view->SetKeyColor(kEsc, RGB(0, 0xFF, 0));
    view->SetKeyColor(0xFE, RGB(0, 0, 0xFF));
    EXPECT_FALSE(WindowSystem::GetUpdateRect(hwnd, &update, FALSE));
}

// --- Lighting preview ---

TEST_F(KeyboardViewTest, TheLightingPreviewStepsThroughItsFramesAtTheChosenSpeed)
{
    MakeView(KeyboardCtrl::kModeLightPreview);
    dialog.SetMTimer(10);
    const size_t keys = ShippedLayout().keys.size();
    const size_t esc = static_cast<size_t>(IndexOf(kEsc));
    // Three frames and some trailing bytes; Esc lit in frame 1 only.
    std::vector<unsigned char> data(3 * keys + keys / 2, 0);
    data[keys + esc] = 255;
    view->SetLightSpeed(2);
    EXPECT_EQ(view->GetTicksPerFrame(), 3);
    view->SetLightModeData(data.data(), static_cast<int>(data.size()));
    EXPECT_EQ(view->GetLightFrameCount(), 3);
    EXPECT_TRUE(view->IsRunTimer());
    Run();
    const CPoint edge = TopMiddle(ClientRect(kEsc));
    EXPECT_EQ(PixelAt(edge), PicturePixel(edge));

    Backend().RunFor(29);
    EXPECT_EQ(view->GetLightFrameIndex(), 0);
    Backend().RunFor(1);
    EXPECT_EQ(view->GetLightFrameIndex(), 1);
    Run();
    EXPECT_EQ(PixelAt(edge), 0xFF440062u);
    Backend().RunFor(60);
    EXPECT_EQ(view->GetLightFrameIndex(), 0) << "wraps after the last whole frame";

    // Cleared, or in another mode, the view wants no ticks and the window's tick sleeps.
    view->SetKeyboardCtrlMode(KeyboardCtrl::kModeAssign);
    EXPECT_FALSE(view->IsRunTimer());
    EXPECT_FALSE(Manager().IsMTimerRunning());
    view->SetKeyboardCtrlMode(KeyboardCtrl::kModeLightPreview);
    EXPECT_TRUE(view->IsRunTimer());
    view->SetLightModeData(data.data(), -1);
    EXPECT_EQ(view->GetLightFrameCount(), 0);
    EXPECT_FALSE(view->IsRunTimer());

    struct Speed {
        int speed, ticks;
    };
    for (const Speed s : {Speed{0, 5}, {1, 4}, {3, 2}, {4, 1}, {-1, 1}}) {
        view->SetLightSpeed(s.speed);
        EXPECT_EQ(view->GetTicksPerFrame(), s.ticks) << s.speed;
    }

    // Data for a view without keys cannot be cut into frames.
    view->ClearItem();
    view->SetLightModeData(data.data(), static_cast<int>(data.size()));
    EXPECT_EQ(view->GetLightFrameCount(), 0);
}

// --- Tips ---

TEST_F(KeyboardViewTest, HoveringAKeyShowsItsTipAboveIt)
{
    MakeView(KeyboardCtrl::kModeAssign);
    view->SetTitle(L"Custom keys");
    view->EnableKBTips(true);
    const CRect esc = ClientRect(kEsc);

    // The first move over a key makes it the hovered key; the next one inside shows its tip.
    Move(esc.CenterPoint());
    EXPECT_EQ(view->GetHoverItem(), IndexOf(kEsc));
    EXPECT_TRUE(view->GetTipWindow() == nullptr || !view->GetTipWindow()->IsWindowVisible());
    Move(esc.CenterPoint() + CPoint(1, 0));
    CKeyboardTips* tip = view->GetTipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsWindowVisible());
    // Without tip lines: the key's text, the view's title, the key's text.
    EXPECT_EQ(tip->GetTitle(), L"Escape");
    EXPECT_EQ(tip->GetLine1(), L"Custom keys");
    EXPECT_EQ(tip->GetLine2(), L"Escape");
    // Anchored at the middle of the key's top edge, on the screen (the dialog's client starts at 100, 100).
    EXPECT_EQ(tip->GetAnchor(), CPoint(100 + (esc.left + esc.right) / 2, 100 + esc.top));
    CRect placed;
    tip->GetWindowRect(&placed);
    EXPECT_EQ(placed, CRect(CPoint(tip->GetAnchor().x - 95, tip->GetAnchor().y - 100), CSize(190, 100)));
    // A popup of the view's window that never takes the activation or the pointer.
    const HeadlessWindow* native = Backend().Window(tip->GetSafeHwnd());
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(native->traits.kind, NativeKind::Popup);
    EXPECT_TRUE(native->traits.pointerThrough);
    EXPECT_EQ(WindowSystem::GetWindow(tip->GetSafeHwnd(), GW_OWNER), hwnd);
    EXPECT_EQ(WindowSystem::GetActiveWindow(), hwnd);

    // With tip lines, those show under the key's text.
    view->SetTipKey(kEsc, L"Macro", L"Macro 1");
    Move(esc.CenterPoint() + CPoint(2, 0));
    EXPECT_EQ(tip->GetLine1(), L"Macro");
    EXPECT_EQ(tip->GetLine2(), L"Macro 1");

    // Off the key, off the view, tips switched off: hidden.
    Move({esc.right + 1, esc.top + 5});
    EXPECT_FALSE(tip->IsWindowVisible());
    Move(esc.CenterPoint());
    Move(esc.CenterPoint() + CPoint(1, 1));
    EXPECT_TRUE(tip->IsWindowVisible());
    Move({5, 5});
    EXPECT_FALSE(tip->IsWindowVisible());
    view->EnableKBTips(false);
    Move(esc.CenterPoint());
    Move(esc.CenterPoint() + CPoint(1, 1));
    EXPECT_FALSE(tip->IsWindowVisible());
}

TEST_F(KeyboardViewTest, ATipGoesAwayWithThePageOfItsView)
{
    auto* page = dialog.Add<MPanel>(5u, CRect(0, 0, 1000, 360), 1);
    view = static_cast<KeyboardCtrl*>(page->CreateControl(L"KeyboardCtrl", kViewId, kViewRect, L"", 1, 1));
    ASSERT_NE(view, nullptr);
    view->EnableKBTips(true);
    view->AddKeyItem(L"Esc", L"Escape", kEsc, CRect(12, 12, 48, 48), L"");
    const CPoint esc = view->GetKeyScreenRect(0).CenterPoint();
    Move(esc);
    Move(esc + CPoint(1, 1));
    ASSERT_NE(view->GetTipWindow(), nullptr);
    ASSERT_TRUE(view->GetTipWindow()->IsWindowVisible());
    // The page is switched away under the resting pointer: the view hears no move, yet its tip goes.
    page->SetVisible(0);
    Run();
    EXPECT_FALSE(view->GetTipWindow()->IsWindowVisible());
}

} // namespace
