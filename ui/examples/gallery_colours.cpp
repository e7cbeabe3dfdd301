// The colours page: the colour wheel with a framed swatch showing what it picked, two rows of colour
// swatches (one checked per row; the first row also turns the wheel), the composite picker and the preset
// column. Every notification goes on to the gallery's status line.

#include <memory>

#include "ui/controls/m_text.h"
#include "ui/examples/gallery_pages.h"
#include "ui/keyboard/c_color_button.h"
#include "ui/keyboard/c_color_combo.h"
#include "ui/keyboard/c_color_palette.h"
#include "ui/keyboard/c_color_select.h"
#include "ui/keyboard/circle_palette.h"

namespace {

enum ColourIds : unsigned {
    kPanel = kGalleryColoursIds,
    kWheel,
    kPicked,
    kPickedText,
    kCrossed,
    kComposite,
    kPresets,
    kFirstRow = kGalleryColoursIds + 20,  // 8 swatches
    kSecondRow = kGalleryColoursIds + 30, // 8 swatches
    kLabels = kGalleryColoursIds + 80,
};

// The lighting page's rows: the colourful swatch, then red, green, blue, yellow, magenta, cyan, white.
constexpr COLORREF kRowColors[8] = {0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000,
                                    0x00FFFF, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
constexpr int kSwatch = 30;
constexpr int kSwatchPitch = 38;

// Holds the page's controls and keeps the wheel, the rows and the picked swatch in step.
class ColoursPanel : public MPanel {
public:
    ColoursPanel(MObject* parent, unsigned id, CRect rect) : MPanel(parent, id, rect, 1) {}

    void Build();
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override
    {
        if (id == kWheel && code == CirclePalette::kNotifyColor)
            ShowPicked(static_cast<COLORREF>(lParam));
        if (id > kFirstRow && id < kFirstRow + 8 && code == 1) {
            const COLORREF c = static_cast<CColorButton*>(GetControl(id))->GetColor();
            m_wheel->SetColor(c);
            ShowPicked(c);
        }
        return MPanel::OnMessage(id, code, wParam, lParam);
    }
    void DrawControl(HDC&, CRect) override {}

private:
    void Row(unsigned firstId, int y, const wchar_t* group);
    void ShowPicked(COLORREF c)
    {
        m_picked->SetAreaColor(ColorRefToARGB(c));
        m_pickedText->SetTitle(CColorPalette::HexText(c).insert(0, L"#").c_str());
    }

    CirclePalette* m_wheel = nullptr;
    CColorCombo* m_picked = nullptr;
    MText* m_pickedText = nullptr;
};

void ColoursPanel::Row(unsigned firstId, int y, const wchar_t* group)
{
    for (int i = 0; i < 8; ++i) {
        auto* swatch =
            GalleryControl<CColorButton>(this, L"CColorButton", firstId + i,
                                         GalleryRect(this, 24 + i * kSwatchPitch, y, kSwatch, kSwatch));
        swatch->SetGroupName(group);
        swatch->SetColor(kRowColors[i]);
        if (i == 0)
            swatch->SetImage(L"btn_colorful.png", 4);
        if (i == 7)
            swatch->SetVisibleBorder(true);
    }
    static_cast<CColorButton*>(GetControl(firstId))->SetCheck(1);
}

void ColoursPanel::Build()
{
    unsigned label = kLabels;
    GalleryHeading(this, label++, GalleryRect(this, 24, 16, 300, 24), L"Colour wheel");
    m_wheel =
        GalleryControl<CirclePalette>(this, L"CirclePalette", kWheel, GalleryRect(this, 24, 50, 140, 140));
    m_wheel->SetImage(L"img_circlepalette.png", 1);
    m_picked = static_cast<CColorCombo*>(
        AddControl(std::make_unique<CColorCombo>(this, kPicked, GalleryRect(this, 190, 60, 60, 60), 1, 1)));
    m_pickedText = static_cast<MText*>(
        CreateControl(L"MText", kPickedText, GalleryRect(this, 190, 126, 120, 20), L"", 1, 0));
    m_pickedText->SetTextColor(0xFFC8C8C8);
    ShowPicked(m_wheel->GetColor());
    auto* crossed = static_cast<CColorCombo*>(
        AddControl(std::make_unique<CColorCombo>(this, kCrossed, GalleryRect(this, 190, 156, 60, 30), 1, 0)));
    crossed->SetAreaColor(0xFE646464);
    GalleryCaption(this, label++, GalleryRect(this, 24, 196, 300, 36),
                   L"Click or drag the thumb; the framed swatch shows the pick. Below it: disabled.");

    GalleryHeading(this, label++, GalleryRect(this, 24, 250, 300, 24), L"Swatch rows");
    Row(kFirstRow, 284, L"first_row");
    Row(kSecondRow, 330, L"second_row");
    GalleryCaption(this, label++, GalleryRect(this, 24, 372, 310, 54),
                   L"One swatch of each row is checked. The first row also sets the wheel; white has the "
                   L"bordered look.");

    GalleryHeading(this, label++, GalleryRect(this, 380, 16, 300, 24), L"Composite picker");
    auto* composite = GalleryControl<CColorPalette>(this, L"CColorPalette", kComposite,
                                                    GalleryRect(this, 380, 50, 330, 190));
    composite->SetTextColor(0xFFC8C8C8);
    GalleryCaption(this, label++, GalleryRect(this, 380, 250, 330, 54),
                   L"Presets, the hue and lightness field with its saturation bar, the spinners and the hex "
                   L"box follow one another.");

    GalleryHeading(this, label++, GalleryRect(this, 760, 16, 300, 24), L"Preset column");
    auto* presets =
        GalleryControl<CColorSelect>(this, L"CColorSelect", kPresets, GalleryRect(this, 760, 50, 30, 190));
    presets->SetColorIndex(0);
    GalleryCaption(this, label++, GalleryRect(this, 800, 55, 220, 54), L"Seven presets, one checked.");
}

} // namespace

void BuildColoursGalleryPage(MPanel* page)
{
    if (!page)
        return;
    auto* panel = static_cast<ColoursPanel*>(
        page->AddControl(std::make_unique<ColoursPanel>(page, kPanel, page->GetRect())));
    panel->Build();
}
