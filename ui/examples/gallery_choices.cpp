// The choices page: check boxes, two radio groups, sliders, a progress bar, a level selector and
// spinners.

#include "ui/controls/c_check_button.h"
#include "ui/controls/c_radio_button.h"
#include "ui/controls/m_level_ctrl.h"
#include "ui/controls/m_progress.h"
#include "ui/controls/m_slider.h"
#include "ui/controls/m_spin_button.h"
#include "ui/examples/gallery_pages.h"

namespace {

CCheckButton* Check(MPanel* page, unsigned id, int x, int y, const wchar_t* text)
{
    auto* check =
        GalleryControl<CCheckButton>(page, L"CCheckButton", id, GalleryRect(page, x, y, 220, 30), text);
    check->SetImage(L"btn_checkbox.png", 8);
    check->SetTextColor(0xFFC8C8C8);
    return check;
}

CRadioButton* Radio(MPanel* page, unsigned id, int x, int y, const wchar_t* text, const wchar_t* group)
{
    auto* radio =
        GalleryControl<CRadioButton>(page, L"CRadioButton", id, GalleryRect(page, x, y, 220, 30), text);
    radio->SetImage(L"btn_radiobox.png", 8);
    radio->SetTextColor(0xFFC8C8C8);
    radio->SetGroupName(group);
    return radio;
}

} // namespace

void BuildChoicesGalleryPage(MPanel* page)
{
    unsigned label = kGalleryChoicesIds + 80;
    GalleryHeading(page, label++, GalleryRect(page, 24, 16, 300, 24), L"Check boxes");
    Check(page, kGalleryChoicesIds + 1, 24, 50, L"Start with the system");
    Check(page, kGalleryChoicesIds + 2, 24, 84, L"Show tips")->SetCheck(1);
    auto* disabled = Check(page, kGalleryChoicesIds + 3, 24, 118, L"Not available");
    disabled->SetEnabled(0);

    GalleryHeading(page, label++, GalleryRect(page, 300, 16, 300, 24), L"Radio groups");
    GalleryCaption(page, label++, GalleryRect(page, 300, 42, 240, 18), L"Group \"close\"");
    Radio(page, kGalleryChoicesIds + 10, 300, 62, L"Hide to the tray", L"close")->SetCheck(1);
    Radio(page, kGalleryChoicesIds + 11, 300, 94, L"Exit the program", L"close");
    Radio(page, kGalleryChoicesIds + 12, 300, 126, L"Ask every time", L"close");
    GalleryCaption(page, label++, GalleryRect(page, 560, 42, 240, 18), L"No group name");
    Radio(page, kGalleryChoicesIds + 13, 560, 62, L"Small", L"")->SetCheck(1);
    Radio(page, kGalleryChoicesIds + 14, 560, 94, L"Large", L"");

    GalleryHeading(page, label++, GalleryRect(page, 24, 180, 300, 24), L"Sliders");
    auto* speed = GalleryControl<MSlider>(page, L"MSlider", kGalleryChoicesIds + 20,
                                          GalleryRect(page, 24, 214, 360, 56));
    speed->SetTitle(L"Speed: ");
    speed->SetImage(L"img_slider.png", 1);
    speed->SetThumbImage(L"img_slider_thumb.png");
    speed->SetProgress(4);
    auto* linked =
        GalleryControl<MSlider>(page, L"MSlider", kGalleryLinkedSlider, GalleryRect(page, 24, 284, 360, 56));
    linked->SetTitle(L"Brightness: ");
    linked->SetMaxProgress(100);
    linked->SetScale(10);
    linked->SetProgress(60);
    GalleryCaption(page, label++, GalleryRect(page, 24, 344, 400, 36),
                   L"Drag, click the track, turn the wheel, or Tab to it and use the arrow keys.");

    GalleryHeading(page, label++, GalleryRect(page, 440, 180, 300, 24), L"Progress and level");
    auto* progress = GalleryControl<MProgress>(page, L"MProgress", kGalleryLinkedProgress,
                                               GalleryRect(page, 440, 220, 300, 20));
    progress->SetShowText(1);
    progress->SetFont(nullptr, 12, FontStyleBold);
    progress->SetProgress(60);
    GalleryCaption(page, label++, GalleryRect(page, 440, 246, 300, 18),
                   L"The bar follows the brightness slider.");
    auto* level = GalleryControl<MLevelCtrl>(page, L"MLevelCtrl", kGalleryChoicesIds + 30,
                                             GalleryRect(page, 440, 280, 150, 48));
    level->SetLevel(3);
    GalleryCaption(page, label++, GalleryRect(page, 600, 300, 200, 18), L"Click a bar to choose a level.");

    GalleryHeading(page, label++, GalleryRect(page, 820, 180, 300, 24), L"Spinners");
    auto* spin = GalleryControl<MSpinButton>(page, L"MSpinButton", kGalleryChoicesIds + 40,
                                             GalleryRect(page, 820, 220, 120, 32));
    spin->SetRange(0, 20);
    spin->SetValue(5);
    auto* typed = GalleryControl<CSpinButton>(page, L"CSpinButton", kGalleryChoicesIds + 41,
                                              GalleryRect(page, 960, 220, 120, 32));
    typed->SetRange(-50, 50);
    typed->SetStep(5);
    GalleryCaption(page, label++, GalleryRect(page, 820, 260, 300, 36),
                   L"Arrows (hold to repeat) and the wheel; the right one also takes typed numbers.");
}
