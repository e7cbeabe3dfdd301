#include "ui/framework/control_factory.h"

#include <cwchar>
#include <mutex>

#include "ui/controls/c_combo_box_list.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_list_box.h"
#include "ui/controls/m_rich_edit.h"
#include "ui/controls/menu_item.h"
#include "ui/framework/c_area.h"

namespace {

// CArea: (visible = a, enabled = 1); a filled rectangle has no title.
std::unique_ptr<MControl> MakeArea(MObject* parent, unsigned id, CRect rect, const wchar_t*, int a, int)
{
    return std::make_unique<CArea>(parent, id, rect, a, 1);
}

// MControlFont families with a title: (visible = a, enabled = b), response 1.
template <class T>
std::unique_ptr<MControl> MakeTitled(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int a,
                                     int b)
{
    return std::make_unique<T>(parent, id, rect, title, a, b);
}

// Titled classes with one flag: (visible = a, enabled = 1), response 1.
template <class T>
std::unique_ptr<MControl> MakeTitledVisible(MObject* parent, unsigned id, CRect rect, const wchar_t* title,
                                            int a, int)
{
    return std::make_unique<T>(parent, id, rect, title, a, 1);
}

// MControlFont families without a title: (visible = a, enabled = b), response 1.
template <class T>
std::unique_ptr<MControl> MakeUntitled(MObject* parent, unsigned id, CRect rect, const wchar_t*, int a, int b)
{
    return std::make_unique<T>(parent, id, rect, a, b);
}

// Single-flag classes (panels): visible = a; enabled and response are 1.
template <class T>
std::unique_ptr<MControl> MakeVisible(MObject* parent, unsigned id, CRect rect, const wchar_t*, int a, int)
{
    return std::make_unique<T>(parent, id, rect, a);
}

constexpr unsigned kBoth = kMadeByWindow | kMadeByPanel;

// Comparison order. Trailing flags: "a, b" (visible, enabled); "a" (visible); "a, 1"; MText "a" with
// enabled 0. FIXME: not every class is built yet; the standard and keyboard controls fill in their
// constructors as they arrive, and until then their names create nothing.
ControlClass g_classes[] = {
    {L"CArea", kBoth, &MakeArea},
    {L"MText", kBoth, nullptr},
    {L"MPicture", kBoth, nullptr},
    {L"CPhotoFrame", kBoth, nullptr},
    {L"CSliderPicture", kBoth, nullptr},
    {L"CGifPicture", kBoth, nullptr},
    {L"MProgress", kBoth, nullptr},
    {L"MSlider", kBoth, nullptr},
    {L"MLevelCtrl", kBoth, nullptr},
    {L"MButton", kBoth, nullptr},
    {L"CImageButton", kBoth, nullptr},
    {L"CTextButton", kBoth, nullptr},
    {L"CCheckButton", kBoth, nullptr},
    {L"CRadioButton", kBoth, nullptr},
    {L"CColorButton", kBoth, nullptr},
    {L"MSpinButton", kBoth, nullptr},
    {L"CSpinButton", kBoth, nullptr},
    {L"CSwitchButton", kBoth, nullptr},
    {L"CIconButton", kBoth, nullptr},
    {L"CTimerButton", kBoth, nullptr},
    {L"CHelpButton", kBoth, nullptr},
    {L"MEdit", kBoth, &MakeTitled<MEdit>},
    {L"MRichEdit", kBoth, &MakeTitled<MRichEdit>},
    {L"MEditEx", kBoth, &MakeTitled<MEditEx>},
    {L"MComboBox", kBoth, &MakeUntitled<MComboBox>},
    {L"MTabCtrl", kBoth, nullptr},
    {L"MTabLayout", kBoth, nullptr},
    {L"MListBox", kBoth, &MakeVisible<MListBox>},
    {L"MPalette", kBoth, nullptr},
    {L"CColorPalette", kBoth, nullptr},
    {L"CColorSelect", kBoth, nullptr},
    {L"CirclePalette", kBoth, nullptr},
    {L"CComboBoxList", kMadeByWindow, &MakeVisible<CComboBoxList>},
    {L"MenuItem", kBoth, &MakeTitledVisible<MenuItem>},
    {L"KeyboardCtrl", kBoth, nullptr},
    {L"KeyFuncControl", kMadeByPanel, nullptr},
    {L"DListBox", kMadeByPanel, nullptr},
    {L"CRecordList", kMadeByPanel, nullptr},
    {L"CDeviceCtrl", kBoth, nullptr},
    {L"BatteryCtrl", kMadeByWindow, nullptr},
    {L"UpgradeButton", kMadeByPanel, nullptr},
    {L"DownloadButton", kMadeByPanel, nullptr},
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
