// The keyboard page: the keyboard view of each shipped layout (read from the installation's layout files
// with the program's own reader) in each of its modes, with key tips. The page's own panel answers its
// choices: the layout, the mode, tips and frame selection, and the paint colour; in the assignment view a
// right click opens the key menu the program's custom key page has; in the lighting preview the view
// plays a wave, and in the music view the page plays a pretend spectrum on the window's tick.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "core/folders.h"
#include "device/keyboard_layout.h"
#include "ui/controls/c_check_button.h"
#include "ui/controls/c_radio_button.h"
#include "ui/controls/m_text.h"
#include "ui/controls/menu_wnd.h"
#include "ui/examples/gallery_pages.h"
#include "ui/framework/window_system.h"
#include "ui/keyboard/keyboard_ctrl.h"

namespace {

constexpr unsigned kView = kGalleryKeyboardIds;
constexpr unsigned kFirstLayout = kGalleryKeyboardIds + 10;
constexpr unsigned kFirstMode = kGalleryKeyboardIds + 20;
constexpr unsigned kTips = kGalleryKeyboardIds + 30;
constexpr unsigned kFrameSelect = kGalleryKeyboardIds + 31;
constexpr unsigned kFirstPaint = kGalleryKeyboardIds + 40;
constexpr unsigned kModeCaption = kGalleryKeyboardIds + 50;
constexpr unsigned kLabels = kGalleryKeyboardIds + 80;
constexpr UINT kKeyMenuMessage = WM_USER + 801;
// The key menu's rows, with the program's ids.
enum KeyMenuRow : unsigned { kRestoreDefault = 606, kDisable = 607, kMacro = 608, kShortcut = 609 };
constexpr int kMusicFrameMs = 33;
constexpr int kPreviewFrames = 24;

struct LayoutChoice {
    const wchar_t* file;
    const wchar_t* title;
};
const LayoutChoice kLayouts[] = {
    {L"z5_wireless", L"Full size"},
    {L"z5_tkl", L"Tenkeyless"},
    {L"z5_mini", L"Compact"},
};

struct ModeChoice {
    int mode;
    const wchar_t* title;
    const wchar_t* caption;
};
const ModeChoice kModes[] = {
    {KeyboardCtrl::kModeBlocks, L"100 Blocks",
     L"Plain labelled blocks, no picture. Click a key to select it."},
    {KeyboardCtrl::kModeAssign, L"101 Assignment",
     L"The keyboard picture; assigned keys (W, A, S, D) are outlined, as are the hovered and the selected "
     L"key. Their tips tell what they do; a right click opens the key menu. With frame selection on, drag to "
     L"mark keys."},
    {KeyboardCtrl::kModeLightPreview, L"102 Lighting preview",
     L"Every key outlined with the alpha of the lighting preview's frames: a wave runs across."},
    {KeyboardCtrl::kModePaint, L"103 Per-key colours",
     L"Every key outlined in its own colour. A click paints the key in the paint colour, a second click "
     L"clears "
     L"it. With frame selection on, drag to mark keys; right-click paints the marked ones."},
    {KeyboardCtrl::kModeMusic, L"104 Music",
     L"Every key outlined in its own colour, fed here by a pretend spectrum at 30 frames a second."},
};

struct PaintChoice {
    const wchar_t* title;
    COLORREF colour;
};
const PaintChoice kPaints[] = {
    {L"Red", RGB(0xFF, 0x30, 0x30)},
    {L"Green", RGB(0x30, 0xFF, 0x60)},
    {L"Blue", RGB(0x30, 0x80, 0xFF)},
    {L"White", RGB(0xFF, 0xFF, 0xFF)},
};

// Hue 0..1 at full saturation and brightness.
COLORREF Hue(double h)
{
    h = (h - std::floor(h)) * 6.0;
    const double f = h - std::floor(h);
    const auto up = static_cast<uint8_t>(255 * f), down = static_cast<uint8_t>(255 * (1 - f));
    switch (static_cast<int>(h)) {
    case 0:
        return RGB(255, up, 0);
    case 1:
        return RGB(down, 255, 0);
    case 2:
        return RGB(0, 255, up);
    case 3:
        return RGB(0, down, 255);
    case 4:
        return RGB(up, 0, 255);
    default:
        return RGB(255, 0, down);
    }
}

class KeyboardGalleryPage;

// The key menu tells the page which row was chosen.
class KeyMenu : public MenuWnd {
public:
    explicit KeyMenu(KeyboardGalleryPage* page) : MenuWnd(nullptr), m_page(page) {}

protected:
    void OnItemClick(MenuItem* item) override;

private:
    KeyboardGalleryPage* m_page;
};

// The page's controls and what its choices do. It joins the window's tick and asks for it only while
// the music view plays.
class KeyboardGalleryPage : public MPanel {
public:
    KeyboardGalleryPage(MObject* parent, unsigned id, CRect rect) : MPanel(parent, id, rect, 1) {}

    int InitControl(PaintManager* manager) override
    {
        MPanel::InitControl(manager);
        AddMTimer();
        return 1;
    }

    void Build()
    {
        unsigned label = kLabels;
        GalleryHeading(this, label++, GalleryRect(this, 24, 8, 200, 24), L"Layout");
        for (size_t i = 0; i < std::size(kLayouts); ++i)
            Radio(kFirstLayout + static_cast<unsigned>(i), 24, 38 + 30 * static_cast<int>(i),
                  kLayouts[i].title, L"layout");
        GalleryHeading(this, label++, GalleryRect(this, 24, 138, 200, 24), L"Mode");
        for (size_t i = 0; i < std::size(kModes); ++i)
            Radio(kFirstMode + static_cast<unsigned>(i), 24, 168 + 30 * static_cast<int>(i), kModes[i].title,
                  L"mode");
        GalleryHeading(this, label++, GalleryRect(this, 24, 330, 200, 24), L"Options");
        m_tips = Check(kTips, 24, 360, L"Key tips");
        m_tips->SetCheck(1);
        m_frame = Check(kFrameSelect, 24, 390, L"Frame selection");
        GalleryHeading(this, label++, GalleryRect(this, 24, 430, 200, 24), L"Paint colour");
        for (size_t i = 0; i < std::size(kPaints); ++i)
            Radio(kFirstPaint + static_cast<unsigned>(i), 24 + 100 * static_cast<int>(i % 2),
                  460 + 30 * static_cast<int>(i / 2), kPaints[i].title, L"paint");

        m_view =
            GalleryControl<KeyboardCtrl>(this, L"KeyboardCtrl", kView, GalleryRect(this, 236, 40, 1000, 300));
        m_view->SetTitle(L"Keyboard view");
        m_view->SetFont(nullptr, 12, FontStyleRegular);
        m_caption = GalleryCaption(this, kModeCaption, GalleryRect(this, 236, 360, 1000, 60), L"");
        m_caption->SetFont(nullptr, 14, FontStyleRegular);
        GalleryCaption(
            this, label++, GalleryRect(this, 236, 430, 1000, 60),
            L"The keys come from the installation's layout files, the pictures from the theme. "
            L"Hover a key for its tip; the status line shows the view's notifications: 2 for a click "
            L"(key index and value), 5 for a right click, 24 for a frame dragged with the right "
            L"button.");

        Pick(kFirstLayout);
        Pick(kFirstMode + 1);
        Pick(kFirstPaint);
        ApplyOptions();
    }

    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override
    {
        if (code == 2 && id >= kFirstLayout && id < kFirstLayout + std::size(kLayouts))
            LoadLayout(id - kFirstLayout);
        else if (code == 2 && id >= kFirstMode && id < kFirstMode + std::size(kModes))
            SetMode(id - kFirstMode);
        else if ((code == 2 || code == 7) && (id == kTips || id == kFrameSelect))
            ApplyOptions();
        else if (code == 2 && id >= kFirstPaint && id < kFirstPaint + std::size(kPaints))
            m_view->SetCustomColor(kPaints[id - kFirstPaint].colour);
        else if (id == kView && code == KeyboardCtrl::kNotifyRightClick && m_mode == KeyboardCtrl::kModePaint)
            m_view->SetAllSelectColor(m_view->GetCustomColor());
        else if (id == kView && code == KeyboardCtrl::kNotifyRightClick &&
                 m_mode == KeyboardCtrl::kModeAssign)
            OpenKeyMenu(static_cast<unsigned long>(lParam));
        return MPanel::OnMessage(id, code, wParam, lParam);
    }

    int OnControlTimer(unsigned key) override
    {
        if (key != kAnimationTimerKey || m_mode != KeyboardCtrl::kModeMusic)
            return 0;
        const int64_t now = WindowSystem::NowMs();
        if (now - m_lastMusicFrame >= kMusicFrameMs) {
            m_lastMusicFrame = now;
            PlayMusicFrame(now);
        }
        return 1;
    }

    KeyboardCtrl* GetView() const { return m_view; }

    // A row of the key menu, for the key it was opened on; the view shows the key's new assignment.
    void Assign(unsigned row)
    {
        struct Outcome {
            unsigned row;
            const wchar_t* heading;
            const wchar_t* text;
        };
        const Outcome outcomes[] = {{kDisable, L"Key disabled", L""},
                                    {kMacro, L"Macro", L"Macro 1"},
                                    {kShortcut, L"Shortcut", L"Copy"}};
        for (const Outcome& o : outcomes) {
            if (o.row == row) {
                m_view->SetKeyCheck(m_menuKey, 1);
                m_view->SetTipKey(m_menuKey, o.heading, o.text);
                return;
            }
        }
        if (row == kRestoreDefault) {
            m_view->SetKeyCheck(m_menuKey, 0);
            m_view->SetTipKey(m_menuKey, L"", L"");
        }
    }

private:
    void OpenKeyMenu(unsigned long key)
    {
        if (key == 0 || !m_manager || !m_manager->IsInitialized())
            return;
        m_menuKey = key;
        CPoint at;
        WindowSystem::GetCursorPos(&at);
        m_menu = std::make_unique<KeyMenu>(this);
        m_menu->Create(m_manager->GetPaintWnd(), at, kKeyMenuMessage);
        m_menu->AddMenu(L"Restore default", kRestoreDefault);
        m_menu->AddMenu(L"Macro", kMacro);
        m_menu->AddMenu(L"Shortcut", kShortcut);
        m_menu->AddMenu(L"Disable", kDisable);
        m_menu->ShowWindow(SW_SHOW);
    }

    CRadioButton* Radio(unsigned id, int x, int y, const wchar_t* text, const wchar_t* group)
    {
        auto* radio =
            GalleryControl<CRadioButton>(this, L"CRadioButton", id, GalleryRect(this, x, y, 200, 28), text);
        radio->SetImage(L"btn_radiobox.png", 8);
        radio->SetTextColor(0xFFC8C8C8);
        radio->SetGroupName(group);
        return radio;
    }

    CCheckButton* Check(unsigned id, int x, int y, const wchar_t* text)
    {
        auto* check =
            GalleryControl<CCheckButton>(this, L"CCheckButton", id, GalleryRect(this, x, y, 200, 28), text);
        check->SetImage(L"btn_checkbox.png", 8);
        check->SetTextColor(0xFFC8C8C8);
        return check;
    }

    void Pick(unsigned id)
    {
        if (auto* radio = dynamic_cast<CRadioButton*>(GetControl(id)))
            radio->SetCheck(1);
        OnMessage(id, 2, 0, 0);
    }

    void ApplyOptions()
    {
        m_view->EnableKBTips(m_tips->GetCheck() != 0);
        m_view->EnableFrameSelect(m_frame->GetCheck());
    }

    void LoadLayout(size_t choice)
    {
        m_view->ClearItem();
        m_keys.clear();
        const CString path =
            ApplicationFolderWithSeparator() + L"layouts\\" + kLayouts[choice].file + L".xml";
        const std::optional<LayoutFile> layout = ReadLayoutFile(path);
        if (!layout || !layout->keyboard) {
            m_caption->SetTitle((L"No layout file " + path).c_str());
            return;
        }
        const KeyboardGeometry& g = *layout->keyboard;
        m_view->SetKeyboardImage(L"keyboard\\" + g.image);
        m_view->SetWidthAndHeight(g.width, g.height);
        for (const LayoutFile::Key& key : layout->keys) {
            m_view->AddKeyItem(key.item.name.c_str(), key.item.description.c_str(), key.item.code,
                               key.item.rect, key.item.icon);
            m_keys.push_back({key.item.code, key.item.rect});
        }
        m_pictureSize = CSize(g.width, g.height);
        SetMode(m_modeChoice);
    }

    void SetMode(size_t choice)
    {
        m_modeChoice = choice;
        m_mode = kModes[choice].mode;
        m_caption->SetTitle(kModes[choice].caption);
        m_view->ResetAllItemCheck();
        m_view->ResetTipKey();
        m_view->SetLightModeData(nullptr, 0);
        switch (m_mode) {
        case KeyboardCtrl::kModeAssign:
            MarkAssignedKeys();
            break;
        case KeyboardCtrl::kModeLightPreview:
            StartWave();
            break;
        case KeyboardCtrl::kModePaint:
            Rainbow();
            break;
        default:
            break;
        }
        m_view->SetKeyboardCtrlMode(m_mode);
        SetRunTimer(m_mode == KeyboardCtrl::kModeMusic ? 1 : 0);
    }

    void MarkAssignedKeys()
    {
        struct Assigned {
            unsigned code;
            const wchar_t* heading;
            const wchar_t* text;
        };
        const Assigned assigned[] = {
            {0x1A, L"Macro", L"Sprint"},
            {0x04, L"Another key", L"Left arrow"},
            {0x16, L"Shortcut", L"Copy"},
            {0x07, L"Key disabled", L""},
        };
        for (const Assigned& a : assigned) {
            m_view->SetKeyCheck(a.code, 1);
            m_view->SetTipKey(a.code, a.heading, a.text);
        }
    }

    double Across(const CRect& r) const
    {
        return m_pictureSize.cx > 0 ? (r.left + r.right) / 2.0 / m_pictureSize.cx : 0.0;
    }
    double Up(const CRect& r) const
    {
        return m_pictureSize.cy > 0 ? 1.0 - (r.top + r.bottom) / 2.0 / m_pictureSize.cy : 0.0;
    }

    void StartWave()
    {
        std::vector<unsigned char> data(kPreviewFrames * m_keys.size());
        for (int f = 0; f < kPreviewFrames; ++f) {
            for (size_t i = 0; i < m_keys.size(); ++i) {
                const double phase =
                    2 * std::numbers::pi * (static_cast<double>(f) / kPreviewFrames - Across(m_keys[i].rect));
                data[static_cast<size_t>(f) * m_keys.size() + i] =
                    static_cast<unsigned char>(30 + 225 * (0.5 + 0.5 * std::sin(phase)));
            }
        }
        m_view->SetLightSpeed(3);
        m_view->SetLightModeData(data.data(), static_cast<int>(data.size()));
    }

    void Rainbow()
    {
        for (const Key& k : m_keys)
            m_view->SetKeyColor(k.code, Hue(Across(k.rect) * 0.85));
    }

    // A spectrum of slowly moving bands: a key lights when its height is under its band's level, green at
    // the bottom through yellow to red at the top.
    void PlayMusicFrame(int64_t now)
    {
        const double t = static_cast<double>(now) / 1000.0;
        for (const Key& k : m_keys) {
            const double x = Across(k.rect);
            const double level = 0.15 + 0.35 * (0.5 + 0.5 * std::sin(t * 3.1 + x * 9.0)) +
                                 0.35 * (0.5 + 0.5 * std::sin(t * 5.3 - x * 4.0 + 1.0)) * (1.0 - x * 0.5);
            const double up = Up(k.rect);
            m_view->SetKeyColor(k.code, up <= level ? Hue(0.33 - 0.33 * std::clamp(up / 0.9, 0.0, 1.0))
                                                    : RGB(0x20, 0x20, 0x20));
        }
    }

    struct Key {
        unsigned code;
        CRect rect;
    };

    KeyboardCtrl* m_view = nullptr;
    MText* m_caption = nullptr;
    CCheckButton* m_tips = nullptr;
    CCheckButton* m_frame = nullptr;
    std::vector<Key> m_keys;
    std::unique_ptr<KeyMenu> m_menu;
    unsigned long m_menuKey = 0;
    CSize m_pictureSize;
    size_t m_modeChoice = 1;
    int m_mode = KeyboardCtrl::kModeAssign;
    int64_t m_lastMusicFrame = 0;
};

void KeyMenu::OnItemClick(MenuItem* item)
{
    m_page->Assign(item->GetID());
    MenuWnd::OnItemClick(item);
}

} // namespace

void BuildKeyboardGalleryPage(MPanel* page)
{
    auto* panel = static_cast<KeyboardGalleryPage*>(page->AddControl(
        std::make_unique<KeyboardGalleryPage>(page, kGalleryKeyboardIds - 1, page->GetRect())));
    panel->EnableScroll(0);
    panel->Build();
}
