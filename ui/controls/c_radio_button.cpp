#include "ui/controls/c_radio_button.h"

#include "ui/controls/c_check_button.h"
#include "ui/controls/control_helpers.h"

CRadioButton::CRadioButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MPushControl(parent, id, rect, title, visible, enabled)
{
    m_imageCount = 8;
}

void CRadioButton::SetGroupName(const wchar_t* name)
{
    m_group = name ? name : L"";
}

std::vector<CRadioButton*> CRadioButton::GetGroupMembers() const
{
    std::vector<CRadioButton*> members;
    for (MControl* c : SiblingControls(*this)) {
        if (c == this || !c->IsClass(L"RadioButton"))
            continue;
        auto* radio = dynamic_cast<CRadioButton*>(c);
        if (radio && radio->m_group == m_group)
            members.push_back(radio);
    }
    return members;
}

int CRadioButton::ResetGroupCheck()
{
    int unchecked = 0;
    for (CRadioButton* r : GetGroupMembers()) {
        if (r->m_check) {
            r->SetControlCheck(0);
            ++unchecked;
        }
    }
    return unchecked;
}

void CRadioButton::SetControlCheck(int check)
{
    check = check ? 1 : 0;
    if (check == m_check)
        return;
    m_check = check;
    UpdateControl(0, 0);
}

int CRadioButton::SetCheck(int check)
{
    if (!m_enabled)
        return m_check;
    const int before = m_check;
    SetControlCheck(check);
    if (m_check != before)
        ResetGroupCheck();
    return m_check;
}

void CRadioButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    DrawCheckFrame(*this, g, frame, rect, true, TitleColour(frame % 4));
}

void CRadioButton::OnClick()
{
    SetControlCheck(1);
    ResetGroupCheck();
    SendMessageW(kNotifyClick, 0, 0);
}

void CRadioButton::OnKeyClick()
{
    SetControlCheck(1);
    ResetGroupCheck();
    SendMessageW(CCheckButton::kNotifyKeyCheck, 0, 1);
}
