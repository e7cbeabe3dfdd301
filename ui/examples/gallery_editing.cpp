// The gallery page of the editing controls: edit boxes (plain, digits only, password, read-only), the
// rich edits, two combo boxes, a list whose rows are renamed in place, and a button opening a popup menu
// with checkable rows and a nested menu. A line at the bottom shows the last notification, so that what
// each control reports can be seen.

#include <memory>

#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_list_box.h"
#include "ui/controls/m_rich_edit.h"
#include "ui/controls/menu_wnd.h"
#include "ui/examples/gallery_pages.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

namespace {

enum EditingIds : unsigned {
    kName = 300,
    kDelay,
    kPassword,
    kSerial,
    kLanguage,
    kMode,
    kProfiles,
    kNotes,
    kComment,
    kUser,
    kMenuButton,
    kStatus,
    kCaptionBase = 400,
};

constexpr UINT kGalleryMenuMessage = WM_USER + 801;
constexpr ARGB kCaptionColour = 0xFFC8C8C8;

// A line of text.
class Caption : public MControlFont {
public:
    Caption(MObject* parent, unsigned id, CRect rect, const wchar_t* text, int size = 13)
        : MControlFont(parent, id, rect, text, 1, 0, 1)
    {
        m_fontSize = size;
        m_textColor = kCaptionColour;
    }
    void DrawControl(HDC& hdc, CRect clip) override
    {
        if (UpdateMemDC(hdc, m_rect.Width(), m_rect.Height())) {
            GraphicsOn g(m_memDC);
            DrawTitle(g, CRect(0, 0, m_rect.Width(), m_rect.Height()));
        }
        CopyMemDC(hdc, clip);
    }
};

class EditingPanel;

// The gallery's menu tells the page what was chosen; the owner window gets its message as well.
class GalleryMenu : public MenuWnd {
public:
    GalleryMenu(EditingPanel* page, MObject* owner) : MenuWnd(owner), m_page(page) {}

protected:
    void OnItemClick(MenuItem* item) override;
    void OnItemCheck(MenuItem* item, int before) override;

private:
    EditingPanel* m_page;
};

// Opens the gallery's menu under itself.
class MenuButton : public MControlFont {
public:
    MenuButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title)
        : MControlFont(parent, id, rect, title, 1, 1, 1)
    {
        m_hAlign = 1;
        SetCursorEx(IDC_HAND);
    }
    void DrawControl(HDC& hdc, CRect clip) override
    {
        if (UpdateMemDC(hdc, m_rect.Width(), m_rect.Height())) {
            GraphicsOn g(m_memDC);
            MRender::DrawRoundRectange(g, 0.5f, 0.5f, static_cast<float>(m_rect.Width() - 1),
                                       static_cast<float>(m_rect.Height() - 1), 6, 0xFF646464, 1, true,
                                       m_pressed ? 0xFFED801B : 0xFF333333);
            DrawTitle(g, CRect(0, 0, m_rect.Width(), m_rect.Height()));
        }
        CopyMemDC(hdc, clip);
    }
    int OnControlLButtonDown(unsigned, CPoint) override
    {
        UpdateControl();
        return 1;
    }
    int OnControlLButtonUp(unsigned, CPoint point) override
    {
        UpdateControl();
        if (PtInRect(point))
            SendMessageW(2);
        return 1;
    }
};

// The page's controls live here; it shows each notification they send before passing it on.
class EditingPanel : public MPanel {
public:
    EditingPanel(MObject* parent, unsigned id, CRect rect) : MPanel(parent, id, rect, 1) {}

    void Build();
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    void Show(const CString& text)
    {
        if (m_status)
            m_status->SetTitle(text.c_str());
    }
    void DrawControl(HDC&, CRect) override {}

private:
    template <class T, class... Args> T* Add(unsigned id, CRect rect, Args&&... args)
    {
        rect.OffsetRect(m_rect.TopLeft());
        return static_cast<T*>(AddControl(std::make_unique<T>(this, id, rect, std::forward<Args>(args)...)));
    }
    template <class T>
    T* Create(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title = L"")
    {
        rect.OffsetRect(m_rect.TopLeft());
        return static_cast<T*>(CreateControl(className, id, rect, title, 1, 1));
    }
    void OpenMenu();

    Caption* m_status = nullptr;
    MListBox* m_profiles = nullptr;
    std::unique_ptr<GalleryMenu> m_menu;
    std::unique_ptr<GalleryMenu> m_colours;
};

void GalleryMenu::OnItemClick(MenuItem* item)
{
    m_page->Show(FormatText(L"Menu: %s (%d)", item->GetTitle().c_str(), static_cast<int>(item->GetID())));
    MenuWnd::OnItemClick(item);
}

void GalleryMenu::OnItemCheck(MenuItem* item, int before)
{
    m_page->Show(FormatText(L"Menu: %s %s", item->GetTitle().c_str(), before ? L"off" : L"on"));
    MenuWnd::OnItemCheck(item, before);
}

void EditingPanel::Build()
{
    int caption = kCaptionBase;
    auto label = [&](int x, int y, const wchar_t* text) {
        Add<Caption>(caption++, CRect(x, y, x + 230, y + 20), text);
    };

    // The theme's pictures, as the program's pages use them.
    auto skin = [](MControlFont* control, const wchar_t* picture) {
        control->SetImage(picture, 4);
        return control;
    };
    label(30, 20, L"Name");
    skin(Create<MEdit>(L"MEdit", kName, CRect(30, 42, 260, 80), L"Torvik K70"), L"img_edit.png");
    label(30, 90, L"Delay (digits only, 5 at most)");
    auto* delay = Create<MEdit>(L"MEdit", kDelay, CRect(30, 112, 260, 150), L"120");
    skin(delay, L"img_edit.png");
    delay->SetNumberOnly(1);
    delay->SetLimitText(5);
    delay->SetAlignment(2);
    label(30, 160, L"Password");
    auto* password = Create<MEdit>(L"MEdit", kPassword, CRect(30, 182, 260, 220), L"secret");
    skin(password, L"img_edit.png");
    password->EnablePassWord(1);
    password->SetPassWordChar(L'\x2022');
    label(30, 230, L"Serial number (read-only)");
    auto* serial = Create<MEdit>(L"MEdit", kSerial, CRect(30, 252, 260, 290), L"TK70-0042-7731");
    skin(serial, L"img_edit.png");
    serial->SetReadOnly(1);

    label(300, 20, L"Language");
    auto* language = Create<MComboBox>(L"MComboBox", kLanguage, CRect(300, 42, 530, 80));
    language->SetBackImage(L"img_combobox.png", 4);
    for (const wchar_t* name : {L"English", L"Deutsch", L"Français", L"Español", L"Italiano", L"Português",
                                L"Русский", L"Ελληνικά", L"Polski"})
        language->AddItem(name, language->GetCount());
    language->SetCurSel(0);
    label(300, 94, L"Lighting mode");
    auto* mode = Create<MComboBox>(L"MComboBox", kMode, CRect(300, 116, 530, 154));
    mode->SetBackImage(L"img_combobox.png", 4);
    mode->AddItem(L"Static", 1, nullptr, 0xFFE04040);
    mode->AddItem(L"Breathing", 2, nullptr, 0xFFE0A040);
    mode->AddItem(L"Wave", 3, nullptr, 0xFF40C0E0);
    mode->SetCurSel(2);
    label(300, 168, L"Notes (several lines)");
    auto* notes = Create<MRichEdit>(L"MRichEdit", kNotes, CRect(300, 190, 530, 286),
                                    L"Profile for evenings: dim keys, music lighting.");
    notes->SetCueText(L"Write a note");

    label(570, 20, L"Profiles (double click or F2 renames)");
    m_profiles = Create<MListBox>(L"MListBox", kProfiles, CRect(570, 42, 800, 192));
    for (const wchar_t* name : {L"Default", L"Gaming", L"Office", L"Music", L"Night", L"Travel"})
        m_profiles->AddString(name, m_profiles->GetCount() + 1, L"icon//icon_circle.png");
    m_profiles->EnableEdit(1);
    m_profiles->SetLimitText(20);
    m_profiles->SetCurSel(1);
    label(570, 206, L"Comment (with a counter)");
    auto* comment = Create<MEditEx>(L"MEditEx", kComment, CRect(570, 228, 800, 286));
    comment->SetLimitText(80);
    comment->SetCueText(L"Optional");

    label(30, 300, L"User (a logon field)");
    auto* user = Add<CLogonEdit>(kUser, CRect(30, 322, 260, 356), L"", 1, 1);
    user->SetCueText(L"user name");
    Add<MenuButton>(kMenuButton, CRect(300, 322, 430, 356), L"Menu…");
    m_status = Add<Caption>(kStatus, CRect(30, 380, 800, 404), L"Notifications show here.", 13);
}

void EditingPanel::OpenMenu()
{
    if (!m_manager || !m_manager->IsInitialized())
        return;
    // The nested menu goes after the menu that points to it.
    m_menu.reset();
    m_colours = std::make_unique<GalleryMenu>(this, this);
    m_colours->AddMenu(L"Red", 701);
    m_colours->AddMenu(L"Amber", 702);
    m_colours->AddMenu(L"Blue", 703);
    m_menu = std::make_unique<GalleryMenu>(this, this);
    CRect button = GetControl(kMenuButton)->GetRect();
    CPoint at(button.left, button.bottom + 2);
    WindowSystem::ClientToScreen(m_manager->GetPaintWnd(), &at);
    m_menu->Create(m_manager->GetPaintWnd(), at, kGalleryMenuMessage);
    m_menu->AddMenu(L"Restore default", 606);
    m_menu->AddMenu(L"Macro", 608);
    m_menu->AddMenu(L"Shortcut", 609);
    m_menu->AddSeparator();
    m_menu->AddMenu(L"Repeat while held", 620, L"", 1, 1);
    m_menu->AddMenu(L"Colour", 611)->SetPopupMenu(m_colours.get());
    m_menu->AddMenu(L"Disable", 607);
    m_menu->ShowWindow(SW_SHOW);
}

long EditingPanel::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    if (id == kMenuButton && code == 2)
        OpenMenu();
    if (id >= kName && id < kStatus) {
        CString what = FormatText(L"Control %d: notification %d (%d, %d)", static_cast<int>(id),
                                  static_cast<int>(code), static_cast<int>(wParam), static_cast<int>(lParam));
        if (id == kProfiles && code == 29)
            what += L" — renamed to " + m_profiles->GetItemText(static_cast<int>(lParam));
        Show(what);
    }
    return MPanel::OnMessage(id, code, wParam, lParam);
}

} // namespace

void BuildEditingGalleryPage(MPanel* page)
{
    if (!page)
        return;
    auto* panel = static_cast<EditingPanel*>(
        page->AddControl(std::make_unique<EditingPanel>(page, kCaptionBase - 1, page->GetRect())));
    panel->Build();
}
