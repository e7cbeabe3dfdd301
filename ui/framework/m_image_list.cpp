#include "ui/framework/m_image_list.h"

#include <algorithm>

#include "ui/framework/image.h"
#include "ui/framework/m_render.h"
#include "ui/framework/skin_folder.h"

int MImageList::AddImage(unsigned id, const CString& file, int frames)
{
    return InsertImage(GetImageCount(), id, file, frames);
}

int MImageList::InsertImage(int index, unsigned id, const CString& file, int frames)
{
    ImagePtr image = MRender::LoadImageFromFile(SkinFilePath(file));
    if (!image)
        return -1;
    if (index < 0 || index > GetImageCount())
        index = GetImageCount();
    m_items.insert(m_items.begin() + index, Item{id, file, std::move(image), std::max(frames, 1)});
    return index;
}

void MImageList::DelAllImages()
{
    m_items.clear();
}

const MImageList::Item* MImageList::GetItemImageData(int index) const
{
    return index >= 0 && index < GetImageCount() ? &m_items[static_cast<size_t>(index)] : nullptr;
}

const MImageList::Item* MImageList::GetImageDataByID(unsigned id) const
{
    const auto it = std::find_if(m_items.begin(), m_items.end(), [id](const Item& i) { return i.id == id; });
    return it == m_items.end() ? nullptr : &*it;
}

CString MImageList::GetImagePath(int index) const
{
    const Item* item = GetItemImageData(index);
    return item ? item->path : CString();
}

CString MImageList::GetImagePathByID(unsigned id) const
{
    const Item* item = GetImageDataByID(id);
    return item ? item->path : CString();
}

CSize MImageList::GetIconSize() const
{
    if (m_drawSize.cx > 0 && m_drawSize.cy > 0)
        return m_drawSize;
    if (m_items.empty())
        return {};
    const Item& first = m_items.front();
    return {first.image->Width() / first.frames, first.image->Height()};
}

void MImageList::DrawItemIcon(Graphics* g, const CRect& rect, int index, int frame) const
{
    const Item* item = GetItemImageData(index);
    if (!g || !item)
        return;
    const int frameWidth = item->image->Width() / item->frames;
    const int f = std::clamp(frame, 0, item->frames - 1);
    const CSize size =
        m_drawSize.cx > 0 && m_drawSize.cy > 0 ? m_drawSize : CSize(frameWidth, item->image->Height());
    const CPoint origin = MRender::GetOriginPoint(rect, size.cx, size.cy, 1, 4);
    MRender::DrawImage(g, item->image.get(), CRect(origin, size),
                       CRect(f * frameWidth, 0, (f + 1) * frameWidth, item->image->Height()));
}
