#pragma once
// The control gallery's window: a caption with a close button, a row of tabs with one page per group of
// controls, and a status line that shows the last notification any control sent.

#include "ui/framework/m_dialog.h"

class MTabCtrl;
class MText;

class GalleryDialog : public MDialog {
public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 720;
    static constexpr unsigned kDownloadTimer = 1000;

    int InitUI(CRect client) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    int OnTimer(unsigned id) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    MTabCtrl* GetTabBar() const { return m_tabs; }
    const CString& GetStatus() const;

private:
    MTabCtrl* m_tabs = nullptr;
    MText* m_status = nullptr;
    int m_download = 0;
};
