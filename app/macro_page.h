#pragma once
// The macro page (page 53): the macro list, its settings, the record list and recording. Ids 198 and
// 201–237, and the page menu (WM_USER+803).
//
// FIXME: the page's controls come with the macro work; until then the page is an empty layout and its
// ids already land here.

#include "app/main_page.h"

class MacroPage final : public MainPage {
public:
    using MainPage::MainPage;

    void Build(MPanel* page, const CRect& client) override;
    void Layout(const CRect& client) override;
    bool Owns(unsigned controlId) const override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;

    // The page menu's item 600–610.
    long OnMenuCommand(long itemId);
};
