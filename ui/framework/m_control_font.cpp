#include "ui/framework/m_control_font.h"

#include <algorithm>

#include "ui/framework/image.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/paint_manager.h"

MControlFont::MControlFont(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                           int enabled, int response)
    : MControl(parent, id, rect, visible, enabled, response), m_title(title ? title : L""),
      m_fontName(Manager::GetFontName()), m_fontSize(Manager::GetFontWidth())
{
}

MControlFont::~MControlFont() = default;

void MControlFont::SetTextFont(CString name)
{
    m_fontName = std::move(name);
    ClearGDIFont();
    UpdateControl();
}

void MControlFont::SetTextColor(ARGB colour)
{
    if (colour == m_textColor)
        return;
    m_textColor = colour;
    UpdateControl();
}

bool MControlFont::TakeImage(const ImgResInfo* info)
{
    if (!info)
        return false;
    m_image = info->image;
    m_imagePath = info->name;
    m_imageWidth = info->width;
    m_imageHeight = info->height;
    m_imageCount = info->count;
    UpdateControl();
    return true;
}

int MControlFont::SetImage(unsigned resId, CString type, int count)
{
    return m_manager && TakeImage(m_manager->AddImgResInfo(resId, type, count, 1)) ? 1 : 0;
}

int MControlFont::SetImage(const wchar_t* file, int count)
{
    return m_manager && TakeImage(m_manager->AddImgResInfo(file, count)) ? 1 : 0;
}

void MControlFont::SetControlTitle(const wchar_t* title)
{
    SetTitle(title);
}

CString MControlFont::GetControlTitle()
{
    return m_title;
}

void MControlFont::SetTitle(const wchar_t* title)
{
    ClearGDIFont();
    m_title = title ? title : L"";
    if (m_visible)
        UpdateControl();
}

void MControlFont::SetAlignment(int h)
{
    if (h == m_hAlign)
        return;
    m_hAlign = h;
    if (m_visible)
        UpdateControl();
}

void MControlFont::SetVAlignment(int v)
{
    if (v == m_vAlign)
        return;
    m_vAlign = v;
    if (m_visible)
        UpdateControl();
}

void MControlFont::SetAlignment(int h, int v)
{
    if (h == m_hAlign && v == m_vAlign)
        return;
    m_hAlign = h;
    m_vAlign = v;
    if (m_visible)
        UpdateControl();
}

void MControlFont::GetAlignment(int& h, int& v) const
{
    h = m_hAlign;
    v = m_vAlign;
}

void MControlFont::SetFont(const wchar_t* name, int size, FontStyle style)
{
    if (name)
        m_fontName = name;
    m_fontSize = size;
    m_fontStyle = style;
    ClearGDIFont();
    UpdateControl();
}

void MControlFont::SetFontStyle(int style)
{
    if (style == m_fontStyle)
        return;
    m_fontStyle = style;
    ClearGDIFont();
    UpdateControl();
}

const FontFamily* MControlFont::GetFontFamily(const wchar_t* name)
{
    const FontFamily* family = m_manager ? m_manager->FindTempFont(name) : nullptr;
    m_fontFamily = family ? family->name : CString();
    return family;
}

HFONT MControlFont::GetGDIFont()
{
    if (!m_gdiFont) {
        m_gdiFont = std::make_unique<LogicalFont>();
        m_gdiFont->faceName = Manager::GetFontName();
        m_gdiFont->height = -m_fontSize;
        m_gdiFont->weight = (m_fontStyle & FontStyleBold) ? 700 : 400;
        m_gdiFont->italic = (m_fontStyle & FontStyleItalic) != 0;
        m_gdiFont->underline = (m_fontStyle & FontStyleUnderline) != 0;
    }
    return m_gdiFont.get();
}

void MControlFont::ClearGDIFont()
{
    m_gdiFont.reset();
}

void MControlFont::SetImageCount(int count)
{
    m_imageCount = std::max(count, 1);
    if (m_image)
        m_imageWidth = m_image->Width() / m_imageCount;
}

TextFont MControlFont::DrawFont()
{
    if (m_fontFamily.empty())
        GetFontFamily();
    // Without a family the drawing layer's default family stands in.
    return TextFont{m_fontFamily.empty() ? CString(L"Sans") : m_fontFamily, static_cast<float>(m_fontSize),
                    m_fontStyle};
}

StringFormat MControlFont::TitleFormat() const
{
    StringFormat format;
    format.alignment = m_hAlign == 1   ? StringAlignmentCenter
                       : m_hAlign == 2 ? StringAlignmentFar
                                       : StringAlignmentNear;
    format.lineAlignment = m_vAlign == 4   ? StringAlignmentCenter
                           : m_vAlign == 8 ? StringAlignmentFar
                                           : StringAlignmentNear;
    format.flags = StringFormatFlagsNoWrap;
    return format;
}

void MControlFont::DrawTitle(Graphics* g, const CRect& rect)
{
    MRender::DrawString(g, m_title, DrawFont(), rect, TitleFormat(), m_textColor, m_hint);
}

void MControlFont::DrawImageFrameAt(Graphics* g, int frame, const CRect& dest) const
{
    if (!m_image || m_imageWidth <= 0)
        return;
    const int f = std::clamp(frame, 0, std::max(m_imageCount - 1, 0));
    MRender::DrawImage(g, m_image.get(), dest,
                       CRect(f * m_imageWidth, 0, (f + 1) * m_imageWidth, m_imageHeight));
}
