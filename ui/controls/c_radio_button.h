#pragma once
// CRadioButton ("CRadioButton", class name "RadioButton" for grouping): a check-style button that is one
// of a group. The group is every sibling (the children of the same parent control, or the window's
// top-level controls when the parent is a window) whose class name is "RadioButton" and whose group name
// equals this one's; buttons without a group name form one group under their parent. 8 frames as
// CCheckButton.
//
//   release inside after a press   → checked, the rest of the group unchecked (silently); notification 2
//   Space (focused) or accelerator → the same, with notification 7 and lParam 1
//   SetCheck (only while enabled)  → the check; when it changed, the rest of the group unchecked
//   SetControlCheck                → the check alone

#include <vector>

#include "ui/controls/m_push_control.h"

class CRadioButton : public MPushControl {
public:
    CRadioButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    const wchar_t* GetClassNameW() const override { return L"RadioButton"; }
    int CurrentFrame() const override { return m_state + (m_check ? 4 : 0); }

    void SetGroupName(const wchar_t* name);
    const CString& GetGroupName() const { return m_group; }
    // The check afterwards.
    int SetCheck(int check);
    int GetCheck() const { return m_check; }
    void SetControlCheck(int check);
    // Unchecks the other members; how many were checked.
    int ResetGroupCheck();
    // The other members of the group.
    std::vector<CRadioButton*> GetGroupMembers() const;

protected:
    int StateFrameCount() const override { return 8; }
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;
    void OnPress() override {}
    void OnClick() override;
    void OnKeyClick() override;

    CString m_group;
    int m_check = 0;
};
