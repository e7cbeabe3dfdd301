#pragma once
// The pages of KelvoUI's control gallery (kelvo_demo): each builder fills one page with the controls of a
// group, made by class name on the page. Pages report every notification through to the gallery
// dialog, which shows it in its status line. Control ids are a hundred per page.

#include "core/geometry.h"
#include "ui/framework/m_panel.h"

class MText;

enum GalleryIds : unsigned {
    // The dialog's own controls.
    kGalleryTitle = 10,
    kGallerySubtitle = 11,
    kGalleryClose = 12,
    kGalleryTabBar = 13,
    kGalleryStatus = 14,
    kGalleryFirstPage = 20, // pages 20, 21, …
    // Ids the dialog reacts to.
    kGalleryDownload = 130,
    kGalleryLinkedSlider = 230,
    kGalleryLinkedProgress = 231,
    // The first id of each page's controls.
    kGalleryButtonsIds = 100,
    kGalleryChoicesIds = 200,
    kGalleryTextsIds = 300,
    kGalleryPicturesIds = 400,
    kGalleryTabsIds = 500,
    kGalleryEditingIds = 600,
    kGalleryKeyFunctionsIds = 700,
    kGalleryKeyboardIds = 900,
    kGalleryColoursIds = 1000,
    kGalleryDevicesIds = 1100,
};

void BuildButtonsGalleryPage(MPanel* page);
void BuildChoicesGalleryPage(MPanel* page);
void BuildTextsGalleryPage(MPanel* page);
void BuildPicturesGalleryPage(MPanel* page);
void BuildTabsGalleryPage(MPanel* page);
// Edit boxes, rich edits, combo boxes, a list with renaming in place and a popup menu.
void BuildEditingGalleryPage(MPanel* page);
// The key function picker and the macro record list, with a recorder appending from a thread.
void BuildKeyFunctionsGalleryPage(MPanel* page);
// The colour wheel, swatch rows, the composite picker and the preset column.
void BuildColoursGalleryPage(MPanel* page);
// The editable profile list, the keyboard list, the battery gauge, the update buttons and DPI levels.
void BuildDevicesGalleryPage(MPanel* page);
// The keyboard view of each shipped layout in each mode (gallery_keyboard.cpp).
void BuildKeyboardGalleryPage(MPanel* page);

// --- Helpers for the builders ---

// A rectangle at (x, y) of the page, w × h.
inline CRect GalleryRect(const MPanel* page, int x, int y, int w, int h)
{
    const CRect p = page->GetRect();
    return {p.left + x, p.top + y, p.left + x + w, p.top + y + h};
}

// A control of a class made by name on the page.
template <class T = MControl>
T* GalleryControl(MPanel* page, const wchar_t* className, unsigned id, CRect rect, const wchar_t* title = L"")
{
    return static_cast<T*>(page->CreateControl(className, id, rect, title, 1, 1));
}

// A section heading (bold, light) and a small caption (grey).
MText* GalleryHeading(MPanel* page, unsigned id, CRect rect, const wchar_t* text);
MText* GalleryCaption(MPanel* page, unsigned id, CRect rect, const wchar_t* text);
// A faint box beneath the controls, showing where a control's rectangle is.
void GalleryOutline(MPanel* page, unsigned id, CRect rect);
