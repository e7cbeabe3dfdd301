#include "app/lighting_page.h"

#include "app/control_helpers.h"
#include "app/keyboard_dlg.h"
#include "app/keyboard_view_filling.h"
#include "app/main_window_ids.h"
#include "ui/keyboard/keyboard_ctrl.h"

void LightingPage::Build(MPanel* page, const CRect& /*client*/)
{
    m_page = page;
    // The view previews the lighting; the layout of the model places and fills it.
    if (auto* view = MakeControl<KeyboardCtrl>(page, L"KeyboardCtrl", MainId::kLightingKeyboard))
        view->SetKeyboardCtrlMode(KeyboardCtrl::kModeLightPreview);
}

void LightingPage::Layout(const CRect& /*client*/) {}

bool LightingPage::Owns(unsigned controlId) const
{
    return controlId == MainId::kLightingFirst || controlId == MainId::kLightingSecond ||
           (controlId >= MainId::kLightingRangeFirst && controlId <= MainId::kLightingRangeLast);
}

long LightingPage::OnMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wParam*/, long /*lParam*/)
{
    // FIXME: the lighting page's handlers.
    return 0;
}

void LightingPage::SetMaxima(int brightnessMax, int speedMax)
{
    m_brightnessMax = brightnessMax;
    m_speedMax = speedMax;
}

void LightingPage::ClearKeyboard()
{
    KeyboardViewFilling::Clear(m_window, MainId::kLightingKeyboard);
}

void LightingPage::PlaceKeyboard(const CRect& rect, const CString& picture, int width, int height)
{
    KeyboardViewFilling::Place(m_window, MainId::kLightingKeyboard, rect, picture, width, height);
}

void LightingPage::AddKeyItem(const LayoutKeyItem& key)
{
    KeyboardViewFilling::AddKey(m_window, MainId::kLightingKeyboard, key);
}
