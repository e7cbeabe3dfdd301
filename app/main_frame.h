#pragma once
// The main window's frame: background, border, caption with the product name and three caption buttons,
// the page title and picture, the battery and connection pictures, the vertical tab bar and the five
// page layouts it switches between. It also keeps the page state: the current tab index, remembered as
// `last_tab_index`.

#include "core/geometry.h"
#include "core/wide_text.h"

class KeyboardDlg;
class MControl;
class MPanel;
class MTabCtrl;

class MainFrame {
public:
    // Tab positions in insertion order.
    static constexpr int kHomeTab = 0;
    static constexpr int kTabCount = 5;

    explicit MainFrame(KeyboardDlg& window);

    // Makes every frame control and the five page layouts (pages 51–54 hidden), inserts the tabs with
    // their pages and selects the home tab.
    void Build(const CRect& client);
    void Layout(const CRect& client);
    // Page title, caption buttons' tooltips and tab labels in the current language.
    void ApplyTexts();

    // A page layout by its id (50–54); null when the class is missing.
    MPanel* PageLayout(unsigned pageId) const;
    MTabCtrl* TabBar() const;

    // The tab bar reported a selection (control 49, code 2): page title and picture, current tab index
    // and `last_tab_index`.
    void OnTabSelected(int index);
    // Shows (or hides) the tab bar with its background (48).
    void ShowTabBar(bool show);
    bool IsTabBarShown() const;
    // Selects the current tab index; index 1 when it is outside the tab bar's items.
    void SelectRememberedTab();
    void SetTabItemVisible(int position, bool visible);
    // The keyboard pages (51–54): hidden all, or shown as the tab bar's selection says.
    void ShowKeyboardPages(bool show);
    bool IsKeyboardPageShown() const;
    // The page title by text id (0 clears it) and the page picture (empty clears it).
    void SetPageTitle(int textId);
    void SetPagePicture(const CString& picture);
    // The close button's tooltip follows the closing behaviour: text 172 when it is "exit", else 171.
    void RefreshCloseTooltip();

    int CurrentTabIndex() const { return m_currentTab; }
    // The page picture's file ("" on the home page).
    const CString& PagePicture() const { return m_pagePicture; }
    // The text id of the page title (0 on the home page).
    int PageTitleId() const { return m_pageTitleId; }

private:
    void SetPageHeader(unsigned itemId);
    MControl* Control(unsigned id) const;

    KeyboardDlg& m_window;
    int m_currentTab = 1;
    int m_pageTitleId = 0;
    CString m_pagePicture;
};
