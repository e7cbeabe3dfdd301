#pragma once
// MenuWnd: a popup menu, a "Menu Window" tool popup holding MenuItem rows. The program derives its own
// menus from it; the derivation points are the virtual functions marked below.
//
// Use: construct it with the object it belongs to, Create it at a screen point with the message it posts
// and its background picture, AddMenu/AddSeparator its rows (before or after Create), then show it —
// ShowWindow(SW_SHOW) or modally with ShowModal(), which returns once it closed. It is shown kept inside
// the work area, activated, and closes itself when it loses the activation. A menu is used once: its
// window (with its rows) is gone when it closes; a nested menu (MenuItem::SetPopupMenu) lives as long
// as the menu that opens it.
//
// Layout: rows from the top margin 6 down, each visible row from x 2 to width − 2 and 35 pixels high
// (separators 4); the width (300 by default) grows to fit a row's text.
//
// What a row does (default OnItemClick / OnItemCheck):
//   click on an ordinary row      → posts the message to the owner window (wParam 0, lParam = row id),
//                                   then the whole menu closes
//   press on a checkable row      → its check flips; posts (wParam = the check before, lParam = id); the
//                                   menu stays open
//   row with a nested menu        → lit or clicked: the nested menu opens at its right (left near the
//                                   work area's edge), without taking the activation
// A nested menu posts its own message (the opening menu's when it has none) to the first menu's owner.
//
// Keys (to the first menu, acting on the innermost open menu that has a lit row):
//   Up/Down      → the previous/next selectable row is lit, wrapping around (a nested menu opens only
//                  with Right or Enter)
//   Enter/Space  → the lit row acts as if clicked
//   Right        → opens the lit row's nested menu, its first row lit
//   Left, Escape → closes the innermost nested menu; Escape on the first menu closes it

#include <vector>

#include "ui/controls/fallback_look.h"
#include "ui/controls/menu_item.h"
#include "ui/framework/m_popup_wnd.h"

class MenuWnd : public MPopupWnd {
public:
    static constexpr int kDefaultWidth = 300;
    static constexpr int kItemHeight = 35;
    static constexpr int kSeparatorHeight = 4;
    static constexpr int kTopMargin = 6;
    static constexpr int kTextMargin = 5;
    static constexpr int kSideInset = 2;
    static constexpr ARGB kHoverColour = FallbackLook::kHover;
    static constexpr DWORD kStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

    explicit MenuWnd(MObject* owner = nullptr);
    ~MenuWnd() override;

    // Stores the owner window and the message, loads the background picture (a skin file; none: the
    // panel colours), and makes the hidden "Menu Window" at point (screen coordinates).
    HWND Create(HWND owner, CPoint point, unsigned message, CString background = L"",
                int width = kDefaultWidth, int border = PaintManager::kDefaultFrameBorder,
                enumBackMode mode = BACK_MODE_FRAME);
    // A row with this title and id; icon is a skin file (4 frames), may be empty. checkable and check
    // make it a row with a check mark.
    MenuItem* AddMenu(CString text, unsigned id, CString icon = L"", int checkable = 0, int check = 0);
    MenuItem* AddSeparator();

    // Rows by title (the first with it); 1 when found.
    int SetItemTitle(const CString& title, const CString& newTitle);
    int SetItemVisible(const CString& title, int visible);
    int SetItemEnable(const CString& title, int enable);
    int SetItemCheck(const CString& title, int check);
    MenuItem* FindItem(const CString& title) const;
    MenuItem* GetItem(unsigned id) const;
    std::vector<MenuItem*> GetItems() const;

    // Showing keeps the menu inside the work area: left of its point when it would pass the right edge,
    // above it when it would pass the bottom.
    int ShowWindow(int cmd) override;
    // Closes this menu with everything it opened (all of them from the first menu).
    void CloseMenu();
    unsigned GetMessage() const { return m_message; }
    HWND GetOwnerWnd() const { return m_ownerWnd; }
    // The menu that opened this one; null for the first.
    MenuWnd* GetParentMenu() const { return m_parentMenu; }
    MenuWnd* GetOpenSubMenu() const { return m_openSub; }
    MenuItem* GetHotItem() const { return m_hot; }
    int GetMenuWidth() const { return m_width; }
    int GetMenuHeight() const;

    // Lights a row (null: none); a nested menu that was open for another row closes, and with openSubMenu
    // (the pointer's way) the row's own nested menu opens.
    void SetHotItem(MenuItem* item, bool openSubMenu = true);

    // --- MPopupWnd ---
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    int OnNcActivate(int active) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    // --- Derivation points ---
    // An ordinary row was clicked (or chosen with the keys).
    virtual void OnItemClick(MenuItem* item);
    // A checkable row's check flipped; before is the check it had.
    virtual void OnItemCheck(MenuItem* item, int before);
    // A key for this menu (the innermost open one); nonzero when taken.
    virtual int OnMenuKey(unsigned key);
    // Places the visible rows from the top margin and sizes the window to them.
    virtual void LayoutItems();
    // Posts (wParam, lParam) with this menu's message to the first menu's owner window.
    void PostToOwner(WPARAM wParam, LPARAM lParam);

private:
    MenuWnd* Root();
    void OpenSubMenu(MenuItem* item);
    void CloseSubMenu();
    void MoveHot(int step);
    void Activate(MenuItem* item);

    HWND m_ownerWnd = nullptr;
    unsigned m_message = 0;
    CPoint m_point;
    int m_width = kDefaultWidth;
    MenuWnd* m_parentMenu = nullptr;
    MenuWnd* m_openSub = nullptr;
    MenuItem* m_hot = nullptr;
    bool m_closing = false;
    unsigned m_nextSeparatorId = 0xFFFF0000;
};
