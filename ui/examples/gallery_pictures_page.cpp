// The pictures page: a picture in every show mode, animations, a framed photo and sliding pictures.

#include "ui/controls/c_gif_picture.h"
#include "ui/controls/c_photo_frame.h"
#include "ui/controls/c_slider_picture.h"
#include "ui/controls/m_picture.h"
#include "ui/examples/gallery_pages.h"

namespace {

MPicture* Picture(MPanel* page, unsigned id, CRect rect, const wchar_t* file, int count = 1)
{
    auto* picture = GalleryControl<MPicture>(page, L"MPicture", id, rect);
    picture->SetImage(file, count);
    return picture;
}

} // namespace

void BuildPicturesGalleryPage(MPanel* page)
{
    unsigned label = kGalleryPicturesIds + 80;
    unsigned outline = kGalleryPicturesIds + 60;
    GalleryHeading(page, label++, GalleryRect(page, 24, 16, 600, 24), L"Show modes");

    const CRect natural = GalleryRect(page, 24, 50, 240, 150);
    GalleryOutline(page, outline++, natural);
    Picture(page, kGalleryPicturesIds + 1, natural, L"gallery\\photo.png");
    GalleryCaption(page, label++, GalleryRect(page, 24, 204, 240, 18), L"Natural size, cut by the control");

    const CRect stretched = GalleryRect(page, 280, 50, 240, 150);
    Picture(page, kGalleryPicturesIds + 2, stretched, L"gallery\\photo.png")->SetShowMode(SHOW_MODE_STRETCH);
    GalleryCaption(page, label++, GalleryRect(page, 280, 204, 240, 18), L"Stretched");

    const CRect nine = GalleryRect(page, 536, 50, 240, 150);
    Picture(page, kGalleryPicturesIds + 3, nine, L"gallery\\badge.png")->SetShowModeMID(12, 12, 12, 12);
    GalleryCaption(page, label++, GalleryRect(page, 536, 204, 240, 18), L"Nine-slice of a 48 px picture");

    const CRect part = GalleryRect(page, 792, 50, 150, 150);
    GalleryOutline(page, outline++, part);
    auto* custom = Picture(page, kGalleryPicturesIds + 4, part, L"gallery\\photo.png");
    custom->SetCustomRect(CRect(170, 20, 320, 170));
    GalleryCaption(page, label++, GalleryRect(page, 792, 204, 160, 18), L"Custom part (the sun)");

    const CRect frame = GalleryRect(page, 960, 60, 24, 24);
    Picture(page, kGalleryPicturesIds + 5, frame, L"gallery\\icons.png", 4)->SetImageIndex(2);
    GalleryCaption(page, label++, GalleryRect(page, 960, 90, 140, 36), L"Frame 2 of a 4-frame strip");

    GalleryHeading(page, label++, GalleryRect(page, 24, 240, 600, 24), L"Animation, photo frame, slides");
    auto* gif = GalleryControl<CGifPicture>(page, L"CGifPicture", kGalleryPicturesIds + 10,
                                            GalleryRect(page, 24, 276, 100, 100));
    gif->SetImage(L"loading.gif", 1);
    GalleryCaption(page, label++, GalleryRect(page, 24, 380, 110, 36), L"Plays on the tick");
    auto* hover = GalleryControl<CGifPicture>(page, L"CGifPicture", kGalleryPicturesIds + 11,
                                              GalleryRect(page, 140, 276, 100, 100));
    hover->SetImage(L"loading.gif", 1);
    hover->SetMouseMoveActive(1);
    GalleryCaption(page, label++, GalleryRect(page, 140, 380, 110, 36), L"Plays while hovered");

    auto* photo = GalleryControl<CPhotoFrame>(page, L"CPhotoFrame", kGalleryPicturesIds + 12,
                                              GalleryRect(page, 280, 276, 240, 170));
    photo->SetImage(L"gallery\\photo.png", 1);
    photo->SetFrameImage(L"gallery\\frame.png", 8);
    GalleryCaption(page, label++, GalleryRect(page, 280, 450, 240, 18), L"Photo frame (a press notifies)");

    auto* slides = GalleryControl<CSliderPicture>(page, L"CSliderPicture", kGalleryPicturesIds + 13,
                                                  GalleryRect(page, 560, 276, 320, 180));
    slides->SetImage(L"gallery\\slides.png", 3);
    GalleryCaption(page, label++, GalleryRect(page, 560, 460, 360, 18),
                   L"Sliding pictures: click the left or right third, or Left/Right");
}
