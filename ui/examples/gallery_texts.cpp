// The texts page: labels in their variants and a scrolling text block.

#include "ui/controls/c_text_area.h"
#include "ui/controls/m_text.h"
#include "ui/examples/gallery_pages.h"

namespace {

MText* Label(MPanel* page, unsigned id, CRect rect, const wchar_t* text)
{
    auto* label = GalleryControl<MText>(page, L"MText", id, rect, text);
    label->SetTextColor(0xFFE6E6E6);
    return label;
}

} // namespace

void BuildTextsGalleryPage(MPanel* page)
{
    unsigned id = kGalleryTextsIds + 1;
    unsigned label = kGalleryTextsIds + 80;
    GalleryHeading(page, label++, GalleryRect(page, 24, 16, 400, 24), L"Single line and alignment");
    const wchar_t* aligned[] = {L"Left", L"Centred", L"Right"};
    for (int h = 0; h < 3; ++h) {
        const CRect r = GalleryRect(page, 24 + h * 190, 50, 180, 30);
        GalleryOutline(page, kGalleryTextsIds + 60 + static_cast<unsigned>(h), r);
        Label(page, id++, r, aligned[h])->SetAlignment(h);
    }
    Label(page, id++, GalleryRect(page, 24, 90, 560, 24),
          L"A single line is never wrapped, however long it is: it simply ends at the edge of its rectangle");

    GalleryHeading(page, label++, GalleryRect(page, 24, 130, 400, 24), L"Looks");
    auto* shadow = Label(page, id++, GalleryRect(page, 24, 164, 180, 30), L"With a shadow");
    shadow->SetFont(nullptr, 18, FontStyleBold);
    shadow->EnableShadow(1);
    auto* back = Label(page, id++, GalleryRect(page, 214, 164, 180, 30), L"With a background");
    back->SetAlignment(1);
    back->EnableTextBack(1, 0xFF3A3A3A);
    auto* icon = Label(page, id++, GalleryRect(page, 404, 164, 180, 30), L"With an icon");
    icon->SetImage(L"gallery\\icons.png", 4);
    auto* mark = Label(page, id++, GalleryRect(page, 24, 204, 560, 30), L"");
    mark->SetTitleMarkText(L"Press Fn + F1 to switch the profile on the keyboard", L"Fn + F1");
    mark->SetFont(nullptr, 16, FontStyleRegular);

    GalleryHeading(page, label++, GalleryRect(page, 24, 250, 400, 24), L"Several lines");
    const CRect wrappedRect = GalleryRect(page, 24, 284, 270, 110);
    GalleryOutline(page, kGalleryTextsIds + 63, wrappedRect);
    auto* wrapped =
        Label(page, id++, wrappedRect,
              L"Wrapped at the width of the label, from the top. Long texts of messages and hints are "
              L"shown like this.");
    wrapped->EnableMultiLine(1);
    const CRect centredRect = GalleryRect(page, 310, 284, 270, 110);
    GalleryOutline(page, kGalleryTextsIds + 64, centredRect);
    auto* centred =
        Label(page, id++, centredRect, L"Wrapped and centred both ways, as a message box shows its text.");
    centred->EnableMultiLine(1);
    centred->EnableVCenter(1);
    centred->SetAlignment(1);
    // A label made exactly as tall as its wrapped text.
    auto* fitted =
        Label(page, id++, GalleryRect(page, 24, 410, 556, 200),
              L"This label was made as tall as its text: GetVirtualHeight measured the wrapped lines and "
              L"the label took that height, with the outline drawn around it.");
    fitted->EnableMultiLine(1);
    const int height = fitted->GetVirtualHeight();
    fitted->SetRect(GalleryRect(page, 24, 410, 556, height));
    GalleryOutline(page, kGalleryTextsIds + 65, GalleryRect(page, 24, 410, 556, height));

    GalleryHeading(page, label++, GalleryRect(page, 640, 16, 400, 24), L"Text block");
    auto* area = GalleryControl<CTextArea>(
        page, L"CTextArea", id++, GalleryRect(page, 640, 50, 420, 220),
        L"A text block wraps its text and scrolls when it is taller than the block: turn the wheel over it, "
        L"or "
        L"Tab to it and use the arrow keys, Page Up, Page Down, Home and End.\n\n"
        L"Lighting modes: Static shows one colour on every key. Breathing fades it in and out. Wave runs "
        L"across the keyboard from one side to the other. Ripple spreads from each key you press. Reactive "
        L"lights the keys you press and lets them fade. Starlight sparkles random keys. Spectrum cycles "
        L"through every colour. Music follows what the computer plays. Screen follows the colours on the "
        L"screen. Custom shows the colours you painted on each key.\n\n"
        L"Macros record key presses and releases with their delays, and play them back once, a number of "
        L"times, or while the key is held.");
    area->SetTextColor(0xFFC8C8C8);
    GalleryOutline(page, kGalleryTextsIds + 66, GalleryRect(page, 640, 50, 420, 220));
}
