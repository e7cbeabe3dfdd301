#include "ui/keyboard/dpi_control.h"

#include "ui/controls/c_check_button.h"
#include "ui/controls/control_helpers.h"
#include "ui/keyboard/c_color_button.h"

DPIControl::DPIControl(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible)
{
    EnableScroll(0);
}

int DPIControl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (m_built)
        return 1;
    m_built = true;
    m_box = static_cast<CCheckButton*>(CreateControl(L"CCheckButton", kCheckId, CRect(), L"", 1, 1));
    if (m_box) {
        m_box->SetImage(L"btn_checkbox.png", 8);
        m_box->SetTextColor(m_textColor);
        m_box->SetTitle(FormatText(L"%d", m_dpi).c_str());
        m_box->SetCheck(m_check);
    }
    m_swatch = static_cast<CColorButton*>(CreateControl(L"CColorButton", kSwatchId, CRect(), L"", 1, 1));
    if (m_swatch)
        m_swatch->SetColor(m_color);
    Layout();
    return 1;
}

void DPIControl::Layout()
{
    const int top = m_rect.top + (m_rect.Height() - kSwatchSize) / 2;
    if (m_swatch)
        m_swatch->SetRect(CRect(m_rect.right - kSwatchSize, top, m_rect.right, top + kSwatchSize));
    if (m_box)
        m_box->SetRect(CRect(m_rect.left, m_rect.top, m_rect.right - kSwatchSize - 4, m_rect.bottom));
}

void DPIControl::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    Layout();
}

void DPIControl::SetTextColor(ARGB colour)
{
    MPanel::SetTextColor(colour);
    if (m_box)
        m_box->SetTextColor(colour);
}

void DPIControl::SetDPIValue(int dpi)
{
    m_dpi = dpi;
    if (m_box)
        m_box->SetTitle(FormatText(L"%d", dpi).c_str());
}

void DPIControl::SetColor(COLORREF colour)
{
    m_color = colour & 0xFFFFFF;
    if (m_swatch)
        m_swatch->SetColor(m_color);
}

void DPIControl::SetGroupName(const wchar_t* name)
{
    m_group = name ? name : L"";
}

void DPIControl::SetCheck(int check)
{
    const int flag = check ? 1 : 0;
    const bool changed = flag != m_check;
    m_check = flag;
    if (m_box)
        m_box->SetCheck(flag);
    if (changed && flag)
        ResetGroupCheck();
}

void DPIControl::ResetGroupCheck()
{
    for (MControl* c : SiblingControls(*this)) {
        if (c == this || !c->IsClass(L"DPIControl") || !c->IsVisible() || !c->IsEnabled())
            continue;
        auto* other = dynamic_cast<DPIControl*>(c);
        if (other && other->m_group == m_group && other->m_check) {
            other->m_check = 0;
            if (other->m_box)
                other->m_box->SetCheck(0);
        }
    }
}

long DPIControl::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    if (id == kCheckId && (code == 2 || code == CCheckButton::kNotifyKeyCheck)) {
        // A level is chosen, never cleared, by its box.
        m_check = 0;
        SetCheck(1);
        SendMessageW(kNotifyChecked, 1, m_dpi);
        return 1;
    }
    if (id == kSwatchId)
        return SendMessageW(code, wParam, lParam);
    return MPanel::OnMessage(id, code, wParam, lParam);
}
