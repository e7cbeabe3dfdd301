#include "ui/controls/edit_field.h"
#include "ui/controls/fallback_look.h"

#include <cairo.h>

#include "ui/framework/image.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"

namespace {

constexpr int kFieldBorder = 4;

} // namespace

TitleEditor::TitleEditor(MControlFont& control) : m_control(control) {}

TitleEditor::~TitleEditor()
{
    // The control is going: its editor goes quietly with it.
    if (m_window)
        m_window->SetHost(nullptr);
}

void TitleEditor::SetLimitText(int limit)
{
    m_limit = limit;
    ApplyOptions();
}

void TitleEditor::SetNumberOnly(bool on)
{
    m_numberOnly = on;
    ApplyOptions();
}

void TitleEditor::SetReadOnly(bool on)
{
    m_readOnly = on;
    ApplyOptions();
}

void TitleEditor::SetPassword(bool on)
{
    m_password = on;
    ApplyOptions();
}

void TitleEditor::SetPasswordChar(wchar_t c)
{
    m_passwordChar = c ? c : L'*';
    ApplyOptions();
}

void TitleEditor::SetMultiLine(bool on)
{
    m_multiLine = on;
    ApplyOptions();
}

void TitleEditor::SetBackColor(ARGB colour)
{
    m_back = colour;
    ApplyOptions();
}

void TitleEditor::ApplyOptions()
{
    if (!m_window)
        return;
    m_window->SetLimitText(m_limit);
    m_window->SetNumberOnly(m_numberOnly);
    m_window->SetReadOnly(m_readOnly);
    m_window->SetMultiLine(m_multiLine);
    m_window->SetPassword(m_password, m_passwordChar);
    int h = 0;
    int v = 0;
    m_control.GetAlignment(h, v);
    m_window->SetAlignment(h);
    m_window->SetColors(m_back, m_control.GetTextColor());
}

bool TitleEditor::Open(CRect windowRect, bool selectAll)
{
    if (IsOpen())
        return true;
    if (!m_window)
        m_window = std::make_unique<CEditWnd>(this);
    if (!m_window->PlaceOver(m_control, windowRect))
        return false;
    ApplyOptions();
    m_window->Open(m_control.GetTitle(), selectAll);
    m_control.SendMessageW(kNotifyStarted);
    return true;
}

void TitleEditor::Close()
{
    if (m_window)
        m_window->Close(EditCloseReason::Closed);
}

void TitleEditor::Move(CRect windowRect)
{
    if (IsOpen())
        m_window->PlaceOver(m_control, windowRect);
}

void TitleEditor::OnEditChanged(CEditWindow& editor)
{
    m_control.SetTitle(editor.GetText().c_str());
    m_control.SendMessageW(kNotifyChanged);
}

void TitleEditor::OnEditClosed(CEditWindow& editor, EditCloseReason /*reason*/)
{
    // After Escape the editor holds the text it opened with again; either way the title takes it.
    m_control.SetTitle(editor.GetText().c_str());
    m_control.UpdateControl();
    m_control.SendMessageW(kNotifyEnded);
}

void TitleEditor::OnEditTyped(CEditWindow& /*editor*/, wchar_t c)
{
    if (onTyped)
        onTyped(c);
}

int FieldIcon::Load(PaintManager* manager, const wchar_t* file, int frames)
{
    const ImgResInfo* info = manager ? manager->AddImgResInfo(file, frames) : nullptr;
    if (!info)
        return 0;
    image = info->image;
    width = info->width;
    height = info->height;
    count = info->count;
    return 1;
}

void FieldIcon::Draw(Graphics* g, const CRect& dest, int frame) const
{
    if (!*this)
        return;
    const int f = std::clamp(frame, 0, std::max(count - 1, 0));
    MRender::DrawImage(g, image.get(), dest, CRect(f * width, 0, (f + 1) * width, height));
}

void DrawEditField(Graphics* g, const MControlFont& control, const CRect& rect, int frame, bool accent)
{
    const ImagePtr& image = control.GetImage();
    const CSize frameSize = control.GetImageSize();
    if (image && frameSize.cx > 0) {
        const int f = std::clamp(frame, 0, std::max(control.GetImageCount() - 1, 0));
        MRender::DrawImageFrame(g, image.get(), rect, f * frameSize.cx, 0, frameSize.cx, frameSize.cy,
                                kFieldBorder);
        return;
    }
    FallbackLook::RoundRect(g, rect, 0, FallbackLook::kPanel,
                            accent ? FallbackLook::kAccent : FallbackLook::kPanelEdge);
}

CString FieldText(const CString& title, bool password, wchar_t passwordChar)
{
    return password ? CString(title.size(), passwordChar) : title;
}
