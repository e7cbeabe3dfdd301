#pragma once
// MImageList: an ordered list of pictures with ids, drawn by index into a rectangle (an icon column of a
// list). Pictures come from the skin folder; each may be a strip of frames.

#include <vector>

#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/render_types.h"

class MImageList {
public:
    struct Item {
        unsigned id = 0;
        CString path; // as given, relative to the skin folder
        ImagePtr image;
        int frames = 1;
    };

    // Appends a skin picture; its index, or -1 when it cannot be loaded.
    int AddImage(unsigned id, const CString& file, int frames = 1);
    // Inserts before index (appends when index is out of range); its index, or -1.
    int InsertImage(int index, unsigned id, const CString& file, int frames = 1);
    void DelAllImages();
    int GetImageCount() const { return static_cast<int>(m_items.size()); }
    // Null when out of range or unknown.
    const Item* GetItemImageData(int index) const;
    const Item* GetImageDataByID(unsigned id) const;
    CString GetImagePath(int index) const;
    CString GetImagePathByID(unsigned id) const;
    // The size icons are drawn at; 0 means a frame's own size.
    void SetDrawImgSize(int cx, int cy) { m_drawSize = {cx, cy}; }
    // The drawing size, or the first picture's frame size when none is set.
    CSize GetIconSize() const;
    // Draws frame `frame` of picture `index` centred in rect.
    void DrawItemIcon(Graphics* g, const CRect& rect, int index, int frame = 0) const;

private:
    std::vector<Item> m_items;
    CSize m_drawSize;
};
