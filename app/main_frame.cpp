#include "app/main_frame.h"

#include <string>

#include "app/control_helpers.h"
#include "app/keyboard_dlg.h"
#include "app/language_text.h"
#include "app/main_window_ids.h"
#include "app/text_ids.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_picture.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/controls/m_text.h"
#include "ui/framework/c_area.h"
#include "ui/keyboard/battery_ctrl.h"

namespace {

constexpr COLORREF kFrameColour = 0xC8C8C8;
constexpr COLORREF kPanelColour = 0x646464;
constexpr ARGB kProductColour = 0xFFC8C8C8;
constexpr ARGB kTabTextColour = 0xFFADADAD;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr int kImageButtonFrames = 4;
constexpr int kTabIconFrames = 4;

struct TabEntry {
    unsigned itemId;
    int labelId;
    const wchar_t* icon;
    unsigned pageId;
};

// Insertion order = tab position.
constexpr TabEntry kTabs[] = {
    {TabItem::kHome, 50, L"icon\\tab_home.png", MainId::kHomePage},
    {TabItem::kCustomKey, 51, L"icon\\tab_customkey.png", MainId::kCustomKeyPage},
    {TabItem::kMacro, 52, L"icon\\tab_macro.png", MainId::kMacroPage},
    {TabItem::kLighting, 53, L"icon\\tab_light.png", MainId::kLightingPage},
    {TabItem::kSettings, 56, L"icon\\tab_config.png", MainId::kSettingsPage},
};

struct PageHeader {
    unsigned itemId;
    int titleId;
    const wchar_t* picture;
};

constexpr PageHeader kHeaders[] = {
    {TabItem::kCustomKey, 51, L"icon\\icon_keyboard.png"},
    {TabItem::kMacro, 52, L"icon\\icon_macro.png"},
    {TabItem::kLighting, 53, L"icon\\icon_lightmode.png"},
    {TabItem::kSettings, 56, L"icon\\icon_config.png"},
};

constexpr const wchar_t* kLastTabIndex = L"last_tab_index";

void Tint(CArea* area, COLORREF colour, int transparency)
{
    if (area)
        area->SetTransparent(transparency, transparency, colour);
}

void Picture(MPicture* picture, const wchar_t* file)
{
    if (picture)
        picture->SetImage(file, 1);
}

// A picture that is only decoration: it never becomes the hovered control, so the pointer reaches
// the buttons laid over it, and a press on it drags the window.
MPicture* Decoration(MDialog& window, unsigned id, const wchar_t* file)
{
    auto* picture = MakeControl<MPicture>(window, L"MPicture", id, L"", 1, 0);
    if (picture)
        picture->SetRresponse(0);
    Picture(picture, file);
    return picture;
}

void CaptionButton(CImageButton* button, const wchar_t* strip)
{
    if (button)
        button->SetImage(strip, kImageButtonFrames);
}

} // namespace

MainFrame::MainFrame(KeyboardDlg& window) : m_window(window)
{
    const int stored = window.Settings().ReadRegInt(kLastTabIndex);
    if (stored > 0) {
        m_currentTab = stored;
    } else {
        m_currentTab = 1;
        window.Settings().WriteRegString(kLastTabIndex, L"1");
    }
}

MControl* MainFrame::Control(unsigned id) const
{
    return m_window.GetControl(id);
}

MPanel* MainFrame::PageLayout(unsigned pageId) const
{
    return dynamic_cast<MPanel*>(Control(pageId));
}

MTabCtrl* MainFrame::TabBar() const
{
    return dynamic_cast<MTabCtrl*>(Control(MainId::kTabBar));
}

void MainFrame::Build(const CRect& /*client*/)
{
    MDialog& w = m_window;
    Decoration(w, MainId::kBackground, L"main_bkg.png");
    for (unsigned id : {MainId::kFrameLeft, MainId::kFrameTop, MainId::kFrameRight, MainId::kFrameBottom})
        Tint(MakeControl<CArea>(w, L"CArea", id), kFrameColour, 50);
    Tint(MakeControl<CArea>(w, L"CArea", MainId::kShade), kPanelColour, 40);
    Decoration(w, MainId::kCaption, L"pic_caption.png");
    Decoration(w, MainId::kLogo, L"logo\\logo.png");
    Decoration(w, MainId::kPagePicture, L"logo\\logo.png");
    StyleText(MakeControl<MText>(w, L"MText", MainId::kProduct, L"Corvid Z5"), kProductColour, 20,
              FontStyleBold, 1);
    StyleText(MakeControl<MText>(w, L"MText", MainId::kPageTitle), kWhite, 22, FontStyleRegular, 0);
    // The keyboard reports no battery level, so the gauge keeps its full default. Like the connection
    // picture (one picture for every connection) it has no place on screen.
    if (auto* battery = MakeControl<BatteryCtrl>(w, L"BatteryCtrl", MainId::kBattery)) {
        battery->SetImage(L"icon\\icon_battery_bkg.png", 1);
        battery->SetBatteryIcon(L"icon\\icon_batteryvalue.png", L"icon\\icon_charge.png");
    }
    Decoration(w, MainId::kConnectionMode, L"icon\\mode_usb.png");
    CaptionButton(MakeControl<CImageButton>(w, L"CImageButton", MainId::kClose), L"main_sysbtn_close.png");
    CaptionButton(MakeControl<CImageButton>(w, L"CImageButton", MainId::kMinimize), L"main_sysbtn_min.png");
    CaptionButton(MakeControl<CImageButton>(w, L"CImageButton", MainId::kWebsite),
                  L"main_sysbtn_website.png");

    for (unsigned id = MainId::kHomePage; id <= MainId::kSettingsPage; ++id)
        MakeControl<MPanel>(w, L"MTabLayout", id, L"", id == MainId::kHomePage ? 1 : 0);

    Tint(MakeControl<CArea>(w, L"CArea", MainId::kTabBarBack), kPanelColour, 40);
    auto* tabs = MakeControl<MTabCtrl>(w, L"MTabCtrl", MainId::kTabBar, L"", 0, 1);
    if (tabs) {
        tabs->SetTextColor(kTabTextColour);
        tabs->SetTabType(1);
        tabs->SetTabCtrlWidth(80);
        tabs->SetTabCtrlHeight(80);
        tabs->SetLeftRightPading(0, 80);
        tabs->SetTopBottomPading(0, 400);
        tabs->SetItemWidth(80, 80, 1);
        tabs->SetItemHeight(80, 80, 1);
        for (const TabEntry& tab : kTabs) {
            const CString label = GetText(kDialogSection, tab.labelId);
            tabs->InsertItem(tab.itemId, label.c_str(), tab.icon, PageLayout(tab.pageId), kTabIconFrames);
        }
        tabs->SetSelectItem(kHomeTab);
    }
    RefreshCloseTooltip();
    m_window.Texts().BindAndApply(m_window, MainId::kMinimize, 2, TextBindings::Kind::Tooltip);
    m_window.Texts().BindAndApply(m_window, MainId::kWebsite, 5, TextBindings::Kind::Tooltip);
}

void MainFrame::Layout(const CRect& client)
{
    const MDialog& w = m_window;
    const int cx = client.Width();
    const int cy = client.Height();
    PlaceControl(w, MainId::kBackground, CRect(0, 0, cx, cy));
    PlaceControl(w, MainId::kFrameLeft, CRect(0, 0, 1, cy));
    PlaceControl(w, MainId::kFrameRight, CRect(cx - 1, 0, cx, cy));
    PlaceControl(w, MainId::kFrameTop, CRect(0, 0, cx, 1));
    PlaceControl(w, MainId::kFrameBottom, CRect(0, cy - 1, cx, cy));
    PlaceControl(w, MainId::kCaption, CRect(1, 1, cx - 1, 50));
    PlaceControl(w, MainId::kProduct, CRect(cx / 2 - 150, 10, cx / 2 + 150, 40));
    PlaceControl(w, MainId::kClose, CRect(cx - 50, 20, cx - 20, 50));
    PlaceControl(w, MainId::kMinimize, CRect(cx - 100, 20, cx - 70, 50));
    PlaceControl(w, MainId::kWebsite, CRect(cx - 150, 20, cx - 120, 50));
    // The home page shows only while the tab bar is hidden, and its version text stands at x = 10: its
    // layout starts at the window's edge, where the others start right of the tab bar, so the layout's
    // clip does not cut the version away.
    PlaceControl(w, MainId::kHomePage, CRect(1, 50, cx - 1, cy - 1));
    for (unsigned id = MainId::kCustomKeyPage; id <= MainId::kSettingsPage; ++id)
        PlaceControl(w, id, CRect(80, 50, cx - 1, cy - 1));
    PlaceControl(w, MainId::kTabBarBack, CRect(1, 50, 76, cy - 1));
    PlaceControl(w, MainId::kTabBar, CRect(1, 60, 79, cy - 1));
    // With five tabs (positions 0–4) there is no tab record at position 5 to move to the bottom: the
    // settings tab stays in the column with the others.
}

void MainFrame::ApplyTexts()
{
    if (auto* title = dynamic_cast<MControlFont*>(Control(MainId::kPageTitle))) {
        const CString text = m_pageTitleId ? GetText(kDialogSection, m_pageTitleId) : CString();
        title->SetControlTitle(text.c_str());
    }
    RefreshCloseTooltip();
    if (MTabCtrl* tabs = TabBar()) {
        for (int i = 0; i < tabs->GetItemCount() && i < static_cast<int>(std::size(kTabs)); ++i)
            tabs->SetItemText(i, GetText(kDialogSection, kTabs[i].labelId).c_str());
    }
}

void MainFrame::RefreshCloseTooltip()
{
    const int textId =
        m_window.Settings().ReadRegInt(kExitModeValue) == kExitModeExit ? kTextExitProgram : kTextHideToTray;
    m_window.Texts().BindAndApply(m_window, MainId::kClose, textId, TextBindings::Kind::Tooltip);
}

void MainFrame::SetPageHeader(unsigned itemId)
{
    int titleId = 0;
    CString picture;
    for (const PageHeader& header : kHeaders) {
        if (header.itemId == itemId) {
            titleId = header.titleId;
            picture = header.picture;
        }
    }
    SetPageTitle(titleId);
    SetPagePicture(picture);
}

void MainFrame::SetPageTitle(int textId)
{
    m_pageTitleId = textId;
    if (auto* title = dynamic_cast<MControlFont*>(Control(MainId::kPageTitle))) {
        const CString text = textId ? GetText(kDialogSection, textId) : CString();
        title->SetControlTitle(text.c_str());
    }
}

void MainFrame::SetPagePicture(const CString& picture)
{
    m_pagePicture = picture;
    // The page picture has no place on screen; it only follows the page.
    if (!picture.empty())
        Picture(dynamic_cast<MPicture*>(Control(MainId::kPagePicture)), picture.c_str());
}

void MainFrame::ShowKeyboardPages(bool show)
{
    MTabCtrl* tabs = TabBar();
    const TabItemInfo* selected = tabs ? tabs->GetItemInfo(tabs->GetSelectItem()) : nullptr;
    for (unsigned id = MainId::kCustomKeyPage; id <= MainId::kSettingsPage; ++id) {
        MControl* page = Control(id);
        ShowControl(m_window, id, show && selected && selected->page == page);
    }
}

bool MainFrame::IsKeyboardPageShown() const
{
    for (unsigned id = MainId::kCustomKeyPage; id <= MainId::kSettingsPage; ++id) {
        const MControl* page = Control(id);
        if (page && page->IsVisible())
            return true;
    }
    return false;
}

void MainFrame::OnTabSelected(int index)
{
    MTabCtrl* tabs = TabBar();
    const unsigned itemId = tabs ? tabs->GetItemID(index) : TabItem::kHome;
    SetPageHeader(itemId);
    if (itemId == TabItem::kHome)
        ShowTabBar(false);
    if (index == kHomeTab) {
        const int stored = m_window.Settings().ReadRegInt(kLastTabIndex);
        if (stored > 0)
            m_currentTab = stored;
    } else {
        m_currentTab = index;
    }
    m_window.Settings().WriteRegString(kLastTabIndex, std::to_wstring(m_currentTab));
}

void MainFrame::ShowTabBar(bool show)
{
    ShowControl(m_window, MainId::kTabBar, show);
    ShowControl(m_window, MainId::kTabBarBack, show);
}

bool MainFrame::IsTabBarShown() const
{
    const MControl* tabs = Control(MainId::kTabBar);
    return tabs && tabs->IsVisible();
}

void MainFrame::SelectRememberedTab()
{
    MTabCtrl* tabs = TabBar();
    if (!tabs)
        return;
    int index = m_currentTab;
    if (index < 0 || index >= tabs->GetItemCount())
        index = 1;
    // Already selected, the tab reports nothing: its page and header are brought back all the same.
    if (tabs->GetSelectItem() == index) {
        OnTabSelected(index);
        if (const TabItemInfo* item = tabs->GetItemInfo(index); item && item->page)
            item->page->SetVisible(1);
        return;
    }
    tabs->SetSelectItem(index);
}

void MainFrame::SetTabItemVisible(int position, bool visible)
{
    if (MTabCtrl* tabs = TabBar())
        tabs->SetItemVisible(position, visible ? 1 : 0);
}
