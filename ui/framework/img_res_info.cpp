#include "ui/framework/img_res_info.h"

#include "ui/framework/image.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/resource_module.h"
#include "ui/framework/skin_folder.h"

std::unique_ptr<ImgResInfo> ImageCache::MakeEntry(ImagePtr image, int count, const CString& name)
{
    auto entry = std::make_unique<ImgResInfo>();
    // A frame count below 1 would divide by zero; such a strip is one frame.
    entry->count = std::max(count, 1);
    entry->width = image->Width() / entry->count;
    entry->height = image->Height();
    entry->image = std::move(image);
    entry->name = name;
    return entry;
}

ImgResInfo* ImageCache::Add(const CString& file, int count)
{
    std::lock_guard lock(m_lock);
    if (const auto it = m_byFile.find(file); it != m_byFile.end())
        return it->second.get();
    ImagePtr image = MRender::LoadImageFromFile(SkinFilePath(file));
    if (!image)
        return nullptr;
    auto& slot = m_byFile[file];
    slot = MakeEntry(std::move(image), count, file);
    return slot.get();
}

ImgResInfo* ImageCache::Add(unsigned resId, const CString& type, int count, bool fromProgram)
{
    std::lock_guard lock(m_lock);
    auto& map = fromProgram ? m_byProgramId : m_byLibraryId;
    const auto key = std::make_pair(resId, type);
    if (const auto it = map.find(key); it != map.end())
        return it->second.get();
    ImagePtr image =
        MRender::LoadImageFromIDResource(resId, type, fromProgram ? Manager::GetInstance() : LibraryModule());
    if (!image)
        return nullptr;
    auto& slot = map[key];
    slot = MakeEntry(std::move(image), count, CString());
    return slot.get();
}

void ImageCache::Clear()
{
    std::lock_guard lock(m_lock);
    m_byFile.clear();
    m_byProgramId.clear();
    m_byLibraryId.clear();
}

size_t ImageCache::Count() const
{
    std::lock_guard lock(m_lock);
    return m_byFile.size() + m_byProgramId.size() + m_byLibraryId.size();
}
