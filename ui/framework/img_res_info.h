#pragma once
// The image cache of a paint manager: pictures by skin file name and by resource id, each with the
// frame size of its strip. Entries live until the window is torn down; a picture that cannot be loaded
// is not cached, so the next request tries again.

#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "core/wide_text.h"
#include "ui/framework/render_types.h"
#include "ui/framework/win_types.h"

struct ImgResInfo {
    ImagePtr image;
    int width = 0;  // one frame: the picture's width ÷ count (integer division)
    int height = 0; // the picture's height
    int count = 1;  // frames side by side
    CString name;   // the file name as asked for (empty for resources)
};

class ImageCache {
public:
    // By file name as passed (relative to the skin folder); the first request fixes the frame count.
    ImgResInfo* Add(const CString& file, int count);
    // By resource id, in the map of the program's module (fromProgram) or of the library's module.
    ImgResInfo* Add(unsigned resId, const CString& type, int count, bool fromProgram);
    void Clear();
    size_t Count() const;

private:
    static std::unique_ptr<ImgResInfo> MakeEntry(ImagePtr image, int count, const CString& name);

    mutable std::mutex m_lock;
    std::map<CString, std::unique_ptr<ImgResInfo>> m_byFile;
    std::map<std::pair<unsigned, CString>, std::unique_ptr<ImgResInfo>> m_byProgramId;
    std::map<std::pair<unsigned, CString>, std::unique_ptr<ImgResInfo>> m_byLibraryId;
};
