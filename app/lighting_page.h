#pragma once
// The lighting page (page 52): modes, their parameters, colours, per-key painting and the reactive
// modes. Ids 71, 72 and 75–195.
//
// FIXME: the page's controls come with the lighting work; until then the page holds only its keyboard
// view (72, mode 102, filled from the model's layout), and its ids already land here.

#include "app/main_page.h"
#include "core/wide_text.h"
#include "device/keyboard_layout.h"

class LightingPage final : public MainPage {
public:
    using MainPage::MainPage;

    void Build(MPanel* page, const CRect& client) override;
    void Layout(const CRect& client) override;
    bool Owns(unsigned controlId) const override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;

    // The brightness and speed sliders' maxima of the model.
    void SetMaxima(int brightnessMax, int speedMax);
    int BrightnessMax() const { return m_brightnessMax; }
    int SpeedMax() const { return m_speedMax; }

    void ClearKeyboard();
    void PlaceKeyboard(const CRect& rect, const CString& picture, int width, int height);
    void AddKeyItem(const LayoutKeyItem& key);

private:
    int m_brightnessMax = 0;
    int m_speedMax = 0;
};
