#pragma once
// The settings page (page 54): language, start with the session, restore defaults, software and
// firmware updates, and a keyboard view of the model. Ids 238–246.

#include "app/main_page.h"
#include "core/wide_text.h"
#include "device/keyboard_layout.h"

class SettingsPage final : public MainPage {
public:
    // The language box's items, in this order, with the language each stands for.
    static constexpr int kPolishItem = 0;
    static constexpr int kEnglishItem = 1;

    using MainPage::MainPage;

    void Build(MPanel* page, const CRect& client) override;
    void Layout(const CRect& client) override;
    bool Owns(unsigned controlId) const override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;

    // The firmware update button follows the model's layout.
    void ShowFirmwareUpdate(bool visible);
    void ShowRestoreDefaults(bool visible);

    void ClearKeyboard();
    void PlaceKeyboard(const CRect& rect, const CString& picture, int width, int height);
    void AddKeyItem(const LayoutKeyItem& key);

private:
    void OnLanguageChosen(int index);
    void OnAutostartToggled();
};
