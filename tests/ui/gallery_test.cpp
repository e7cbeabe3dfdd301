// The control gallery (kelvo_demo's window) on the headless backend: every page shows when its tab is
// chosen, every standard control is on one of them, and the status line tells the last notification.

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "tests/support/scoped_folders.h"
#include "tests/ui/headless_fixture.h"
#include "ui/controls/c_check_button.h"
#include "ui/controls/c_gif_picture.h"
#include "ui/controls/c_help_button.h"
#include "ui/controls/c_icon_button.h"
#include "ui/controls/c_photo_frame.h"
#include "ui/controls/c_radio_button.h"
#include "ui/controls/c_slider_picture.h"
#include "ui/controls/c_switch_button.h"
#include "ui/controls/c_text_area.h"
#include "ui/controls/c_text_button.h"
#include "ui/controls/c_timer_button.h"
#include "ui/controls/download_button.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_level_ctrl.h"
#include "ui/controls/m_list_box.h"
#include "ui/controls/m_picture.h"
#include "ui/controls/m_progress.h"
#include "ui/controls/m_rich_edit.h"
#include "ui/controls/m_scroll.h"
#include "ui/controls/m_slider.h"
#include "ui/controls/m_spin_button.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/controls/m_text.h"
#include "ui/examples/gallery_dialog.h"
#include "ui/examples/gallery_pages.h"
#include "ui/keyboard/battery_ctrl.h"
#include "ui/keyboard/c_color_button.h"
#include "ui/keyboard/c_color_combo.h"
#include "ui/keyboard/c_color_palette.h"
#include "ui/keyboard/c_color_select.h"
#include "ui/keyboard/c_device_ctrl.h"
#include "ui/keyboard/c_record_list.h"
#include "ui/keyboard/circle_palette.h"
#include "ui/keyboard/d_list_box.h"
#include "ui/keyboard/dpi_control.h"
#include "ui/keyboard/key_func_control.h"
#include "ui/keyboard/keyboard_ctrl.h"
#include "ui/keyboard/m_palette.h"
#include "ui/keyboard/upgrade_button.h"

namespace {

using GalleryTest = HeadlessFixture;

void Walk(const ControlList& list, const std::function<void(MControl*)>& fn)
{
    list.ForEach([&](MControl* c) {
        fn(c);
        Walk(c->GetAreas(), fn);
        Walk(c->GetControls(), fn);
    });
}

// The index of the tab with that label (−1 when there is none).
int TabNamed(MTabCtrl* tabs, const wchar_t* label)
{
    for (int i = 0; i < tabs->GetItemCount(); ++i) {
        if (tabs->GetItemInfo(i)->text == label)
            return i;
    }
    return -1;
}

template <class T> bool Shows(GalleryDialog& gallery)
{
    bool found = false;
    Walk(gallery.GetControls(), [&](MControl* c) { found = found || dynamic_cast<T*>(c) != nullptr; });
    return found;
}

TEST_F(GalleryTest, EveryPageShowsAndEveryStandardControlIsOnOne)
{
    GalleryDialog gallery;
    const HWND hwnd = gallery.Create(nullptr, L"gallery", WS_POPUP | WS_VISIBLE, 0,
                                     CRect(0, 0, GalleryDialog::kWidth, GalleryDialog::kHeight));
    ASSERT_NE(hwnd, nullptr);
    Pump();
    MTabCtrl* tabs = gallery.GetTabBar();
    ASSERT_GE(tabs->GetItemCount(), 5);
    for (int i = 0; i < tabs->GetItemCount(); ++i) {
        SCOPED_TRACE(i);
        tabs->SetSelectItem(i);
        Pump();
        for (int j = 0; j < tabs->GetItemCount(); ++j)
            EXPECT_EQ(tabs->GetItemInfo(j)->page->IsVisible(), i == j ? 1 : 0);
        EXPECT_FALSE(tabs->GetItemInfo(i)->page->GetControls().Empty());
    }
    EXPECT_EQ(gallery.GetStatus(), FormatText(L"Last notification: control 13, code 2, wParam %d, lParam 0",
                                              tabs->GetItemCount() - 1));

    EXPECT_TRUE(Shows<MButton>(gallery));
    EXPECT_TRUE(Shows<CImageButton>(gallery));
    EXPECT_TRUE(Shows<CTextButton>(gallery));
    EXPECT_TRUE(Shows<CHelpButton>(gallery));
    EXPECT_TRUE(Shows<CIconButton>(gallery));
    EXPECT_TRUE(Shows<CTimerButton>(gallery));
    EXPECT_TRUE(Shows<CSwitchButton>(gallery));
    EXPECT_TRUE(Shows<DownloadButton>(gallery));
    EXPECT_TRUE(Shows<CCheckButton>(gallery));
    EXPECT_TRUE(Shows<CRadioButton>(gallery));
    EXPECT_TRUE(Shows<MSlider>(gallery));
    EXPECT_TRUE(Shows<MProgress>(gallery));
    EXPECT_TRUE(Shows<MLevelCtrl>(gallery));
    EXPECT_TRUE(Shows<CSpinButton>(gallery));
    EXPECT_TRUE(Shows<MText>(gallery));
    EXPECT_TRUE(Shows<CTextArea>(gallery));
    EXPECT_TRUE(Shows<MPicture>(gallery));
    EXPECT_TRUE(Shows<CGifPicture>(gallery));
    EXPECT_TRUE(Shows<CPhotoFrame>(gallery));
    EXPECT_TRUE(Shows<CSliderPicture>(gallery));
    EXPECT_TRUE(Shows<MTabCtrl>(gallery));
    EXPECT_TRUE(Shows<MTabLayout>(gallery));
    EXPECT_TRUE(Shows<CScrollHorizontal>(gallery));
    EXPECT_TRUE(Shows<CScrollVertical>(gallery));
    EXPECT_TRUE(Shows<MEdit>(gallery));
    EXPECT_TRUE(Shows<MRichEdit>(gallery));
    EXPECT_TRUE(Shows<MEditEx>(gallery));
    EXPECT_TRUE(Shows<CLogonEdit>(gallery));
    EXPECT_TRUE(Shows<MComboBox>(gallery));
    EXPECT_TRUE(Shows<MListBox>(gallery));
    // The colour pickers and the device, battery and update controls.
    EXPECT_TRUE(Shows<CirclePalette>(gallery));
    EXPECT_TRUE(Shows<CColorButton>(gallery));
    EXPECT_TRUE(Shows<MPalette>(gallery));
    EXPECT_TRUE(Shows<CColorPalette>(gallery));
    EXPECT_TRUE(Shows<CColorSelect>(gallery));
    EXPECT_TRUE(Shows<CColorCombo>(gallery));
    EXPECT_TRUE(Shows<DListBox>(gallery));
    EXPECT_TRUE(Shows<CDeviceCtrl>(gallery));
    EXPECT_TRUE(Shows<BatteryCtrl>(gallery));
    EXPECT_TRUE(Shows<UpgradeButton>(gallery));
    EXPECT_TRUE(Shows<DPIControl>(gallery));
    EXPECT_TRUE(Shows<KeyFuncControl>(gallery));
    EXPECT_TRUE(Shows<CRecordList>(gallery));
    EXPECT_TRUE(Shows<KeyboardCtrl>(gallery));

    // The linked slider drives the progress bar.
    auto* slider = static_cast<MSlider*>(gallery.GetControl(kGalleryLinkedSlider));
    auto* progress = static_cast<MProgress*>(gallery.GetControl(kGalleryLinkedProgress));
    tabs->SetSelectItem(1);
    Pump();
    const CRect r = slider->GetRect();
    Backend().MoveMouse(hwnd, {r.left + 10, r.top + 10});
    Backend().Click(hwnd, {r.left + 10, r.top + 10});
    Pump();
    EXPECT_EQ(progress->GetProgress(), slider->GetProgress());
    EXPECT_EQ(gallery.GetStatus(), FormatText(L"Last notification: control %d, code 2, wParam %d, lParam 0",
                                              kGalleryLinkedSlider, slider->GetProgress()));
    gallery.DestroyWindow();
}

TEST_F(GalleryTest, TheKeyFunctionsPageMarksWhatIsPickedAndStopsItsRecorderWhenItCloses)
{
    GalleryDialog gallery;
    const HWND hwnd = gallery.Create(nullptr, L"gallery", WS_POPUP | WS_VISIBLE, 0,
                                     CRect(0, 0, GalleryDialog::kWidth, GalleryDialog::kHeight));
    ASSERT_NE(hwnd, nullptr);
    MTabCtrl* tabs = gallery.GetTabBar();
    tabs->SetSelectItem(TabNamed(tabs, L"Key functions"));
    Pump();
    auto* picker = dynamic_cast<KeyFuncControl*>(gallery.GetControl(kGalleryKeyFunctionsIds + 1));
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->GetItemCount(), 122);
    const CPoint f5 = picker->GetItemWindowRect(23).CenterPoint();
    Backend().MoveMouse(hwnd, f5);
    Backend().Click(hwnd, f5);
    Pump();
    EXPECT_EQ(picker->GetMarkedIndex(), 23);
    EXPECT_EQ(gallery.GetStatus(), FormatText(L"Last notification: control %d, code 1, wParam 23, lParam 0",
                                              kGalleryKeyFunctionsIds + 1));

    // The pretend recorder runs on a thread of its own; closing the window ends it.
    auto* record = gallery.GetControl(kGalleryKeyFunctionsIds + 7);
    ASSERT_NE(record, nullptr);
    const CPoint button = record->GetWindowRect().CenterPoint();
    Backend().MoveMouse(hwnd, button);
    Backend().Click(hwnd, button);
    Pump();
    auto* records = dynamic_cast<CRecordList*>(gallery.GetControl(kGalleryKeyFunctionsIds + 3));
    ASSERT_NE(records, nullptr);
    const int before = records->GetItemCount();
    for (int waited = 0; records->GetItemCount() == before && waited < 2000; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GT(records->GetItemCount(), before);
    gallery.DestroyWindow();
    Pump();
}

TEST_F(GalleryTest, TheTickRunsOnlyWhileAShownControlAnimates)
{
    GalleryDialog gallery;
    const HWND hwnd = gallery.Create(nullptr, L"gallery", WS_POPUP | WS_VISIBLE, 0,
                                     CRect(0, 0, GalleryDialog::kWidth, GalleryDialog::kHeight));
    ASSERT_NE(hwnd, nullptr);
    Pump();
    PaintManager& manager = gallery.GetPaintManager();
    MTabCtrl* tabs = gallery.GetTabBar();
    // Buttons: nothing moves until the timer button runs, and the tick stops with it.
    EXPECT_FALSE(manager.IsMTimerRunning());
    auto* timer = static_cast<CTimerButton*>(gallery.GetControl(kGalleryButtonsIds + 23));
    ASSERT_NE(timer, nullptr);
    timer->StartTimer();
    EXPECT_TRUE(manager.IsMTimerRunning());
    Backend().RunFor(CTimerButton::kDurationMs + 20);
    EXPECT_FALSE(timer->IsTimerRunning());
    EXPECT_FALSE(manager.IsMTimerRunning());
    // Pictures: the animation plays while its page shows, and only then.
    tabs->SetSelectItem(3);
    Pump();
    EXPECT_TRUE(manager.IsMTimerRunning());
    tabs->SetSelectItem(2);
    Pump();
    EXPECT_FALSE(manager.IsMTimerRunning());
    gallery.DestroyWindow();
}

TEST_F(GalleryTest, TheKeyboardPageShowsEachShippedLayoutInEachMode)
{
    ScopedFolders folders;
    folders.InstallFromBuild("layouts");
    folders.InstallFromBuild("skins/theme1/keyboard");
    GalleryDialog gallery;
    const HWND hwnd = gallery.Create(nullptr, L"gallery", WS_POPUP | WS_VISIBLE, 0,
                                     CRect(0, 0, GalleryDialog::kWidth, GalleryDialog::kHeight));
    ASSERT_NE(hwnd, nullptr);
    MTabCtrl* tabs = gallery.GetTabBar();
    tabs->SetSelectItem(TabNamed(tabs, L"Keyboard"));
    Pump();
    auto* view = static_cast<KeyboardCtrl*>(gallery.GetControl(kGalleryKeyboardIds));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->IsVisible() && view->IsParentVisible());
    EXPECT_TRUE(view->IsKBTipsEnabled());
    // Choosing as the user does: a click on a radio button of the page.
    auto choose = [&](unsigned id) {
        const CRect r = gallery.GetControl(id)->GetWindowRect();
        Backend().GetVirtualClock().Advance(1000);
        Backend().MoveMouse(hwnd, r.CenterPoint());
        Backend().Click(hwnd, r.CenterPoint());
        Pump();
    };
    PaintManager& manager = gallery.GetPaintManager();
    const size_t keys[] = {104, 87, 61};
    for (unsigned layout = 0; layout < 3; ++layout) {
        choose(kGalleryKeyboardIds + 10 + layout);
        for (unsigned mode = 0; mode < 5; ++mode) {
            SCOPED_TRACE(testing::Message() << "layout " << layout << ", mode " << mode);
            choose(kGalleryKeyboardIds + 20 + mode);
            EXPECT_EQ(view->GetKeyboardCtrlMode(), KeyboardCtrl::kModeBlocks + static_cast<int>(mode));
            EXPECT_EQ(view->GetKeyItems().size(), keys[layout]);
            EXPECT_TRUE(view->HasKeyboardImage());
            // The lighting preview and the music view move; the other modes leave the window asleep.
            EXPECT_EQ(manager.IsMTimerRunning(), mode == 2 || mode == 4);
        }
    }
    // In the assignment view a right click on a key opens the key menu; its first row restores the key.
    choose(kGalleryKeyboardIds + 21);
    const unsigned w = 0x1A;
    auto checked = [&] {
        for (const KEY_INFO* k : view->GetKeyItems()) {
            if (k->keyValue == w)
                return k->checked;
        }
        return -1;
    };
    ASSERT_EQ(checked(), 1);
    int index = -1;
    for (const KEY_INFO* k : view->GetKeyItems())
        index = k->keyValue == w ? k->index : index;
    const CPoint key = view->GetKeyScreenRect(index).CenterPoint();
    Backend().GetVirtualClock().Advance(1000);
    Backend().MoveMouse(hwnd, key);
    Backend().Click(hwnd, key, kButtonRight);
    Pump();
    const HWND menu = WindowSystem::FindWindowW(nullptr, L"Menu Window");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(gallery.GetStatus(), FormatText(L"Last notification: control %d, code 5, wParam %d, lParam %d",
                                              kGalleryKeyboardIds, index, w));
    Backend().MoveMouse(menu, {40, 20});
    Backend().Click(menu, {40, 20});
    Pump();
    EXPECT_EQ(checked(), 0);
    EXPECT_FALSE(WindowSystem::IsWindow(menu));

    // The music plays only while its page shows.
    tabs->SetSelectItem(0);
    Pump();
    EXPECT_FALSE(manager.IsMTimerRunning());
    gallery.DestroyWindow();
}

} // namespace
