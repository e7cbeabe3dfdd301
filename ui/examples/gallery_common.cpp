#include "ui/controls/m_text.h"
#include "ui/examples/gallery_pages.h"
#include "ui/framework/c_area.h"

MText* GalleryHeading(MPanel* page, unsigned id, CRect rect, const wchar_t* text)
{
    auto* heading = GalleryControl<MText>(page, L"MText", id, rect, text);
    heading->SetFont(nullptr, 15, FontStyleBold);
    heading->SetTextColor(0xFFE6E6E6);
    return heading;
}

MText* GalleryCaption(MPanel* page, unsigned id, CRect rect, const wchar_t* text)
{
    auto* caption = GalleryControl<MText>(page, L"MText", id, rect, text);
    caption->SetFont(nullptr, 12, FontStyleRegular);
    caption->SetTextColor(0xFF969696);
    caption->SetVAlignment(0);
    caption->EnableMultiLine(1);
    return caption;
}

void GalleryOutline(MPanel* page, unsigned id, CRect rect)
{
    auto* area = static_cast<CArea*>(page->CreateArea(L"CArea", id, rect, L"", 1, 1));
    area->SetTransparent(88, 88, 0xFFFFFF);
}
