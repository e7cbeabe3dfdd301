#include "ui/framework/control_factory.h"

#include <cwchar>
#include <mutex>

#include "ui/controls/c_check_button.h"
#include "ui/controls/c_combo_box_list.h"
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
#include "ui/controls/m_slider.h"
#include "ui/controls/m_spin_button.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/controls/m_text.h"
#include "ui/controls/menu_item.h"
#include "ui/framework/c_area.h"
#include "ui/keyboard/battery_ctrl.h"
#include "ui/keyboard/c_color_button.h"
#include "ui/keyboard/c_color_palette.h"
#include "ui/keyboard/c_color_select.h"
#include "ui/keyboard/c_device_ctrl.h"
#include "ui/keyboard/c_record_list.h"
#include "ui/keyboard/circle_palette.h"
#include "ui/keyboard/d_list_box.h"
#include "ui/keyboard/key_func_control.h"
#include "ui/keyboard/keyboard_ctrl.h"
#include "ui/keyboard/m_palette.h"
#include "ui/keyboard/upgrade_button.h"

namespace {

// CArea: (visible = a, enabled = 1); a filled rectangle has no title.
std::unique_ptr<MControl> MakeArea(MObject* parent, unsigned id, CRect rect, const wchar_t*, int a, int)
{
    return std::make_unique<CArea>(parent, id, rect, a, 1);
}

// MText: (visible = a), created disabled.
std::unique_ptr<MControl> MakeText(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int a, int)
{
    return std::make_unique<MText>(parent, id, rect, title, a);
}

// Classes without a title: (visible = a, enabled = b).
template <class T>
std::unique_ptr<MControl> MakeVisibleEnabled(MObject* parent, unsigned id, CRect rect, const wchar_t*, int a,
                                             int b)
{
    return std::make_unique<T>(parent, id, rect, a, b);
}

// Classes without a title made (visible = a, enabled = 1).
template <class T>
std::unique_ptr<MControl> MakeVisibleEnabledOne(MObject* parent, unsigned id, CRect rect, const wchar_t*,
                                                int a, int)
{
    return std::make_unique<T>(parent, id, rect, a, 1);
}

// Classes with a title: (visible = a, enabled = b).
template <class T>
std::unique_ptr<MControl> MakeTitled(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int a,
                                     int b)
{
    return std::make_unique<T>(parent, id, rect, title, a, b);
}

// Classes with a title made (visible = a, enabled = 1).
template <class T>
std::unique_ptr<MControl> MakeTitledEnabled(MObject* parent, unsigned id, CRect rect, const wchar_t* title,
                                            int a, int)
{
    return std::make_unique<T>(parent, id, rect, title, a, 1);
}

// Panels: (visible = a).
template <class T>
std::unique_ptr<MControl> MakeVisible(MObject* parent, unsigned id, CRect rect, const wchar_t*, int a, int)
{
    return std::make_unique<T>(parent, id, rect, a);
}

constexpr unsigned kBoth = kMadeByWindow | kMadeByPanel;

// Comparison order. Trailing flags: "a, b" (visible, enabled); "a" (visible); "a, 1"; MText "a" with
// enabled 0. "CTextArea", last, is a name of our own so that every standard control can be made by name.
ControlClass g_classes[] = {
    {L"CArea", kBoth, &MakeArea},
    {L"MText", kBoth, &MakeText},
    {L"MPicture", kBoth, &MakeVisibleEnabled<MPicture>},
    {L"CPhotoFrame", kBoth, &MakeVisibleEnabled<CPhotoFrame>},
    {L"CSliderPicture", kBoth, &MakeVisibleEnabled<CSliderPicture>},
    {L"CGifPicture", kBoth, &MakeVisibleEnabled<CGifPicture>},
    {L"MProgress", kBoth, &MakeVisibleEnabled<MProgress>},
    {L"MSlider", kBoth, &MakeVisibleEnabled<MSlider>},
    {L"MLevelCtrl", kBoth, &MakeVisibleEnabled<MLevelCtrl>},
    {L"MButton", kBoth, &MakeTitled<MButton>},
    {L"CImageButton", kBoth, &MakeTitled<CImageButton>},
    {L"CTextButton", kBoth, &MakeTitled<CTextButton>},
    {L"CCheckButton", kBoth, &MakeTitled<CCheckButton>},
    {L"CRadioButton", kBoth, &MakeTitled<CRadioButton>},
    {L"CColorButton", kBoth, &MakeVisibleEnabled<CColorButton>},
    {L"MSpinButton", kBoth, &MakeVisibleEnabled<MSpinButton>},
    {L"CSpinButton", kBoth, &MakeVisibleEnabled<CSpinButton>},
    {L"CSwitchButton", kBoth, &MakeVisibleEnabled<CSwitchButton>},
    {L"CIconButton", kBoth, &MakeTitled<CIconButton>},
    {L"CTimerButton", kBoth, &MakeTitled<CTimerButton>},
    {L"CHelpButton", kBoth, &MakeTitled<CHelpButton>},
    {L"MEdit", kBoth, &MakeTitled<MEdit>},
    {L"MRichEdit", kBoth, &MakeTitled<MRichEdit>},
    {L"MEditEx", kBoth, &MakeTitled<MEditEx>},
    {L"MComboBox", kBoth, &MakeVisibleEnabled<MComboBox>},
    {L"MTabCtrl", kBoth, &MakeVisibleEnabled<MTabCtrl>},
    {L"MTabLayout", kBoth, &MakeVisible<MTabLayout>},
    {L"MListBox", kBoth, &MakeVisible<MListBox>},
    {L"MPalette", kBoth, &MakeVisible<MPalette>},
    {L"CColorPalette", kBoth, &MakeVisible<CColorPalette>},
    {L"CColorSelect", kBoth, &MakeVisible<CColorSelect>},
    {L"CirclePalette", kBoth, &MakeVisibleEnabledOne<CirclePalette>},
    {L"CComboBoxList", kMadeByWindow, &MakeVisible<CComboBoxList>},
    {L"MenuItem", kBoth, &MakeTitledEnabled<MenuItem>},
    {L"KeyboardCtrl", kBoth, &MakeVisible<KeyboardCtrl>},
    {L"KeyFuncControl", kMadeByPanel, &MakeVisible<KeyFuncControl>},
    {L"DListBox", kMadeByPanel, &MakeVisible<DListBox>},
    {L"CRecordList", kMadeByPanel, &MakeVisible<CRecordList>},
    {L"CDeviceCtrl", kBoth, &MakeVisibleEnabledOne<CDeviceCtrl>},
    {L"BatteryCtrl", kMadeByWindow, &MakeVisibleEnabledOne<BatteryCtrl>},
    {L"UpgradeButton", kMadeByPanel, &MakeTitledEnabled<UpgradeButton>},
    {L"DownloadButton", kMadeByPanel, &MakeTitledEnabled<DownloadButton>},
    {L"CTextArea", kBoth, &MakeTitled<CTextArea>},
};

std::mutex g_lock;

} // namespace

std::span<const ControlClass> ControlClasses()
{
    return g_classes;
}

std::unique_ptr<MControl> CreateControlByName(const wchar_t* className, ControlMaker maker, MObject* parent,
                                              unsigned id, CRect rect, const wchar_t* title, int a, int b)
{
    if (!className)
        return nullptr;
    ControlConstructor construct = nullptr;
    {
        std::lock_guard lock(g_lock);
        for (const ControlClass& c : g_classes) {
            if (std::wcscmp(c.name, className) == 0) {
                if (c.makers & maker)
                    construct = c.construct;
                break;
            }
        }
    }
    return construct ? construct(parent, id, rect, title ? title : L"", a, b) : nullptr;
}

ControlConstructor SetControlConstructor(const wchar_t* className, ControlConstructor construct)
{
    if (!className)
        return nullptr;
    std::lock_guard lock(g_lock);
    for (ControlClass& c : g_classes) {
        if (std::wcscmp(c.name, className) == 0) {
            const ControlConstructor previous = c.construct;
            c.construct = construct;
            return previous;
        }
    }
    return nullptr;
}
