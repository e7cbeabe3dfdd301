#include "ui/examples/gallery_dialog.h"

#include "core/virtual_keys.h"
#include "ui/controls/download_button.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_progress.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/controls/m_text.h"
#include "ui/examples/gallery_pages.h"
#include "ui/framework/messages.h"

namespace {

constexpr unsigned kDownloadStepMs = 40;

struct PageEntry {
    const wchar_t* name;
    void (*build)(MPanel*);
};

const PageEntry kPages[] = {
    {L"Buttons", &BuildButtonsGalleryPage},       {L"Choices", &BuildChoicesGalleryPage},
    {L"Texts", &BuildTextsGalleryPage},           {L"Pictures", &BuildPicturesGalleryPage},
    {L"Tabs & scrolling", &BuildTabsGalleryPage}, {L"Editing", &BuildEditingGalleryPage},
    {L"Keyboard", &BuildKeyboardGalleryPage},     {L"Key functions", &BuildKeyFunctionsGalleryPage},
    {L"Colours", &BuildColoursGalleryPage},       {L"Devices", &BuildDevicesGalleryPage},
};

} // namespace

int GalleryDialog::InitUI(CRect client)
{
    LoadBKImage(L"demo\\bk_dialog.png");
    SetBackMode(BACK_MODE_FRAME, 12);
    m_paintManager.SetBackColor(RGB(0x26, 0x26, 0x26), RGB(0x64, 0x64, 0x64));

    auto* title = static_cast<MText*>(
        CreateControl(L"MText", kGalleryTitle, CRect(24, 12, 600, 42), L"KelvoUI controls"));
    title->SetFont(nullptr, 22, FontStyleBold);
    title->SetTextColor(0xFFC8C8C8);
    auto* subtitle = static_cast<MText*>(
        CreateControl(L"MText", kGallerySubtitle, CRect(280, 16, client.right - 80, 42),
                      L"Every standard control, one group per page. Tab moves the focus; Escape closes."));
    subtitle->SetFont(nullptr, 12, FontStyleRegular);
    subtitle->SetTextColor(0xFF969696);
    auto* close = static_cast<CImageButton*>(
        CreateControl(L"CImageButton", kGalleryClose, CRect(client.right - 50, 12, client.right - 20, 42)));
    close->SetImage(L"main_sysbtn_close.png", 4);
    if (!close->GetImage())
        close->SetTitle(L"\u2715");
    close->SetTooltip(L"Close");

    m_tabs = static_cast<MTabCtrl*>(
        CreateControl(L"MTabCtrl", kGalleryTabBar, CRect(16, 56, client.right - 16, 96)));
    m_tabs->SetTextColor(0xFFADADAD);
    m_tabs->SetFont(nullptr, 15, FontStyleRegular);
    m_tabs->SetLeftRightPading(8, 8);
    m_tabs->SetAnimateChange(1);
    const CRect pageRect(16, 104, client.right - 16, client.bottom - 44);
    unsigned pageId = kGalleryFirstPage;
    for (const PageEntry& entry : kPages) {
        auto* page = static_cast<MPanel*>(CreateControl(L"MTabLayout", pageId, pageRect, L"", 0));
        entry.build(page);
        m_tabs->InsertItem(pageId - kGalleryFirstPage, entry.name, nullptr, page);
        ++pageId;
    }
    m_status = static_cast<MText*>(CreateControl(
        L"MText", kGalleryStatus, CRect(24, client.bottom - 36, client.right - 24, client.bottom - 12),
        L"Notifications of the controls show here."));
    m_status->SetFont(nullptr, 12, FontStyleRegular);
    m_status->SetTextColor(0xFF969696);
    m_tabs->SetSelectItem(0);
    // The animated controls (the GIF, the timer button, the slides) run on the window's tick, as in the
    // program's main window.
    SetMTimer(10);
    return 0;
}

const CString& GalleryDialog::GetStatus() const
{
    return m_status->GetTitle();
}

long GalleryDialog::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    if (m_status && id != kGalleryStatus)
        m_status->SetTitle(FormatText(L"Last notification: control %d, code %d, wParam %d, lParam %d",
                                      static_cast<int>(id), static_cast<int>(code), static_cast<int>(wParam),
                                      static_cast<int>(lParam))
                               .c_str());
    if (id == kGalleryClose && code == 2)
        DoOK();
    if (id == kGalleryLinkedSlider && (code == 8 || code == 2)) {
        if (auto* progress = static_cast<MProgress*>(GetControl(kGalleryLinkedProgress)))
            progress->SetProgress(static_cast<int>(wParam));
    }
    if (id == kGalleryDownload && code == 2 && m_download == 0) {
        m_download = 1;
        SetTimer(kDownloadTimer, kDownloadStepMs, nullptr);
    }
    return 0;
}

int GalleryDialog::OnTimer(unsigned id)
{
    if (id != kDownloadTimer)
        return 0;
    auto* button = static_cast<DownloadButton*>(GetControl(kGalleryDownload));
    // A pretend download: it fills up, then the button is a button again.
    m_download = m_download >= 100 ? 0 : m_download + 1;
    if (button)
        button->SetDownloadProcess(m_download);
    if (m_download == 0)
        KillTimer(kDownloadTimer);
    return 1;
}

LRESULT GalleryDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = MDialog::OnWindowMessage(msg, wParam, lParam);
    // Escape closes the gallery unless a control took it (a spinner drops what was typed).
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE && result == 0)
        DoCancel();
    return result;
}
