// The tabs and scrolling page: a row of tabs and a column of tabs, each with pages of their own, a list
// that scrolls, and scroll bars on their own.

#include <iterator>
#include <memory>

#include "ui/controls/m_scroll.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/controls/m_text.h"
#include "ui/examples/gallery_pages.h"
#include "ui/framework/m_render.h"

namespace {

// A list of lighting modes with a colour swatch each: it draws its rows itself and scrolls.
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
            MRender::DrawColor(&m_memDC, CRect(0, 0, m_rect.Width(), m_rect.Height()), 0xFF2C2C2C);
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
                                       0xFF440059);
                MRender::DrawRoundRectange(g, 12, static_cast<float>(top + 9), 12, 12, 2, 0xC0FFFFFF, 1, true,
                                           kModes[i].swatch);
                MRender::DrawString(g, kModes[i].name, font,
                                    CRect(34, top, m_rect.Width() - 10, top + kRowHeight), format,
                                    0xFFE6E6E6);
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

MTabLayout* Page(MPanel* page, unsigned id, CRect rect)
{
    return GalleryControl<MTabLayout>(page, L"MTabLayout", id, rect);
}

MText* PageText(MPanel* page, unsigned id, CRect rect, const wchar_t* text)
{
    auto* label = GalleryControl<MText>(page, L"MText", id, rect, text);
    label->SetTextColor(0xFFE6E6E6);
    label->EnableMultiLine(1);
    label->EnableVCenter(1);
    label->SetAlignment(1);
    return label;
}

} // namespace

void BuildTabsGalleryPage(MPanel* page)
{
    unsigned label = kGalleryTabsIds + 80;
    GalleryHeading(page, label++, GalleryRect(page, 24, 16, 400, 24), L"Tabs in a row");
    auto* row =
        GalleryControl<MTabCtrl>(page, L"MTabCtrl", kGalleryTabsIds + 1, GalleryRect(page, 24, 48, 520, 36));
    row->SetTextColor(0xFFADADAD);
    row->SetItemWidth(120, 150, 1);
    row->SetAnimateChange(1);
    row->EnableItemButton(1);
    const wchar_t* rowNames[] = {L"Profile 1", L"Profile 2", L"Profile 3"};
    for (unsigned i = 0; i < 3; ++i) {
        MTabLayout* tabPage = Page(page, kGalleryTabsIds + 10 + i, GalleryRect(page, 24, 88, 520, 120));
        PageText(tabPage, kGalleryTabsIds + 20 + i, GalleryRect(page, 24, 88, 520, 120),
                 i == 0 ? L"The first page. The selected tab is wider; the mark under it slides to the next."
                 : i == 1 ? L"The second page. The small cross on a tab notifies without selecting it."
                          : L"The third page. Tab to the bar and use the arrow keys, Home and End.");
        row->InsertItem(i, rowNames[i], nullptr, tabPage);
    }
    row->SetSelectItem(0);

    GalleryHeading(page, label++, GalleryRect(page, 24, 222, 400, 24), L"Tabs in a column, with icons");
    // The program's own tab pictures: 80 × 80 with room for the label under the icon.
    auto* column =
        GalleryControl<MTabCtrl>(page, L"MTabCtrl", kGalleryTabsIds + 2, GalleryRect(page, 24, 250, 80, 320));
    column->SetTabType(1);
    column->SetTextColor(0xFFADADAD);
    column->SetFont(nullptr, 12, FontStyleRegular);
    column->SetAnimateChange(1);
    struct Tab {
        const wchar_t* text;
        const wchar_t* icon;
    };
    const Tab columnTabs[] = {{L"Home", L"icon\\tab_home.png"},
                              {L"Keys", L"icon\\tab_customkey.png"},
                              {L"Lighting", L"icon\\tab_light.png"},
                              {L"Hidden", L"icon\\tab_macro.png"},
                              {L"Settings", L"icon\\tab_config.png"}};
    const CRect columnPages = GalleryRect(page, 120, 250, 420, 320);
    for (unsigned i = 0; i < std::size(columnTabs); ++i) {
        MTabLayout* tabPage = Page(page, kGalleryTabsIds + 30 + i, columnPages);
        PageText(tabPage, kGalleryTabsIds + 40 + i, columnPages,
                 i == 3 ? L"A hidden tab"
                        : (std::wstring(L"Page \u201C") + columnTabs[i].text + L"\u201D").c_str());
        column->InsertItem(30 + i, columnTabs[i].text, columnTabs[i].icon, tabPage, 4);
    }
    column->SetItemVisible(3, 0);
    column->SetTabTooltip(4, L"Settings live here");
    column->SetSelectItem(0);

    GalleryHeading(page, label++, GalleryRect(page, 600, 16, 400, 24), L"Scrolling");
    auto* list = static_cast<ModeList*>(page->AddControl(
        std::make_unique<ModeList>(page, kGalleryTabsIds + 50, GalleryRect(page, 600, 48, 240, 180))));
    list->Fill();
    GalleryCaption(page, label++, GalleryRect(page, 600, 232, 260, 36),
                   L"A list panel: wheel, or drag its bar.");

    auto* horizontal = static_cast<MScroll*>(page->AddControl(std::make_unique<CScrollHorizontal>(
        page, kGalleryTabsIds + 51, GalleryRect(page, 600, 290, 300, 12), 1)));
    horizontal->SetScrollInfo(100, 25, 40);
    horizontal->SetStep(5);
    auto* vertical = static_cast<MScroll*>(page->AddControl(std::make_unique<CScrollVertical>(
        page, kGalleryTabsIds + 52, GalleryRect(page, 920, 48, 12, 254), 1)));
    vertical->SetScrollInfo(200, 50, 0);
    vertical->SetStep(10);
    GalleryCaption(page, label++, GalleryRect(page, 600, 310, 300, 36),
                   L"Scroll bars on their own report their position (code 8).");
}
