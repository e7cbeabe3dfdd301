// Opens a KelvoUI dialog on the user's display: a skinned background, a tinted area, text in several
// sizes, a scrolling list panel, a tooltip on the info badge and a close button. Drag the window by any
// empty spot; close it with its button, Escape or the window manager's close. Prints the dialog's result.
// `kelvo_demo --page editing` opens a dialog with one page of the control gallery instead.

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/wide_text.h"
#include "ui/controls/m_scroll.h"
#include "ui/examples/gallery_pages.h"
#include "ui/framework/c_area.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/m_dialog.h"
#include "ui/framework/m_panel.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/window_system.h"

namespace {

enum DemoIds : unsigned { kTitle = 10, kSubtitle, kBody, kSmall, kTint, kList, kInfo, kClose };

// A line of text in the control's font, size and colour.
class Label : public MControlFont {
public:
    Label(MObject* parent, unsigned id, CRect rect, const wchar_t* text, int size, int style, ARGB colour)
        : MControlFont(parent, id, rect, text, 1, 0, 1)
    {
        m_fontSize = size;
        m_fontStyle = style;
        m_textColor = colour;
        m_vAlign = 0;
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

// A round badge with a letter; its tooltip explains the dialog.
class InfoBadge : public MControlFont {
public:
    InfoBadge(MObject* parent, unsigned id, CRect rect) : MControlFont(parent, id, rect, L"i", 1, 1, 1)
    {
        m_fontSize = 15;
        m_fontStyle = FontStyleBold;
        m_hAlign = 1;
        SetCursorEx(IDC_HAND);
    }

    void DrawControl(HDC& hdc, CRect clip) override
    {
        if (UpdateMemDC(hdc, m_rect.Width(), m_rect.Height())) {
            GraphicsOn g(m_memDC);
            const auto w = static_cast<float>(m_rect.Width());
            MRender::DrawRoundRectange(g, 1, 1, w - 2, w - 2, 1, 0xFFB48CE6, 1.5f, true,
                                       m_hot ? 0xFF6A2A9A : 0xFF44215F);
            DrawTitle(g, CRect(0, 0, m_rect.Width(), m_rect.Height()));
        }
        CopyMemDC(hdc, clip);
    }
    int OnControlMouseMove(unsigned, CPoint point) override
    {
        const bool hot = PtInRect(point) != 0;
        if (hot != m_hot) {
            m_hot = hot;
            UpdateControl();
        }
        return 0;
    }

private:
    bool m_hot = false;
};

// A push button drawn as a rounded rectangle; notification 2 on a click.
class PushButton : public MControlFont {
public:
    PushButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title)
        : MControlFont(parent, id, rect, title, 1, 1, 1)
    {
        m_hAlign = 1;
        m_fontStyle = FontStyleBold;
        SetCursorEx(IDC_HAND);
    }

    void DrawControl(HDC& hdc, CRect clip) override
    {
        if (UpdateMemDC(hdc, m_rect.Width(), m_rect.Height())) {
            GraphicsOn g(m_memDC);
            const ARGB fill = m_pressed ? 0xFF8A3FC4 : m_hot ? 0xFF7A33B0 : 0xFF5E2088;
            MRender::DrawRoundRectange(g, 0.5f, 0.5f, static_cast<float>(m_rect.Width() - 1),
                                       static_cast<float>(m_rect.Height() - 1), 4, 0xFFB48CE6, 1, true, fill);
            DrawTitle(g, CRect(0, 0, m_rect.Width(), m_rect.Height()));
        }
        CopyMemDC(hdc, clip);
    }
    int OnControlMouseMove(unsigned, CPoint point) override
    {
        const bool hot = PtInRect(point) != 0;
        if (hot != m_hot) {
            m_hot = hot;
            UpdateControl();
        }
        return 0;
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

private:
    bool m_hot = false;
};

// A list of lighting modes with a colour swatch each; it draws its rows itself and scrolls.
class ModeList : public MPanel {
public:
    static constexpr int kRowHeight = 30;

    ModeList(MObject* parent, unsigned id, CRect rect) : MPanel(parent, id, rect, 1)
    {
        m_fontSize = 13;
        m_vScroll->SetStep(kRowHeight);
    }

    void Fill() { SetVirtualSize(m_rect.Width(), static_cast<int>(std::size(kModes)) * kRowHeight); }

    void DrawControl(HDC& hdc, CRect clip) override
    {
        if (UpdateMemDC(hdc, m_rect.Width(), m_rect.Height())) {
            GraphicsOn g(m_memDC);
            MRender::DrawRoundRectange(g, 0.5f, 0.5f, static_cast<float>(m_rect.Width() - 1),
                                       static_cast<float>(m_rect.Height() - 1), 20, 0x40FFFFFF, 1, true,
                                       0x18FFFFFF);
            const int offset = GetScrollOffset().y;
            const TextFont font = DrawFont();
            StringFormat format;
            format.lineAlignment = StringAlignmentCenter;
            format.flags = StringFormatFlagsNoWrap;
            for (int i = 0; i < static_cast<int>(std::size(kModes)); ++i) {
                const int top = i * kRowHeight - offset;
                if (top + kRowHeight < 0 || top > m_rect.Height())
                    continue;
                if (i == m_hover)
                    MRender::DrawColor(&m_memDC, CRect(1, top, m_rect.Width() - 9, top + kRowHeight),
                                       0x30B48CE6);
                MRender::DrawRoundRectange(g, 12, static_cast<float>(top + 9), 12, 12, 2, 0xC0FFFFFF, 1, true,
                                           kModes[i].swatch);
                MRender::DrawString(g, kModes[i].name, font,
                                    CRect(34, top, m_rect.Width() - 10, top + kRowHeight), format,
                                    0xFFE8E4F0);
            }
        }
        CopyMemDC(hdc, clip);
    }

    int OnControlMouseMove(unsigned, CPoint point) override
    {
        int hover = -1;
        if (PtInRect(point) && point.x < m_rect.right - m_scrollBarSize)
            hover = (point.y - m_rect.top + GetScrollOffset().y) / kRowHeight;
        if (hover != m_hover) {
            m_hover = hover;
            UpdateControl();
        }
        return 0;
    }

private:
    struct Mode {
        const wchar_t* name;
        ARGB swatch;
    };
    static constexpr Mode kModes[] = {
        {L"Static", 0xFFE04040},   {L"Breathing", 0xFFE0A040}, {L"Wave", 0xFF40C0E0},
        {L"Ripple", 0xFF4060E0},   {L"Reactive", 0xFFA040E0},  {L"Starlight", 0xFFE0E040},
        {L"Spectrum", 0xFF40E080}, {L"Music", 0xFFE040A0},     {L"Screen", 0xFF80A0C0},
        {L"Custom", 0xFFFFFFFF},
    };
    int m_hover = -1;
};

class DemoDialog : public MDialog {
public:
    int InitUI(CRect client) override
    {
        LoadBKImage(L"demo\\bk_dialog.png");
        SetBackMode(BACK_MODE_FRAME, 12);
        auto* tint = static_cast<CArea*>(CreateArea(L"CArea", kTint, CRect(16, 118, client.right - 16, 256)));
        if (tint)
            tint->SetTransparent(92, 70, RGB(180, 140, 230));
        Add<Label>(kTitle, CRect(28, 22, 400, 58), Manager::GetDeviceName().c_str(), 28, FontStyleBold,
                   0xFFFFFFFF);
        Add<Label>(kSubtitle, CRect(30, 62, 420, 84), L"KelvoUI paint manager", 16, FontStyleRegular,
                   0xFFD6C8EE);
        Add<Label>(kBody, CRect(30, 128, 250, 148), L"Lighting modes", 14, FontStyleBold, 0xFFFFFFFF);
        Add<Label>(kSmall, CRect(30, 150, 250, 232), L"Scroll the list with the wheel or drag its bar.", 11,
                   FontStyleItalic, 0xFFB8B0C8);
        auto* info = Add<InfoBadge>(kInfo, CRect(client.right - 52, 26, client.right - 28, 50));
        info->SetTooltip(L"Controls are drawn by the paint manager; this tip is the window's tooltip.");
        auto* list = Add<ModeList>(kList, CRect(260, 128, client.right - 28, 246));
        list->Fill();
        Add<PushButton>(kClose,
                        CRect(client.right - 128, client.bottom - 52, client.right - 28, client.bottom - 22),
                        L"Close");
        return 0;
    }

    long OnMessage(unsigned id, unsigned code, unsigned, long) override
    {
        if (id == kClose && code == 2)
            DoOK();
        return 0;
    }

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
            DoCancel();
            return 0;
        }
        return MDialog::OnWindowMessage(msg, wParam, lParam);
    }

private:
    template <class T, class... Args> T* Add(unsigned id, CRect rect, Args&&... args)
    {
        return static_cast<T*>(
            m_paintManager.AddControl(std::make_unique<T>(this, id, rect, std::forward<Args>(args)...)));
    }
};

// One page of the control gallery in a dialog of its own.
class GalleryPageDialog : public MDialog {
public:
    explicit GalleryPageDialog(void (*build)(MPanel*)) : m_build(build) {}

    int InitUI(CRect client) override
    {
        LoadBKImage(L"demo\\bk_dialog.png");
        SetBackMode(BACK_MODE_FRAME, 12);
        CRect area = client;
        area.DeflateRect(10, 10);
        auto* page =
            static_cast<MPanel*>(m_paintManager.AddControl(std::make_unique<MPanel>(this, 1, area, 1)));
        m_build(page);
        return 0;
    }

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
            DoCancel();
            return 0;
        }
        return MDialog::OnWindowMessage(msg, wParam, lParam);
    }

private:
    void (*m_build)(MPanel*);
};

int RunGalleryPage(const char* name)
{
    if (std::strcmp(name, "editing") != 0) {
        std::fprintf(stderr, "kelvo_demo: no gallery page \"%s\" (pages: editing)\n", name);
        return 2;
    }
    GalleryPageDialog dialog(&BuildEditingGalleryPage);
    if (!dialog.Create(nullptr, L"KelvoUI gallery: editing", WS_POPUP, 0, CRect(0, 0, 860, 450))) {
        std::fprintf(stderr, "kelvo_demo: the window could not be created\n");
        return 1;
    }
    dialog.CenterWindow();
    std::printf("dialog result: %u\n", dialog.ShowModal(SW_SHOW));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Typed characters reach the input method in the user's encoding.
    std::setlocale(LC_ALL, "");
    if (!WindowSystem::Backend().IsAvailable()) {
        std::fprintf(stderr, "kelvo_demo: no display to open a window on\n");
        return 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--page") == 0)
        return RunGalleryPage(argv[2]);
    if (argc != 1) {
        std::fprintf(stderr, "usage: kelvo_demo [--page editing]\n");
        return 2;
    }
    DemoDialog dialog;
    if (!dialog.Create(nullptr, L"KelvoUI demo", WS_POPUP, 0, CRect(0, 0, 560, 330))) {
        std::fprintf(stderr, "kelvo_demo: the window could not be created\n");
        return 1;
    }
    dialog.CenterWindow();
    const unsigned result = dialog.ShowModal(SW_SHOW);
    std::printf("dialog result: %u\n", result);
    return 0;
}
