#include "ui/controls/m_edit.h"
#include "ui/controls/fallback_look.h"

#include "ui/framework/image.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

namespace {

} // namespace

MEdit::MEdit(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled)
    : EditFieldControl<MControlFont>(parent, id, rect, title, visible, enabled, 1)
{
    m_editor.onTyped = [this](wchar_t c) {
        if (c == L' ') {
            SendMessageW(kNotifyPress);
            SendMessageW(kNotifyClick);
        }
    };
}

MEdit::~MEdit() = default;

int MEdit::SetIconImage(const wchar_t* file, int count)
{
    const int loaded = m_icon.Load(m_manager, file, count);
    if (loaded)
        UpdateControl();
    return loaded;
}

void MEdit::SetTextRect(CRect rect)
{
    m_textRect = rect;
    m_editor.Move(EditorRect());
    UpdateControl();
}

CRect MEdit::GetIconRect() const
{
    if (!m_icon)
        return {};
    return m_icon.At(m_rect.Width() - kIconInset - m_icon.width, (m_rect.Height() - m_icon.height) / 2);
}

CRect MEdit::GetTextRect() const
{
    if (!m_textRect.IsRectEmpty())
        return m_textRect;
    const CRect icon = GetIconRect();
    const int right = icon.IsRectEmpty() ? m_rect.Width() - kTextInset : icon.left - kIconInset;
    return {kTextInset, 3, std::max(right, kTextInset + 1), std::max(m_rect.Height() - 3, 4)};
}

CRect MEdit::EditorRect() const
{
    CRect r = GetTextRect();
    r.OffsetRect(m_rect.TopLeft());
    // The editor's text starts where the box's own text was drawn.
    r.InflateRect(CEditWindow::kPadding, 0);
    return ControlRectInWindow(*this, r);
}

bool MEdit::InIcon(CPoint point) const
{
    CRect icon = GetIconRect();
    icon.OffsetRect(m_rect.TopLeft());
    return icon.PtInRect(point);
}

void MEdit::ShowEdit()
{
    if (!m_visible || !m_enabled)
        return;
    if (m_editor.Open(EditorRect(), true))
        UpdateControl();
}

// --- Drawing ---

void MEdit::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const bool editing = m_editor.IsOpen();
        const int frame = !m_enabled ? 3 : editing ? 2 : m_hover ? 1 : 0;
        DrawEditField(g, *this, CRect(0, 0, w, h), frame, editing || m_hover);
        const CString shown = FieldText(m_title, m_editor.IsPassword(), m_editor.GetPasswordChar());
        MRender::DrawString(g, shown, DrawFont(), GetTextRect(), TitleFormat(),
                            m_enabled ? m_textColor : FallbackLook::kDisabledText, m_hint);
        m_icon.Draw(g, GetIconRect(), m_press == Press::Icon ? 2 : m_iconHover ? 1 : 0);
    }
    CopyMemDC(hdc, clip);
}

// --- Input ---

int MEdit::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    CRect text = GetTextRect();
    text.OffsetRect(m_rect.TopLeft());
    const bool iconHover = m_enabled && InIcon(point);
    const wchar_t* cursor = iconHover ? IDC_HAND : text.PtInRect(point) ? IDC_IBEAM : IDC_ARROW;
    const bool changed = FollowHover(*this, m_hover, point, cursor);
    if (changed || iconHover != m_iconHover) {
        m_iconHover = iconHover;
        UpdateControl();
    }
    return 0;
}

int MEdit::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    if (InIcon(point)) {
        m_press = Press::Icon;
        m_editor.Close();
        UpdateControl();
        SendMessageW(kNotifyIconPress);
        return 1;
    }
    m_press = Press::Text;
    ShowEdit();
    SendMessageW(kNotifyPress);
    return 1;
}

int MEdit::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    const Press press = m_press;
    m_press = Press::None;
    if (press == Press::Icon) {
        UpdateControl();
        if (InIcon(point))
            SendMessageW(kNotifyIconRelease);
    } else if (press == Press::Text) {
        SendMessageW(kNotifyClick);
    }
    return 1;
}
