#include "app/lighting_page.h"

#include "app/main_window_ids.h"

void LightingPage::Build(MPanel* page, const CRect& /*client*/)
{
    m_page = page;
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

void LightingPage::ClearKeyboard() {}

void LightingPage::PlaceKeyboard(const CRect& /*rect*/, const CString& /*picture*/, int /*width*/,
                                 int /*height*/)
{
}

void LightingPage::AddKeyItem(const LayoutKeyItem& /*key*/) {}
