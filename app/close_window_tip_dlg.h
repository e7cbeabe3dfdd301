#pragma once
// CloseWindowTipDlg: the closing behaviour dialog, a 360 × 200 window centred on the screen that asks once
// what the close button is to do — hide the window to the tray or end the program — and stores the
// answer as `exit_mode` when the user applies it.
//
//   opening               → topmost; "hide" checked unless `exit_mode` is 2, then "exit"
//   Apply (33, code 2)     → `exit_mode` = "1" (hide checked) or "2"; closes with result 1
//   any other way out      → `exit_mode` unchanged (closed by the secondary-window closing, the desktop)

#include "ui/framework/m_dialog.h"

class ProgramSettings;

class CloseWindowTipDlg final : public MDialog {
public:
    static constexpr int kWidth = 360;
    static constexpr int kHeight = 200;
    static constexpr unsigned kHeadingId = 30;
    static constexpr unsigned kHideId = 31;
    static constexpr unsigned kExitId = 32;
    static constexpr unsigned kApplyId = 33;
    static constexpr int kApplied = 1;

    explicit CloseWindowTipDlg(ProgramSettings& settings);

    // Shows the dialog modally over its owner (which may be null or hidden); kApplied when applied, 0
    // when closed otherwise or when the window cannot be made.
    int DoModal(HWND owner);

    int OnInitDialog() override;
    int InitUI(CRect client) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    ProgramSettings& m_settings;
};
