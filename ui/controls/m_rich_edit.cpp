#include "ui/controls/m_rich_edit.h"
#include "ui/controls/fallback_look.h"

#include "ui/framework/image.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

namespace {

constexpr ARGB kCueColour = 0xFF808080;
constexpr ARGB kCounterColour = 0xFFC8C8C8;
constexpr int kCounterHeight = 16;
constexpr int kIconGap = 6;

} // namespace

MRichEdit::MRichEdit(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled)
    : EditFieldControl<MPanel>(parent, id, rect, visible)
{
    m_title = title ? title : L"";
    m_enabled = enabled;
    m_vAlign = 0;
    m_editor.SetMultiLine(true);
}

MRichEdit::~MRichEdit() = default;

void MRichEdit::SetCueText(const wchar_t* text)
{
    m_cue = text ? text : L"";
    UpdateControl();
}

CRect MRichEdit::TextArea() const
{
    return {kInset, kInset, std::max(m_rect.Width() - kInset, kInset + 1),
            std::max(m_rect.Height() - kInset, kInset + 1)};
}

CRect MRichEdit::EditorRect() const
{
    CRect r = TextArea();
    r.OffsetRect(m_rect.TopLeft());
    // The editor's text starts where the field's own text was drawn.
    r.InflateRect(CEditWindow::kPadding, CEditWindow::kPadding);
    return ControlRectInWindow(*this, r);
}

void MRichEdit::OpenEditor(const CPoint* press)
{
    if (!m_visible || !m_enabled || m_editor.IsOpen())
        return;
    const CRect area = EditorRect();
    if (!m_editor.Open(area, false))
        return;
    if (press) {
        const CPoint inside(ControlRectInWindow(*this, CRect(*press, CSize())).TopLeft() - area.TopLeft());
        const size_t at = m_editor.Window()->CharIndexAt(inside);
        m_editor.Window()->SetSel(at, at);
    }
    UpdateControl();
}

void MRichEdit::ShowEdit()
{
    OpenEditor(nullptr);
}

void MRichEdit::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const bool editing = m_editor.IsOpen();
        const int frame = !m_enabled ? 3 : editing ? 2 : m_hover ? 1 : 0;
        DrawEditField(g, *this, CRect(0, 0, w, h), frame, editing || m_hover);
        StringFormat format = TitleFormat();
        format.flags = m_editor.IsMultiLine() ? 0 : StringFormatFlagsNoWrap;
        const CString shown = FieldText(m_title, m_editor.IsPassword(), m_editor.GetPasswordChar());
        if (shown.empty() && !editing)
            MRender::DrawString(g, m_cue, DrawFont(), TextArea(), format, kCueColour, m_hint);
        else
            MRender::DrawString(g, shown, DrawFont(), TextArea(), format,
                                m_enabled ? m_textColor : FallbackLook::kDisabledText, m_hint);
        DrawExtras(g);
    }
    CopyMemDC(hdc, clip);
}

int MRichEdit::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (FollowHover(*this, m_hover, point, IDC_IBEAM))
        UpdateControl();
    return 0;
}

int MRichEdit::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    m_pressedHere = true;
    OpenEditor(&point);
    SendMessageW(kNotifyPress);
    return 1;
}

int MRichEdit::OnControlLButtonUp(unsigned /*flags*/, CPoint /*point*/)
{
    if (m_pressedHere)
        SendMessageW(kNotifyClick);
    m_pressedHere = false;
    return 1;
}

// --- MEditEx ---

MEditEx::MEditEx(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MRichEdit(parent, id, rect, title, visible, enabled)
{
}

CString MEditEx::CounterText() const
{
    const int limit = GetLimitText() > 0 ? GetLimitText() : static_cast<int>(EditText::kDefaultLimit);
    return FormatText(L"%d/%d", static_cast<int>(m_title.size()), limit);
}

CRect MEditEx::TextArea() const
{
    CRect area = MRichEdit::TextArea();
    area.bottom = std::max(area.bottom - kCounterHeight, area.top + 1);
    return area;
}

void MEditEx::DrawExtras(Graphics* g)
{
    StringFormat format;
    format.alignment = StringAlignmentFar;
    format.lineAlignment = StringAlignmentCenter;
    format.flags = StringFormatFlagsNoWrap;
    TextFont font = DrawFont();
    font.size = std::max(font.size - 3, 8.0f);
    const CRect box(kInset, m_rect.Height() - kInset - kCounterHeight, m_rect.Width() - kInset,
                    m_rect.Height() - kInset);
    MRender::DrawString(g, CounterText(), font, box, format, kCounterColour, m_hint);
}

// --- CLogonEdit ---

CLogonEdit::CLogonEdit(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                       int enabled)
    : MRichEdit(parent, id, rect, title, visible, enabled)
{
    m_vAlign = 4;
    m_editor.SetMultiLine(false);
}

int CLogonEdit::SetIconImage(const wchar_t* file, int count)
{
    const int loaded = m_icon.Load(m_manager, file, count);
    if (loaded)
        UpdateControl();
    return loaded;
}

CRect CLogonEdit::GetIconRect() const
{
    if (!m_icon)
        return {};
    return m_icon.At(kInset, (m_rect.Height() - m_icon.height) / 2);
}

CRect CLogonEdit::TextArea() const
{
    CRect area = MRichEdit::TextArea();
    const CRect icon = GetIconRect();
    if (!icon.IsRectEmpty())
        area.left = std::min(icon.right + kIconGap, area.right - 1);
    return area;
}

void CLogonEdit::DrawExtras(Graphics* g)
{
    m_icon.Draw(g, GetIconRect(), m_editor.IsOpen() ? 1 : 0);
}
