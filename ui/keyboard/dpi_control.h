#pragma once
// DPIControl (class name "DPIControl"; constructed directly, not by name): one DPI level of a mouse
// profile: a check box (id 30, "btn_checkbox.png") titled with the DPI value and a colour swatch (id 31)
// at its right. Checked instances with the same group name among one parent's children are exclusive, as
// colour swatches are.
//
//   click on the check box → this level is checked (a checked one stays so), the rest of its group
//                            unchecked; notification 2 with wParam 1 and lParam = the DPI value
//   the swatch's 1 and 2   → passed on as this control's own notifications

#include "ui/framework/m_panel.h"

class CCheckButton;
class CColorButton;

class DPIControl : public MPanel {
public:
    static constexpr unsigned kCheckId = 30;
    static constexpr unsigned kSwatchId = 31;
    static constexpr unsigned kNotifyChecked = 2;
    static constexpr int kSwatchSize = 20;

    DPIControl(MObject* parent, unsigned id, CRect rect, int visible);

    const wchar_t* GetClassNameW() const override { return L"DPIControl"; }
    int InitControl(PaintManager* manager) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    void SetControlRect(CRect rect) override;
    void SetTextColor(ARGB colour) override;

    void SetDPIValue(int dpi);
    int GetDPIValue() const { return m_dpi; }
    void SetColor(COLORREF colour);
    COLORREF GetColor() const { return m_color; }
    // Checking unchecks the rest of the group (silently); no notification.
    void SetCheck(int check);
    int GetCheck() const { return m_check; }
    void SetGroupName(const wchar_t* name);
    CString GetGroupName() const { return m_group; }
    // Unchecks the other visible, enabled members of the group.
    void ResetGroupCheck();

private:
    void Layout();

    CCheckButton* m_box = nullptr;
    CColorButton* m_swatch = nullptr;
    bool m_built = false; // the children are made once
    int m_dpi = 0;
    COLORREF m_color = 0xFFFFFF;
    int m_check = 0;
    CString m_group;
};
