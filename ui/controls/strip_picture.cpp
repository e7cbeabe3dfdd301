#include "ui/controls/strip_picture.h"

#include <algorithm>

#include "ui/framework/img_res_info.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"

bool StripPicture::Load(PaintManager* manager, const CString& name, int frames)
{
    file = name;
    requested = std::max(frames, 1);
    return Reload(manager);
}

bool StripPicture::Reload(PaintManager* manager)
{
    image.reset();
    frameWidth = frameHeight = 0;
    count = requested;
    if (!manager || file.empty())
        return false;
    const ImgResInfo* info = manager->AddImgResInfo(file.c_str(), requested);
    if (!info)
        return false;
    image = info->image;
    count = info->count;
    frameWidth = info->width;
    frameHeight = info->height;
    return true;
}

void StripPicture::Draw(Graphics* g, int frame, const CRect& dest) const
{
    if (!image || frameWidth <= 0 || dest.IsRectEmpty())
        return;
    const int f = std::clamp(frame, 0, count - 1);
    MRender::DrawImage(g, image.get(), dest, CRect(f * frameWidth, 0, (f + 1) * frameWidth, frameHeight));
}
