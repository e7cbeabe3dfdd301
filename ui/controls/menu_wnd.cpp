#include "ui/controls/menu_wnd.h"

#include <algorithm>

#include "ui/framework/m_render.h"
#include "ui/framework/window_system.h"

namespace {

constexpr COLORREF kPanelBack = 0x333333;
constexpr COLORREF kPanelBorder = 0x646464;
// Room kept right of the longest title.
constexpr int kTextSlack = 9;

} // namespace

MenuWnd::MenuWnd(MObject* owner)
{
    SetParent(owner);
    m_paintManager.SetBackColor(kPanelBack, kPanelBorder);
}

MenuWnd::~MenuWnd() = default;

HWND MenuWnd::Create(HWND owner, CPoint point, unsigned message, CString background, int width, int border,
                     enumBackMode mode)
{
    if (IsLive())
        return m_hWnd;
    m_ownerWnd = owner;
    m_message = message;
    m_point = point;
    m_width = std::max(m_width, width > 0 ? width : kDefaultWidth);
    m_closing = false;
    if (!background.empty())
        LoadBKImage(background);
    SetBackMode(mode, border);
    const HWND hwnd = MPopupWnd::Create(owner, L"Menu Window", kStyle, WS_EX_TOOLWINDOW,
                                        CRect(point, CSize(m_width, GetMenuHeight())));
    LayoutItems();
    return hwnd;
}

// --- Rows ---

MenuItem* MenuWnd::AddMenu(CString text, unsigned id, CString icon, int checkable, int check)
{
    auto* item = static_cast<MenuItem*>(CreateControl(L"MenuItem", id, CRect(), text.c_str()));
    if (!item)
        return nullptr;
    if (!icon.empty())
        item->SetImage(icon.c_str(), 4);
    if (checkable) {
        item->SetCheckable(true);
        item->SetCheck(check);
    }
    const int textWidth = MRender::GetTextBounds(item->DrawFont(), text).cx;
    m_width = std::max(m_width, 2 * kSideInset + item->TextLeft() + textWidth + kTextSlack);
    LayoutItems();
    return item;
}

MenuItem* MenuWnd::AddSeparator()
{
    auto* item = static_cast<MenuItem*>(CreateControl(L"MenuItem", m_nextSeparatorId++, CRect(), L""));
    if (!item)
        return nullptr;
    item->SetSeparator(true);
    LayoutItems();
    return item;
}

std::vector<MenuItem*> MenuWnd::GetItems() const
{
    std::vector<MenuItem*> items;
    for (MControl* c : m_paintManager.GetControls().Snapshot()) {
        if (auto* item = dynamic_cast<MenuItem*>(c))
            items.push_back(item);
    }
    return items;
}

MenuItem* MenuWnd::FindItem(const CString& title) const
{
    for (MenuItem* item : GetItems()) {
        if (!item->IsSeparator() && item->GetTitle() == title)
            return item;
    }
    return nullptr;
}

MenuItem* MenuWnd::GetItem(unsigned id) const
{
    for (MenuItem* item : GetItems()) {
        if (item->GetID() == id)
            return item;
    }
    return nullptr;
}

int MenuWnd::SetItemTitle(const CString& title, const CString& newTitle)
{
    MenuItem* item = FindItem(title);
    if (!item)
        return 0;
    item->SetTitle(newTitle.c_str());
    return 1;
}

int MenuWnd::SetItemVisible(const CString& title, int visible)
{
    MenuItem* item = FindItem(title);
    if (!item)
        return 0;
    if (!visible && item == m_hot)
        SetHotItem(nullptr);
    item->SetVisible(visible);
    LayoutItems();
    return 1;
}

int MenuWnd::SetItemEnable(const CString& title, int enable)
{
    MenuItem* item = FindItem(title);
    if (!item)
        return 0;
    item->SetEnabled(enable);
    return 1;
}

int MenuWnd::SetItemCheck(const CString& title, int check)
{
    MenuItem* item = FindItem(title);
    if (!item)
        return 0;
    item->SetCheck(check);
    return 1;
}

int MenuWnd::GetMenuHeight() const
{
    int height = 2 * kTopMargin;
    for (MenuItem* item : GetItems()) {
        if (item->IsVisible())
            height += item->IsSeparator() ? kSeparatorHeight : kItemHeight;
    }
    return height;
}

void MenuWnd::LayoutItems()
{
    int y = kTopMargin;
    for (MenuItem* item : GetItems()) {
        if (!item->IsVisible())
            continue;
        const int height = item->IsSeparator() ? kSeparatorHeight : kItemHeight;
        item->SetRect(CRect(kSideInset, y, m_width - kSideInset, y + height));
        y += height;
    }
    if (IsLive())
        SetWindowPos(nullptr, 0, 0, m_width, y + kTopMargin, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Showing and closing ---

int MenuWnd::ShowWindow(int cmd)
{
    if (cmd != SW_HIDE && IsLive() && !m_parentMenu) {
        CRect r(m_point, CSize(m_width, GetMenuHeight()));
        const CRect work = WindowSystem::GetWorkArea(m_ownerWnd ? m_ownerWnd : m_hWnd);
        if (r.right > work.right)
            r.OffsetRect(-r.Width(), 0);
        if (r.bottom > work.bottom)
            r.OffsetRect(0, -r.Height());
        r.OffsetRect(std::max(work.left - r.left, 0), std::max(work.top - r.top, 0));
        SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return MWindow::ShowWindow(cmd);
}

MenuWnd* MenuWnd::Root()
{
    MenuWnd* menu = this;
    while (menu->m_parentMenu)
        menu = menu->m_parentMenu;
    return menu;
}

void MenuWnd::CloseMenu()
{
    MenuWnd* root = Root();
    if (root->m_closing)
        return;
    root->m_closing = true;
    root->CloseSubMenu();
    root->CloseWindow();
}

int MenuWnd::OnNcActivate(int active)
{
    if (!active && IsLive() && !m_parentMenu)
        CloseMenu();
    return 0;
}

void MenuWnd::OpenSubMenu(MenuItem* item)
{
    MenuWnd* sub = item ? item->GetPopupMenu() : nullptr;
    if (!sub || sub == m_openSub || !IsLive())
        return;
    CloseSubMenu();
    sub->m_parentMenu = this;
    CRect row = item->GetRect();
    ClientToScreen(&row);
    CRect me;
    GetWindowRect(&me);
    const CPoint at(me.right - kSideInset, row.top - kTopMargin);
    if (!sub->IsLive())
        sub->Create(m_hWnd, at, sub->m_message ? sub->m_message : m_message, L"", sub->m_width);
    // Beside this menu, on its left near the work area's right edge; kept above the bottom.
    CRect r(at, CSize(sub->m_width, sub->GetMenuHeight()));
    const CRect work = WindowSystem::GetWorkArea(m_hWnd);
    if (r.right > work.right)
        r.OffsetRect(me.left + kSideInset - r.right, 0);
    if (r.bottom > work.bottom)
        r.OffsetRect(0, work.bottom - r.bottom);
    sub->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    sub->MWindow::ShowWindow(SW_SHOWNA);
    m_openSub = sub;
}

void MenuWnd::CloseSubMenu()
{
    MenuWnd* sub = m_openSub;
    if (!sub)
        return;
    m_openSub = nullptr;
    sub->CloseSubMenu();
    sub->SetHotItem(nullptr);
    if (sub->IsLive())
        sub->MWindow::ShowWindow(SW_HIDE);
}

void MenuWnd::SetHotItem(MenuItem* item, bool openSubMenu)
{
    if (item == m_hot)
        return;
    if (m_hot)
        m_hot->SetHot(false);
    m_hot = item;
    if (m_openSub && (!item || item->GetPopupMenu() != m_openSub))
        CloseSubMenu();
    if (item) {
        item->SetHot(true);
        if (openSubMenu && item->GetPopupMenu())
            OpenSubMenu(item);
    }
}

// --- What rows do ---

void MenuWnd::PostToOwner(WPARAM wParam, LPARAM lParam)
{
    const HWND owner = Root()->m_ownerWnd;
    if (owner)
        WindowSystem::PostMessageW(owner, m_message, wParam, lParam);
}

void MenuWnd::OnItemClick(MenuItem* item)
{
    PostToOwner(0, static_cast<LPARAM>(item->GetID()));
    CloseMenu();
}

void MenuWnd::OnItemCheck(MenuItem* item, int before)
{
    PostToOwner(static_cast<WPARAM>(before), static_cast<LPARAM>(item->GetID()));
}

void MenuWnd::Activate(MenuItem* item)
{
    if (!item || !item->IsSelectable())
        return;
    if (MenuWnd* sub = item->GetPopupMenu()) {
        OpenSubMenu(item);
        if (m_openSub == sub)
            sub->MoveHot(1);
    } else if (item->IsCheckable()) {
        item->Toggle();
    } else {
        OnItemClick(item);
    }
}

long MenuWnd::OnMessage(unsigned id, unsigned code, unsigned /*wParam*/, long lParam)
{
    MenuItem* item = GetItem(id);
    if (!item)
        return 0;
    if (code == MenuItem::kNotifyClick) {
        if (item->GetPopupMenu())
            OpenSubMenu(item);
        else
            OnItemClick(item);
        return 1;
    }
    if (code == MenuItem::kNotifyCheck) {
        OnItemCheck(item, lParam ? 0 : 1);
        return 1;
    }
    return 0;
}

// --- Keys ---

void MenuWnd::MoveHot(int step)
{
    const std::vector<MenuItem*> items = GetItems();
    const auto n = static_cast<int>(items.size());
    if (n == 0)
        return;
    const auto at = std::find(items.begin(), items.end(), m_hot);
    int i = at == items.end() ? (step > 0 ? -1 : n) : static_cast<int>(at - items.begin());
    for (int tries = 0; tries < n; ++tries) {
        i = (i + step + n) % n;
        if (items[static_cast<size_t>(i)]->IsSelectable()) {
            SetHotItem(items[static_cast<size_t>(i)], false);
            return;
        }
    }
}

int MenuWnd::OnMenuKey(unsigned key)
{
    switch (key) {
    case VK_UP:
        MoveHot(-1);
        return 1;
    case VK_DOWN:
        MoveHot(1);
        return 1;
    case VK_RETURN:
    case VK_SPACE:
        Activate(m_hot);
        return 1;
    case VK_RIGHT:
        if (m_hot && m_hot->GetPopupMenu())
            Activate(m_hot);
        return 1;
    case VK_LEFT:
        if (m_parentMenu)
            m_parentMenu->CloseSubMenu();
        return 1;
    case VK_ESCAPE:
        if (m_parentMenu)
            m_parentMenu->CloseSubMenu();
        else
            CloseMenu();
        return 1;
    default:
        return 0;
    }
}

LRESULT MenuWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN) {
        // The keys walk the innermost menu the user has entered: one with a lit row.
        MenuWnd* innermost = this;
        while (innermost->m_openSub && innermost->m_openSub->IsLive() && innermost->m_openSub->m_hot)
            innermost = innermost->m_openSub;
        if (innermost->OnMenuKey(static_cast<unsigned>(wParam)))
            return 0;
    }
    return MPopupWnd::OnWindowMessage(msg, wParam, lParam);
}
