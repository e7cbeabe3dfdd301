// PaintManager: the image cache, private fonts, the background picture, the tooltip and the tip bubble.

#include "core/native_path.h"
#include "ui/framework/image.h"
#include "ui/framework/m_air_bladder.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/resource_module.h"
#include "ui/framework/skin_folder.h"
#include "ui/framework/tooltip_wnd.h"

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* file, int count)
{
    return file && *file ? m_images.Add(CString(file), count) : nullptr;
}

ImgResInfo* PaintManager::AddImgResInfo(unsigned resId, const CString& type, int count, int fromProgram)
{
    return m_images.Add(resId, type, count, fromProgram != 0);
}

void PaintManager::ClearImgResInfo()
{
    m_images.Clear();
}

const FontFamily* PaintManager::AddTempFont(const wchar_t* family, const wchar_t* file)
{
    if (!family || !file)
        return nullptr;
    return m_fonts.AddTempFont(family, NativePath(file));
}

const FontFamily* PaintManager::AddTempFont(const wchar_t* family, unsigned resId)
{
    return family ? m_fonts.AddTempFont(family, LibraryModule(), resId) : nullptr;
}

void PaintManager::AddGDITempFont(unsigned resId)
{
    FontCollection::AddGDITempFont(LibraryModule(), resId);
}

const FontFamily* PaintManager::FindTempFont(const wchar_t* /*ignored*/)
{
    return m_fonts.Find(Manager::GetFontName());
}

void PaintManager::ClearTempFont()
{
    m_fonts.Clear();
}

int PaintManager::LoadBKImage(const CString& file)
{
    ImagePtr image = MRender::LoadImageFromFile(SkinFilePath(file));
    if (!image)
        return 0;
    m_bkImageSize = {image->Width(), image->Height()};
    m_bkImage = std::move(image);
    Invalidate();
    return 1;
}

int PaintManager::LoadBKImage(unsigned resId, const CString& type)
{
    ImagePtr image = MRender::LoadImageFromIDResource(resId, type, Manager::GetInstance());
    if (!image)
        return 0;
    m_bkImageSize = {image->Width(), image->Height()};
    m_bkImage = std::move(image);
    Invalidate();
    return 1;
}

void PaintManager::SetTooltip(const wchar_t* text, CRect rect)
{
    if (!m_initialized)
        return;
    if (!text || !*text) {
        ClearTooltip();
        return;
    }
    if (!m_tooltip)
        m_tooltip = std::make_unique<ToolTipWnd>(m_hWnd);
    m_tooltip->Track(text, rect);
}

void PaintManager::ClearTooltip()
{
    if (m_tooltip)
        m_tooltip->Deactivate();
    m_tooltipCtrlID = 0;
}

MAirBladder* PaintManager::GetAirBladder()
{
    if (!m_airBladder && m_initialized)
        m_airBladder = std::make_unique<MAirBladder>(this);
    return m_airBladder.get();
}

int PaintManager::SetAirBladderMsg(const wchar_t* text, CPoint screenPoint, AIRBLADDER_TYPE type, int mode)
{
    MAirBladder* bubble = GetAirBladder();
    return bubble ? bubble->SetAirBladderMsg(text, screenPoint, type, mode) : 0;
}
