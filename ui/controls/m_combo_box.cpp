#include "ui/controls/m_combo_box.h"
#include "ui/controls/fallback_look.h"

#include <algorithm>
#include <cairo.h>
#include <cstdlib>

#include "ui/controls/c_edit_window.h"
#include "ui/framework/image.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

namespace {

constexpr COLORREF kPopupBack = ARGBToColorRef(FallbackLook::kPanel);
constexpr COLORREF kPopupBorder = ARGBToColorRef(FallbackLook::kPanelEdge);
constexpr int kArrowRoom = 28;
// How far the press that closed the popup may be from where the pointer was seen then.
constexpr int kSamePressSlack = 4;

// Nine-slice with its own margin on each side.
void DrawMargined(Graphics* g, const Image* image, const CRect& dest, const CRect& src, const CRect& m)
{
    const int xs[4] = {src.left, src.left + m.left, src.right - m.right, src.right};
    const int ys[4] = {src.top, src.top + m.top, src.bottom - m.bottom, src.bottom};
    const int xd[4] = {dest.left, dest.left + m.left, dest.right - m.right, dest.right};
    const int yd[4] = {dest.top, dest.top + m.top, dest.bottom - m.bottom, dest.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const CRect d(xd[col], yd[row], xd[col + 1], yd[row + 1]);
            const CRect s(xs[col], ys[row], xs[col + 1], ys[row + 1]);
            if (!d.IsRectEmpty() && !s.IsRectEmpty())
                MRender::DrawImage(g, image, d, s);
        }
    }
}

} // namespace

// --- CComboBoxWnd ---

CComboBoxWnd::CComboBoxWnd(MComboBox* combo) : m_combo(combo)
{
    SetParent(combo);
}

int CComboBoxWnd::InitUI(CRect client)
{
    m_paintManager.SetBackColor(kPopupBack, kPopupBorder);
    m_list = static_cast<CComboBoxList*>(CreateControl(
        L"CComboBoxList", kListId, CRect(1, kMargin, client.Width() - 1, client.Height() - kMargin)));
    if (!m_list || !m_combo)
        return 0;
    m_list->SetFont(m_combo->GetTextFont().c_str(), m_combo->GetFontSize(),
                    static_cast<FontStyle>(m_combo->GetFontStyle()));
    m_list->SetTextColor(m_combo->GetTextColor());
    m_list->SetItems(m_combo->GetItems());
    m_list->SetCurSel(m_combo->GetCurSel());
    m_list->SetHotItem(m_combo->GetCurSel());
    return 0;
}

long CComboBoxWnd::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    if (id == kListId && code == CComboBoxList::kNotifyChosen)
        return SendMessageToParent(code, wParam, lParam);
    return 0;
}

void CComboBoxWnd::CloseWindow()
{
    m_closing = true;
    MPopupWnd::CloseWindow();
}

int CComboBoxWnd::OnNcActivate(int active)
{
    if (active || m_closing || !IsLive())
        return 0;
    m_closing = true;
    CPoint cursor;
    WindowSystem::GetCursorPos(&cursor);
    if (m_combo)
        m_combo->PopupDeactivated(cursor);
    CloseWindow();
    return 0;
}

int CComboBoxWnd::PostNcDestroy()
{
    m_list = nullptr;
    SendMessageToParent(MComboBox::kNotifyPopupClosed, 0, 0);
    return 0;
}

LRESULT CComboBoxWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const bool close = (msg == WM_KEYDOWN && (wParam == VK_ESCAPE || wParam == VK_F4)) ||
                       (msg == WM_SYSKEYDOWN && (wParam == VK_UP || wParam == VK_DOWN));
    if (close) {
        CloseWindow();
        return 0;
    }
    const LRESULT result = MPopupWnd::OnWindowMessage(msg, wParam, lParam);
    // Enter with no row lit chooses nothing, and the list goes.
    if (msg == WM_KEYDOWN && wParam == VK_RETURN && !m_closing)
        CloseWindow();
    return result;
}

// --- MComboBox ---

MComboBox::MComboBox(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_tabStop = 1;
}

MComboBox::~MComboBox()
{
    // The popup's window goes with its object, without reporting back to this half-gone box.
    if (m_popup)
        m_popup->SetParent(nullptr);
}

ImagePtr MComboBox::LoadIcon(const CString& file) const
{
    if (file.empty() || !m_manager)
        return nullptr;
    const ImgResInfo* info = m_manager->AddImgResInfo(file.c_str(), 1);
    return info ? info->image : nullptr;
}

int MComboBox::AddItem(const wchar_t* text, long data, const wchar_t* icon, ARGB colour)
{
    ComboItem item;
    item.text = text ? text : L"";
    item.data = data;
    item.icon = icon ? icon : L"";
    item.colour = colour;
    item.picture = LoadIcon(item.icon);
    m_items.push_back(std::move(item));
    return static_cast<int>(m_items.size()) - 1;
}

void MComboBox::DelAllItems()
{
    CloseDropDown();
    m_items.clear();
    m_curSel = -1;
    SetTitle(L"");
}

int MComboBox::SetCurSel(int index)
{
    if (index < -1 || index >= static_cast<int>(m_items.size()))
        return 0;
    m_curSel = index;
    SetTitle(index < 0 ? L"" : m_items[static_cast<size_t>(index)].text.c_str());
    UpdateControl();
    return 1;
}

long MComboBox::GetCurData() const
{
    return m_curSel < 0 ? 0 : m_items[static_cast<size_t>(m_curSel)].data;
}

int MComboBox::FindData(long data) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].data == data)
            return static_cast<int>(i);
    }
    return -1;
}

int MComboBox::SelectData(long data)
{
    const int index = FindData(data);
    if (index >= 0)
        SetCurSel(index);
    return index;
}

int MComboBox::SetItemText(int index, CString text)
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return 0;
    m_items[static_cast<size_t>(index)].text = std::move(text);
    if (index == m_curSel)
        SetTitle(m_items[static_cast<size_t>(index)].text.c_str());
    return 1;
}

CString MComboBox::GetItemText(int index) const
{
    return index >= 0 && index < static_cast<int>(m_items.size()) ? m_items[static_cast<size_t>(index)].text
                                                                  : CString();
}

long MComboBox::GetItemData(int index) const
{
    return index >= 0 && index < static_cast<int>(m_items.size()) ? m_items[static_cast<size_t>(index)].data
                                                                  : 0;
}

int MComboBox::SetBackImage(const wchar_t* file, int count)
{
    return SetImage(file, count);
}

void MComboBox::SetShowModeMID(int left, int top, int right, int bottom)
{
    m_margins = CRect(std::max(left, 0), std::max(top, 0), std::max(right, 0), std::max(bottom, 0));
    UpdateControl();
}

// --- The popup ---

bool MComboBox::IsDroppedDown() const
{
    return m_popup && m_popup->IsLive();
}

CRect MComboBox::DropDownRect() const
{
    if (!m_manager || !m_manager->IsInitialized())
        return {};
    const HWND window = m_manager->GetPaintWnd();
    const CRect inWindow = ControlRectInWindow(*this, m_rect);
    CPoint topLeft = inWindow.TopLeft();
    WindowSystem::ClientToScreen(window, &topLeft);
    const CRect box(topLeft, inWindow.Size());
    const int rows = std::min(static_cast<int>(m_items.size()), kMaxShownRows);
    const int height = rows * CComboBoxList::kRowHeight + 2 * CComboBoxWnd::kMargin;
    CRect popup(box.left + 4, box.bottom, box.right - 6, box.bottom + height);
    if (popup.bottom > WindowSystem::GetWorkArea(window).bottom)
        popup = CRect(box.left + 4, box.top - height, box.right - 6, box.top);
    return popup;
}

void MComboBox::ShowDropDown()
{
    if (m_items.empty() || !m_visible || !m_enabled || IsDroppedDown() || !m_manager ||
        !m_manager->IsInitialized())
        return;
    m_popup = std::make_unique<CComboBoxWnd>(this);
    m_popup->Create(m_manager->GetPaintWnd(), L"ComboWnd", CComboBoxWnd::kStyle, WS_EX_TOOLWINDOW,
                    DropDownRect());
    UpdateControl();
}

void MComboBox::CloseDropDown()
{
    if (IsDroppedDown())
        m_popup->CloseWindow();
}

void MComboBox::Choose(int index)
{
    CloseDropDown();
    if (SetCurSel(index))
        SendMessageW(kNotifyChanged, static_cast<unsigned>(index));
}

void MComboBox::PopupDeactivated(CPoint screen)
{
    m_closingPress.reset();
    if (!m_manager || !m_manager->IsInitialized())
        return;
    CPoint client = screen;
    WindowSystem::ScreenToClient(m_manager->GetPaintWnd(), &client);
    if (ControlRectInWindow(*this, m_rect).PtInRect(client))
        m_closingPress = screen;
}

long MComboBox::OnMessage(unsigned id, unsigned code, unsigned wParam, long /*lParam*/)
{
    if (id != 0)
        return 0;
    if (code == CComboBoxList::kNotifyChosen) {
        Choose(static_cast<int>(wParam));
        return 1;
    }
    if (code == kNotifyPopupClosed) {
        UpdateControl();
        return 1;
    }
    return 0;
}

// --- Drawing ---

int MComboBox::VisualState() const
{
    return !m_enabled ? 3 : IsDroppedDown() ? 2 : m_hover ? 1 : 0;
}

void MComboBox::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const int state = VisualState();
        const CRect box(0, 0, w, h);
        if (m_image && m_imageWidth > 0) {
            const int frame = std::min(state, m_imageCount - 1);
            DrawMargined(g, m_image.get(), box,
                         CRect(frame * m_imageWidth, 0, (frame + 1) * m_imageWidth, m_imageHeight),
                         m_margins);
        } else {
            FallbackLook::RoundRect(g, box, 0, FallbackLook::kPanel,
                                    state == 1 || state == 2 ? FallbackLook::kAccent
                                                             : FallbackLook::kPanelEdge);
            // The drop arrow.
            const double cx = w - kArrowRoom / 2.0;
            const double cy = h / 2.0;
            SetSourceARGB(g, m_enabled ? m_textColor : FallbackLook::kDisabledText);
            cairo_set_line_width(g, 1.5);
            cairo_move_to(g, cx - 5, cy - 2.5);
            cairo_line_to(g, cx, cy + 2.5);
            cairo_line_to(g, cx + 5, cy - 2.5);
            cairo_stroke(g);
        }
        if (m_curSel >= 0) {
            ComboItem shown = m_items[static_cast<size_t>(m_curSel)];
            shown.text = m_title;
            DrawComboRow(g, shown, CRect(0, 0, w - kArrowRoom, h), DrawFont(),
                         m_enabled ? m_textColor : FallbackLook::kDisabledText, m_hint);
        }
    }
    CopyMemDC(hdc, clip);
}

// --- Input ---

int MComboBox::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (FollowHover(*this, m_hover, point, IDC_HAND))
        UpdateControl();
    return 0;
}

int MComboBox::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    m_clickPending = m_enabled != 0;
    if (m_closingPress && m_manager && m_manager->IsInitialized()) {
        CPoint screen = ControlRectInWindow(*this, CRect(point, CSize(1, 1))).TopLeft();
        WindowSystem::ClientToScreen(m_manager->GetPaintWnd(), &screen);
        if (std::abs(screen.x - m_closingPress->x) <= kSamePressSlack &&
            std::abs(screen.y - m_closingPress->y) <= kSamePressSlack)
            m_clickPending = false;
    }
    m_closingPress.reset();
    return 1;
}

int MComboBox::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    const bool click = m_clickPending && PtInRect(point);
    m_clickPending = false;
    if (click)
        ShowDropDown();
    return 1;
}

int MComboBox::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers)
{
    if (!IsFocusControl() || !m_enabled || IsDroppedDown())
        return 0;
    const bool alt = modifiers == 18;
    if ((modifiers == 0 && (key == VK_RETURN || key == VK_SPACE || key == VK_F4)) ||
        (alt && key == VK_DOWN)) {
        ShowDropDown();
        return 1;
    }
    if (modifiers != 0 || (key != VK_UP && key != VK_DOWN) || m_items.empty())
        return 0;
    const int next =
        std::clamp(m_curSel + (key == VK_DOWN ? 1 : -1), 0, static_cast<int>(m_items.size()) - 1);
    if (next != m_curSel && SetCurSel(next))
        SendMessageW(kNotifyChanged, static_cast<unsigned>(next));
    return 1;
}

void MComboBox::SetControlVisible(int visible)
{
    MControlFont::SetControlVisible(visible);
    if (!visible)
        CloseDropDown();
}

void MComboBox::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    if (!enabled)
        CloseDropDown();
}
