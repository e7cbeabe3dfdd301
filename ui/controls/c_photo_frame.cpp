#include "ui/controls/c_photo_frame.h"

#include <algorithm>

#include "ui/controls/fallback_look.h"
#include "ui/framework/image.h"
#include "ui/framework/m_render.h"

CPhotoFrame::CPhotoFrame(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 1;
}

int CPhotoFrame::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    m_frame.Reload(manager);
    return 1;
}

int CPhotoFrame::LoadPhoto(const CString& path)
{
    ImagePtr photo = MRender::LoadImageFromFile(path);
    if (!photo)
        return 0;
    m_image = std::move(photo);
    m_imagePath = path;
    m_imageCount = 1;
    m_imageWidth = m_image->Width();
    m_imageHeight = m_image->Height();
    UpdateControl();
    return 1;
}

int CPhotoFrame::SetFrameImage(const wchar_t* file, int border)
{
    const bool loaded = m_frame.Load(m_manager, file ? file : L"", 1);
    m_border = std::max(border, 0);
    UpdateControl();
    return loaded ? 1 : 0;
}

void CPhotoFrame::SetFrameBorder(int border)
{
    m_border = std::max(border, 0);
    UpdateControl();
}

CRect CPhotoFrame::PhotoRect() const
{
    CRect inner(0, 0, m_rect.Width(), m_rect.Height());
    inner.DeflateRect(m_border, m_border);
    if (!m_image || inner.IsRectEmpty() || m_imageWidth <= 0 || m_imageHeight <= 0)
        return inner;
    const double scale = std::min(static_cast<double>(inner.Width()) / m_imageWidth,
                                  static_cast<double>(inner.Height()) / m_imageHeight);
    const int w = std::max(1, static_cast<int>(m_imageWidth * scale));
    const int h = std::max(1, static_cast<int>(m_imageHeight * scale));
    const int left = inner.left + (inner.Width() - w) / 2;
    const int top = inner.top + (inner.Height() - h) / 2;
    return {left, top, left + w, top + h};
}

void CPhotoFrame::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const CRect all(0, 0, w, h);
        if (!m_frame)
            FallbackLook::RoundRect(g, all, 4, FallbackLook::kPanel, FallbackLook::kPanelEdge);
        if (m_image)
            MRender::DrawImage(g, m_image.get(), PhotoRect(), CRect(0, 0, m_imageWidth, m_imageHeight));
        if (m_frame)
            MRender::DrawImageFrame(g, m_frame.image.get(), all, 0, 0, m_frame.frameWidth,
                                    m_frame.frameHeight, m_border);
    }
    CopyMemDC(hdc, clip);
}

int CPhotoFrame::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled || !PtInRect(point))
        return 0;
    SendMessageW(1);
    return 1;
}
