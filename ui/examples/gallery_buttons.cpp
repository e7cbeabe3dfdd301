// The buttons page: push buttons, picture buttons and the other button-like controls.

#include "core/virtual_keys.h"
#include "ui/controls/c_help_button.h"
#include "ui/controls/c_icon_button.h"
#include "ui/controls/c_switch_button.h"
#include "ui/controls/c_text_button.h"
#include "ui/controls/c_timer_button.h"
#include "ui/controls/download_button.h"
#include "ui/controls/m_button.h"
#include "ui/examples/gallery_pages.h"

void BuildButtonsGalleryPage(MPanel* page)
{
    unsigned label = kGalleryButtonsIds + 80;
    GalleryHeading(page, label++, GalleryRect(page, 24, 16, 400, 24), L"Push buttons");

    auto* apply = GalleryControl<MButton>(page, L"MButton", kGalleryButtonsIds + 1,
                                          GalleryRect(page, 24, 52, 150, 38), L"Apply");
    apply->SetImage(L"btn_apply.png", 4);
    auto* disabled = GalleryControl<MButton>(page, L"MButton", kGalleryButtonsIds + 2,
                                             GalleryRect(page, 190, 52, 150, 38), L"Disabled");
    disabled->SetImage(L"btn_apply.png", 4);
    disabled->SetEnabled(0);
    auto* icon = GalleryControl<MButton>(page, L"MButton", kGalleryButtonsIds + 3,
                                         GalleryRect(page, 356, 52, 150, 38), L"Favourite");
    icon->SetImage(L"btn_apply.png", 4);
    icon->SetIconImage(L"gallery\\icons.png", 4);
    auto* refresh = GalleryControl<MButton>(page, L"MButton", kGalleryButtonsIds + 4,
                                            GalleryRect(page, 522, 52, 150, 38), L"Refresh (F5)");
    refresh->SetImage(L"btn_apply.png", 4);
    refresh->SetAccelerator(VK_F1 + 4);
    refresh->SetTooltip(L"F5 clicks this button from anywhere in the window");
    GalleryCaption(
        page, label++, GalleryRect(page, 24, 96, 660, 20),
        L"Hover, press and release; a release outside the button is no click. Tab, then Space or Enter.");

    GalleryHeading(page, label++, GalleryRect(page, 24, 136, 400, 24), L"Picture buttons");
    auto* close = GalleryControl<CImageButton>(page, L"CImageButton", kGalleryButtonsIds + 10,
                                               GalleryRect(page, 24, 172, 30, 30));
    close->SetImage(L"main_sysbtn_close.png", 4);
    if (!close->GetImage())
        close->SetTitle(L"\u2715");
    close->SetTooltip(L"A caption button: its four frames are drawn once and then only copied");
    auto* minimise = GalleryControl<CImageButton>(page, L"CImageButton", kGalleryButtonsIds + 11,
                                                  GalleryRect(page, 64, 172, 30, 30));
    minimise->SetImage(L"main_sysbtn_min.png", 4);
    if (!minimise->GetImage())
        minimise->SetTitle(L"\u2013");
    auto* star = GalleryControl<CImageButton>(page, L"CImageButton", kGalleryButtonsIds + 12,
                                              GalleryRect(page, 104, 164, 48, 46));
    star->SetIconImage(L"gallery\\icons.png", 4);
    GalleryCaption(page, label++, GalleryRect(page, 170, 176, 500, 20),
                   L"Window caption buttons and an icon button (icon 2 px right, 4 px up of the middle).");

    GalleryHeading(page, label++, GalleryRect(page, 24, 236, 400, 24), L"Other buttons");
    auto* text = GalleryControl<CTextButton>(page, L"CTextButton", kGalleryButtonsIds + 20,
                                             GalleryRect(page, 24, 272, 120, 30), L"Text button");
    text->SetTextColor(0xFFC8C8C8);
    auto* help = GalleryControl<CHelpButton>(page, L"CHelpButton", kGalleryButtonsIds + 21,
                                             GalleryRect(page, 160, 274, 26, 26));
    help->SetTooltip(L"Help buttons show what a setting does");
    auto* keyTip = GalleryControl<CIconButton>(page, L"CIconButton", kGalleryButtonsIds + 22,
                                               GalleryRect(page, 206, 270, 36, 34));
    keyTip->SetIconImage(L"gallery\\icons.png", 4);
    keyTip->SetKeyTip(L"Ctrl+S");
    auto* timer = GalleryControl<CTimerButton>(page, L"CTimerButton", kGalleryButtonsIds + 23,
                                               GalleryRect(page, 262, 268, 140, 38), L"Start 10 s");
    timer->SetImage(L"btn_apply.png", 4);
    auto* toggle = GalleryControl<CSwitchButton>(page, L"CSwitchButton", kGalleryButtonsIds + 24,
                                                 GalleryRect(page, 420, 270, 150, 34));
    toggle->SetTitle(L"Switch");
    toggle->SetTextColor(0xFFC8C8C8);
    auto* download = GalleryControl<DownloadButton>(page, L"DownloadButton", kGalleryDownload,
                                                    GalleryRect(page, 590, 268, 170, 38), L"Download");
    download->SetImage(L"btn_apply.png", 4);
    GalleryCaption(page, label++, GalleryRect(page, 24, 314, 760, 20),
                   L"Text button, help button (tooltip), icon button (key tip), timer button (notifies after "
                   L"10 s), switch, download button (click it).");
}
