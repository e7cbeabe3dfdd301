// The device list, the battery gauge, the update button's badge and the DPI levels on the headless
// backend, and where each keyboard control may be made by name.

#include <functional>
#include <gtest/gtest.h>

#include "tests/ui/controls_fixture.h"
#include "ui/framework/m_panel.h"
#include "ui/keyboard/battery_ctrl.h"
#include "ui/keyboard/c_color_button.h"
#include "ui/keyboard/c_color_palette.h"
#include "ui/keyboard/c_color_select.h"
#include "ui/keyboard/c_device_ctrl.h"
#include "ui/keyboard/circle_palette.h"
#include "ui/keyboard/d_list_box.h"
#include "ui/keyboard/dpi_control.h"
#include "ui/keyboard/m_palette.h"
#include "ui/keyboard/upgrade_button.h"

namespace {

using DeviceControlsTest = ControlsFixture;

template <class T> bool Is(MControl* c)
{
    return dynamic_cast<T*>(c) != nullptr;
}

TEST_F(DeviceControlsTest, TheKeyboardControlsAreMadeByNameWhereTheyMayBe)
{
    struct Case {
        const wchar_t* name;
        bool byWindow;
        bool byPanel;
        std::function<bool(MControl*)> right;
    };
    const Case cases[] = {
        {L"CirclePalette", true, true, &Is<CirclePalette>},
        {L"CColorButton", true, true, &Is<CColorButton>},
        {L"MPalette", true, true, &Is<MPalette>},
        {L"CColorPalette", true, true, &Is<CColorPalette>},
        {L"CColorSelect", true, true, &Is<CColorSelect>},
        {L"CDeviceCtrl", true, true, &Is<CDeviceCtrl>},
        {L"BatteryCtrl", true, false, &Is<BatteryCtrl>},
        {L"DListBox", false, true, &Is<DListBox>},
        {L"UpgradeButton", false, true, &Is<UpgradeButton>},
    };
    auto* panel = dialog.Add<MPanel>(500u, CRect(0, 0, 400, 300), 1);
    unsigned id = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        MControl* inWindow = dialog.CreateControl(c.name, ++id, CRect(10, 10, 200, 100), L"", 1, 0);
        MControl* inPanel = panel->CreateControl(c.name, ++id, CRect(10, 10, 200, 100), L"", 1, 0);
        EXPECT_EQ(inWindow != nullptr, c.byWindow);
        EXPECT_EQ(inPanel != nullptr, c.byPanel);
        for (MControl* made : {inWindow, inPanel}) {
            if (made) {
                EXPECT_TRUE(c.right(made));
            }
        }
    }
    // The second flag: enabled for the swatch, ignored (always enabled) for the wheel and the device list.
    EXPECT_EQ(dialog.CreateControl(L"CColorButton", 200, CRect(), L"", 1, 0)->IsEnabled(), 0);
    EXPECT_EQ(dialog.CreateControl(L"CirclePalette", 201, CRect(), L"", 1, 0)->IsEnabled(), 1);
    EXPECT_EQ(dialog.CreateControl(L"CDeviceCtrl", 202, CRect(), L"", 1, 0)->IsEnabled(), 1);
}

TEST_F(DeviceControlsTest, TheDeviceListShowsConnectedModelsFirstAndListedOnesOnlyBesideThem)
{
    auto* devices = Make<CDeviceCtrl>(L"CDeviceCtrl", 56, CRect(10, 10, 382, 250));
    devices->AddDevice(L"Z5 Wireless", 0x1209, 1, 201, true);
    devices->AddDevice(L"Z5 TKL", 0x1209, 2, 101, true);
    devices->AddDevice(L"Z5 Mini", 0x1209, 3, 202, false);
    Run();
    const ARGB background = PixelAt({196, 270});
    auto nothingShown = [&] {
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(devices->GetDeviceRect(i).IsRectEmpty()) << i;
        EXPECT_EQ(PixelAt({196, 29}), background);
        EXPECT_EQ(PixelAt({196, 79}), background);
    };
    // Listed models are not shown while none is connected.
    EXPECT_EQ(devices->GetConnectCount(), 0);
    EXPECT_EQ(devices->GetCurDeviceType(), 0);
    nothingShown();

    devices->SetDeviceState(101, CDeviceCtrl::kConnected);
    Run();
    EXPECT_EQ(devices->GetConnectCount(), 1);
    EXPECT_EQ(devices->GetCurDeviceType(), 101);
    EXPECT_EQ(devices->GetDeviceRect(1), CRect(10, 10, 382, 48)) << "connected first";
    EXPECT_EQ(devices->GetDeviceRect(0), CRect(10, 60, 382, 98)) << "then the listed one, a row pitch lower";
    EXPECT_TRUE(devices->GetDeviceRect(2).IsRectEmpty());
    EXPECT_NE(PixelAt({196, 29}), background);
    EXPECT_NE(PixelAt({196, 79}), background);

    // A press on a shown row makes it current; between rows nothing happens.
    Heard();
    ClickAt({196, 79});
    EXPECT_EQ(Heard(), std::vector<std::string>{"56:1:0:0"});
    EXPECT_EQ(devices->GetCurDevice(), 0);
    EXPECT_EQ(devices->GetCurDeviceType(), 201);
    ClickAt({196, 54});
    EXPECT_TRUE(Heard().empty());

    // After a scan that finds nothing again, nothing is connected and nothing is shown.
    devices->ResetAllState();
    Run();
    EXPECT_EQ(devices->GetConnectCount(), 0);
    EXPECT_EQ(devices->GetCurDeviceType(), 0);
    nothingShown();
    devices->SetDeviceState(999, CDeviceCtrl::kConnected);
    EXPECT_EQ(devices->GetConnectCount(), 0);
    devices->SetDeviceState(202, CDeviceCtrl::kConnected);
    EXPECT_EQ(devices->GetCurDeviceType(), 202);
    devices->ClearList();
    EXPECT_EQ(devices->GetDeviceCount(), 0);
    EXPECT_EQ(devices->GetCurDevice(), -1);
    EXPECT_EQ(devices->GetCurDeviceType(), 0);
}

TEST_F(DeviceControlsTest, TheUpdateBadgeShowsInEveryStateOfTheButton)
{
    auto* panel = dialog.Add<MPanel>(50u, CRect(0, 0, 400, 300), 1);
    auto* button = static_cast<UpgradeButton*>(
        panel->CreateControl(L"UpgradeButton", 244, CRect(100, 100, 310, 138), L"Software update", 1, 1));
    ASSERT_NE(button, nullptr);
    Run();
    // Left of the "1" on the disc at the top-right corner.
    const CPoint onBadge(297, 108);
    auto badge = [&] { return PixelAt(onBadge) == UpgradeButton::kBadgeColor; };
    EXPECT_FALSE(badge());
    button->SetUpgradeStatus(1);
    Run();
    EXPECT_TRUE(badge()) << "normal";
    Move({200, 120});
    EXPECT_EQ(button->GetState(), 1);
    EXPECT_TRUE(badge()) << "hovered";
    Heard();
    Press({200, 120});
    EXPECT_EQ(button->GetState(), 2);
    EXPECT_TRUE(badge()) << "pressed";
    Release({200, 120});
    EXPECT_EQ(Heard(), (std::vector<std::string>{"244:1:0:0", "244:2:0:0"}));
    button->SetEnabled(0);
    Run();
    EXPECT_EQ(button->GetState(), 3);
    EXPECT_TRUE(badge()) << "disabled";
    button->SetUpgradeStatus(0);
    Run();
    EXPECT_FALSE(badge());
}

TEST_F(DeviceControlsTest, TheBatteryShowsItsLevelOrThatItCharges)
{
    WriteSkin(folders, "bat/outline.png", SolidStrip({0xFF808080}, 40, 20));
    WriteSkin(folders, "bat/level.png", SolidStrip({0xFF00C000}, 40, 20));
    WriteSkin(folders, "bat/charge.png", SolidStrip({0xFF0000F0}, 10, 10));
    auto* battery = Make<BatteryCtrl>(L"BatteryCtrl", 46, CRect(10, 10, 110, 40));
    EXPECT_EQ(battery->SetImage(L"bat\\outline.png", 4), 1);
    EXPECT_EQ(battery->SetBatteryIcon(L"bat\\missing.png", L"bat\\charge.png"), 1)
        << "1 even when one is missing";
    EXPECT_EQ(battery->SetBatteryIcon(L"bat\\level.png", L"bat\\charge.png"), 1);
    EXPECT_EQ(battery->GetBatteryLevel(), 100);
    EXPECT_EQ(battery->GetTitle(), L"100%");

    battery->SetBatteryInfo(25, 0);
    Run();
    EXPECT_EQ(battery->GetTitle(), L"25%");
    EXPECT_EQ(PixelAt({12, 11}), 0xFF00C000u) << "the level's left quarter";
    EXPECT_EQ(PixelAt({46, 11}), 0xFF808080u) << "the outline past it";
    EXPECT_EQ(PixelAt({60, 25}), PixelAt({100, 35})) << "no charge icon";

    battery->SetBatteryInfo(25, 1);
    Run();
    EXPECT_EQ(PixelAt({12, 11}), 0xFF808080u) << "no level while charging";
    EXPECT_EQ(PixelAt({60, 25}), 0xFF0000F0u) << "the icon 5 pixels right of the outline, centred";
    EXPECT_EQ(battery->GetTitle(), L"25%");

    battery->SetBatteryInfo(180, 0);
    EXPECT_EQ(battery->GetBatteryLevel(), 100);
}

TEST_F(DeviceControlsTest, CheckedDpiLevelsAreExclusiveWithinTheirGroup)
{
    std::vector<DPIControl*> levels;
    const int dpis[] = {800, 1600, 3200};
    for (int i = 0; i < 3; ++i) {
        levels.push_back(dialog.Add<DPIControl>(300u + i, CRect(20, 20 + 40 * i, 180, 50 + 40 * i), 1));
        levels.back()->SetDPIValue(dpis[i]);
        levels.back()->SetGroupName(i < 2 ? L"dpi" : L"other");
        levels.back()->SetColor(0x00FF00);
    }
    EXPECT_EQ(levels[0]->GetClassNameW(), std::wstring(L"DPIControl"));
    levels[0]->SetCheck(1);
    levels[2]->SetCheck(1);
    Run();
    Heard();
    ClickAt({30, 75}); // the second level's box
    EXPECT_EQ(levels[1]->GetCheck(), 1);
    EXPECT_EQ(levels[0]->GetCheck(), 0);
    EXPECT_EQ(levels[2]->GetCheck(), 1) << "another group";
    EXPECT_EQ(Heard(), std::vector<std::string>{"301:2:1:1600"});
    ClickAt({30, 75}); // a checked level stays checked
    EXPECT_EQ(levels[1]->GetCheck(), 1);
    Heard();
    // The swatch speaks as the level itself.
    ClickAt({170, 35});
    EXPECT_EQ(Heard(), (std::vector<std::string>{"300:1:0:0", "300:2:0:0"}));
    EXPECT_EQ(levels[0]->GetColor(), 0x00FF00u);
}

} // namespace
