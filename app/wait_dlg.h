#pragma once
// WaitDlg: the busy indicator shown while a queued device job runs, a 102 × 102 topmost tool window
// centred over its owner that plays "loading.gif". The main window keeps at most one open
// (KeyboardDlg::RunWaitDialog); the worker closes it as accepted when its job is done.

#include "ui/framework/m_dialog.h"

class WaitDlg final : public MDialog {
public:
    static constexpr int kSize = 102;
    static constexpr unsigned kAnimationId = 30;

    // Makes the window over its owner (centred on it, or on the screen without one); false when it
    // cannot be made.
    bool CreateOver(MWindow* owner);

    int InitUI(CRect client) override;
};
