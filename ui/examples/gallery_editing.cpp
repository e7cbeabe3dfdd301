// The editing page: edit boxes (plain, digits only, password, read-only, with an icon), the rich edits,
// two combo boxes, a list whose rows are renamed in place, and a button opening a popup menu with
// checkable rows and a nested menu. Every notification, and every menu row chosen, goes on to the
// gallery's status line.

#include <memory>

#include "ui/controls/control_helpers.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_list_box.h"
#include "ui/controls/m_rich_edit.h"
#include "ui/controls/m_text.h"
#include "ui/controls/menu_wnd.h"
#include "ui/examples/gallery_pages.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

namespace {

enum EditingIds : unsigned {
    kPanel = kGalleryEditingIds,
    kName,
    kDelay,
    kPassword,
    kSerial,
    kLanguage,
    kMode,
    kNotes,
    kProfiles,
    kComment,
    kUser,
    kMenuButton,
    kMenu,
    kLabels = kGalleryEditingIds + 80,
};

constexpr UINT kMenuMessage = WM_USER + 801;

class EditingPanel;

// The page's menus tell the page what was chosen; the window gets the menu's message as well.
class GalleryMenu : public MenuWnd {
public:
    GalleryMenu(EditingPanel* page) : MenuWnd(nullptr), m_page(page) {}

protected:
    void OnItemClick(MenuItem* item) override;
    void OnItemCheck(MenuItem* item, int before) override;

private:
    EditingPanel* m_page;
};

// Holds the page's controls, opens the menu for its button and reports the menu's rows.
class EditingPanel : public MPanel {
public:
    EditingPanel(MObject* parent, unsigned id, CRect rect) : MPanel(parent, id, rect, 1) {}

    void Build();
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override
    {
        if (id == kMenuButton && code == 2)
            OpenMenu();
        return MPanel::OnMessage(id, code, wParam, lParam);
    }
    // A row chosen in a menu, reported as the menu's own notification (lParam = the row).
    void ReportMenu(unsigned code, unsigned wParam, long row) { MPanel::OnMessage(kMenu, code, wParam, row); }
    void DrawControl(HDC&, CRect) override {}

private:
    void OpenMenu();

    std::unique_ptr<GalleryMenu> m_menu;
    std::unique_ptr<GalleryMenu> m_colours;
};

void GalleryMenu::OnItemClick(MenuItem* item)
{
    m_page->ReportMenu(MenuItem::kNotifyClick, 0, static_cast<long>(item->GetID()));
    MenuWnd::OnItemClick(item);
}

void GalleryMenu::OnItemCheck(MenuItem* item, int before)
{
    m_page->ReportMenu(MenuItem::kNotifyCheck, static_cast<unsigned>(before),
                       static_cast<long>(item->GetID()));
    MenuWnd::OnItemCheck(item, before);
}

void EditingPanel::Build()
{
    unsigned label = kLabels;
    auto edit = [&](unsigned id, int x, int y, const wchar_t* caption, const wchar_t* text) {
        GalleryCaption(this, label++, GalleryRect(this, x, y, 230, 18), caption);
        auto* box = GalleryControl<MEdit>(this, L"MEdit", id, GalleryRect(this, x, y + 20, 230, 38), text);
        box->SetImage(L"img_edit.png", 4);
        box->SetTextColor(0xFFC8C8C8);
        return box;
    };

    GalleryHeading(this, label++, GalleryRect(this, 24, 16, 300, 24), L"Edit boxes");
    edit(kName, 24, 50, L"Name", L"Torvik K70");
    auto* delay = edit(kDelay, 24, 118, L"Delay (digits only, 5 at most)", L"120");
    delay->SetNumberOnly(1);
    delay->SetLimitText(5);
    delay->SetAlignment(2);
    auto* password = edit(kPassword, 24, 186, L"Password", L"secret");
    password->EnablePassWord(1);
    password->SetPassWordChar(L'\x2022');
    auto* serial = edit(kSerial, 24, 254, L"Serial number (read-only)", L"TK70-0042-7731");
    serial->SetReadOnly(1);
    GalleryCaption(this, label++, GalleryRect(this, 24, 322, 230, 18), L"User (a logon field)");
    auto* user = static_cast<CLogonEdit*>(AddControl(
        std::make_unique<CLogonEdit>(this, kUser, GalleryRect(this, 24, 342, 230, 38), L"", 1, 1)));
    user->SetCueText(L"user name");
    user->SetTextColor(0xFFC8C8C8);
    GalleryCaption(this, label++, GalleryRect(this, 24, 390, 240, 54),
                   L"Click to edit; Enter or a click elsewhere keeps the text, Escape puts it back.");

    GalleryHeading(this, label++, GalleryRect(this, 300, 16, 300, 24), L"Combo boxes");
    GalleryCaption(this, label++, GalleryRect(this, 300, 50, 230, 18), L"Language");
    auto* language =
        GalleryControl<MComboBox>(this, L"MComboBox", kLanguage, GalleryRect(this, 300, 70, 230, 38));
    for (const wchar_t* name : {L"English", L"Deutsch", L"Français", L"Español", L"Italiano", L"Português",
                                L"Русский", L"Ελληνικά", L"Polski"})
        language->AddItem(name, language->GetCount());
    language->SetBackImage(L"img_combobox.png", 4);
    language->SetTextColor(0xFFC8C8C8);
    language->SetCurSel(0);
    GalleryCaption(this, label++, GalleryRect(this, 300, 118, 230, 18), L"Lighting mode");
    auto* mode = GalleryControl<MComboBox>(this, L"MComboBox", kMode, GalleryRect(this, 300, 138, 230, 38));
    mode->AddItem(L"Static", 1, nullptr, 0xFFE04040);
    mode->AddItem(L"Breathing", 2, nullptr, 0xFFE0A040);
    mode->AddItem(L"Wave", 3, nullptr, 0xFF40C0E0);
    mode->SetBackImage(L"img_combobox.png", 4);
    mode->SetTextColor(0xFFC8C8C8);
    mode->SetCurSel(2);
    GalleryCaption(this, label++, GalleryRect(this, 300, 186, 240, 36),
                   L"Arrows, Enter and Escape work in the open list; Up/Down on the focused box.");

    GalleryHeading(this, label++, GalleryRect(this, 576, 16, 300, 24), L"List");
    GalleryCaption(this, label++, GalleryRect(this, 576, 50, 260, 18),
                   L"Profiles (double click or F2 renames)");
    auto* profiles =
        GalleryControl<MListBox>(this, L"MListBox", kProfiles, GalleryRect(this, 576, 70, 260, 180));
    for (const wchar_t* name : {L"Default", L"Gaming", L"Office", L"Music", L"Night", L"Travel", L"Work"})
        profiles->AddString(name, profiles->GetCount() + 1, L"icon//icon_circle.png");
    profiles->SetTextColor(0xFFC8C8C8);
    profiles->EnableEdit(1);
    profiles->SetLimitText(20);
    profiles->SetCurSel(1);

    GalleryHeading(this, label++, GalleryRect(this, 880, 16, 300, 24), L"Rich edits");
    GalleryCaption(this, label++, GalleryRect(this, 880, 50, 300, 18),
                   L"Notes (several lines; Ctrl+Enter keeps)");
    auto* notes = GalleryControl<MRichEdit>(this, L"MRichEdit", kNotes, GalleryRect(this, 880, 70, 320, 110),
                                            L"Profile for evenings: dim keys, music lighting.");
    notes->SetCueText(L"Write a note");
    notes->SetTextColor(0xFFC8C8C8);
    GalleryCaption(this, label++, GalleryRect(this, 880, 190, 300, 18), L"Comment (with a counter)");
    auto* comment = GalleryControl<MEditEx>(this, L"MEditEx", kComment, GalleryRect(this, 880, 210, 320, 70));
    comment->SetLimitText(80);
    comment->SetCueText(L"Optional");
    comment->SetTextColor(0xFFC8C8C8);

    GalleryHeading(this, label++, GalleryRect(this, 576, 280, 300, 24), L"Popup menu");
    auto* button = GalleryControl<MButton>(this, L"MButton", kMenuButton,
                                           GalleryRect(this, 576, 314, 200, 38), L"Open the menu");
    button->SetImage(L"btn_apply.png", 4);
    GalleryCaption(
        this, label++, GalleryRect(this, 576, 360, 300, 54),
        L"Checkable rows stay open; \"Colour\" opens a nested menu. Arrows, Enter, Left, Right, Escape.");
}

void EditingPanel::OpenMenu()
{
    if (!m_manager || !m_manager->IsInitialized())
        return;
    // The nested menu goes after the menu that points to it.
    m_menu.reset();
    m_colours = std::make_unique<GalleryMenu>(this);
    m_colours->AddMenu(L"Red", 701);
    m_colours->AddMenu(L"Amber", 702);
    m_colours->AddMenu(L"Blue", 703);
    m_menu = std::make_unique<GalleryMenu>(this);
    const CRect button = ControlRectInWindow(*this, GetControl(kMenuButton)->GetRect());
    CPoint at(button.left, button.bottom + 2);
    WindowSystem::ClientToScreen(m_manager->GetPaintWnd(), &at);
    m_menu->Create(m_manager->GetPaintWnd(), at, kMenuMessage);
    m_menu->AddMenu(L"Restore default", 606);
    m_menu->AddMenu(L"Macro", 608);
    m_menu->AddMenu(L"Shortcut", 609);
    m_menu->AddSeparator();
    m_menu->AddMenu(L"Repeat while held", 620, L"", 1, 1);
    m_menu->AddMenu(L"Colour", 611)->SetPopupMenu(m_colours.get());
    m_menu->AddMenu(L"Disable", 607);
    m_menu->ShowWindow(SW_SHOW);
}

} // namespace

void BuildEditingGalleryPage(MPanel* page)
{
    if (!page)
        return;
    auto* panel = static_cast<EditingPanel*>(
        page->AddControl(std::make_unique<EditingPanel>(page, kPanel, page->GetRect())));
    panel->Build();
}
