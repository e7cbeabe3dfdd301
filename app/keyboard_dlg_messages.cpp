// KeyboardDlg's two dispatch tables: window messages (OnWindowMessage) and control notifications
// (OnMessage). Each entry goes to exactly one handler, so the pages and the worker fill in handlers
// without touching the tables.

#include "app/app_messages.h"
#include "app/custom_key_page.h"
#include "app/keyboard_dlg.h"
#include "app/macro_page.h"
#include "app/main_frame.h"
#include "app/main_page.h"
#include "app/main_window_ids.h"
#include "app/program_services.h"
#include "app/secondary_windows.h"
#include "device/device_worker.h"
#include "platform/shell.h"
#include "ui/framework/window_system.h"

namespace {

constexpr unsigned kCodeClick = 2;

} // namespace

LRESULT KeyboardDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INPUT:
        OnRawInput(lParam);
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        break;
    case WM_DEVICECHANGE:
        return OnDeviceChange(wParam, lParam);
    case WM_RUN_KEY_ACTION:
        m_customKeys->RunKeyAction(static_cast<long>(lParam));
        return 1;
    case WM_HOOK_KEY:
        return OnHookKey(wParam, lParam);
    case WM_TRAY_NOTIFY:
        return OnTrayNotify(lParam);
    case WM_QUIT_REQUEST:
        if (lParam == kQuitRequestCode)
            ExitProgram();
        return 0;
    case WM_KEY_MENU_COMMAND:
        return m_customKeys->OnKeyMenuCommand(static_cast<long>(lParam));
    case WM_PROFILE_COMMAND:
        return m_customKeys->OnProfileCommand(static_cast<long>(lParam));
    case WM_MACRO_MENU_COMMAND:
        return m_macros->OnMenuCommand(static_cast<long>(lParam));
    case WM_APPLY_TEXTS:
        ApplyTexts();
        break;
    case WM_CLOSE:
        OnCloseRequest();
        return 0;
    case WM_TIMER:
        if (wParam == kScreenshotTimer) {
            TakeScreenshot();
            return 0;
        }
        break;
    default:
        break;
    }
    const HWND hwnd = m_hWnd;
    const LRESULT result = MDialog::OnWindowMessage(msg, wParam, lParam);
    if (msg == WM_PAINT && m_screenshot && !m_screenshot->checkPosted) {
        // Taken once a paint left nothing to repaint: by then every page control has drawn itself.
        m_screenshot->checkPosted = true;
        WindowSystem::PostClosure([this, hwnd] {
            if (!WindowSystem::IsWindow(hwnd) || !m_screenshot)
                return;
            m_screenshot->checkPosted = false;
            CRect pending;
            if (!WindowSystem::GetUpdateRect(hwnd, &pending, FALSE))
                TakeScreenshot();
        });
    }
    return result;
}

long KeyboardDlg::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    switch (id) {
    case MainId::kClose:
        if (code != kCodeClick)
            return 0;
        OnCloseRequest();
        return 1;
    case MainId::kMinimize:
        if (code != kCodeClick)
            return 0;
        OnMinimize();
        return 1;
    case MainId::kUnused43:
        return code == kCodeClick ? 1 : 0;
    case MainId::kWebsite:
        if (code != kCodeClick)
            return 0;
        OnWebsite();
        return 1;
    case MainId::kTabBar:
        if (code != kCodeClick)
            return 0;
        m_frame->OnTabSelected(static_cast<int>(wParam));
        return 1;
    default:
        break;
    }
    if (MainPage* page = PageOwning(id))
        return page->OnMessage(id, code, wParam, lParam);
    return 0;
}

MainPage* KeyboardDlg::PageOwning(unsigned controlId) const
{
    for (MainPage* page : m_pages) {
        if (page->Owns(controlId))
            return page;
    }
    return nullptr;
}

// --- Window-message handlers ---

void KeyboardDlg::OnRawInput(LPARAM /*rawInput*/)
{
    // FIXME: raw keyboard input while a key is captured or a macro recorded.
}

LRESULT KeyboardDlg::OnCommand(WPARAM id)
{
    if (id == kCommandQuit) {
        ExitProgram();
        return 1;
    }
    if (id == kCommandClosingOptions) {
        OnClosingOptions();
        return 1;
    }
    return 0;
}

void KeyboardDlg::OnClosingOptions()
{
    CloseSecondaryWindows();
    RunClosingBehaviourDialog();
    m_frame->RefreshCloseTooltip();
}

LRESULT KeyboardDlg::OnDeviceChange(WPARAM event, LPARAM broadcast)
{
    const auto* header = reinterpret_cast<const DeviceInterfaceBroadcast*>(broadcast);
    if (!header || header->deviceType != DBT_DEVTYP_DEVICEINTERFACE ||
        (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || !m_worker)
        return 0;
    HidDeviceEvent deviceEvent;
    deviceEvent.kind = event == DBT_DEVICEARRIVAL ? HidDeviceEventKind::Arrival : HidDeviceEventKind::Removal;
    deviceEvent.name = WideToUtf8(header->name);
    m_worker->OnDeviceEvent(deviceEvent);
    return 0;
}

LRESULT KeyboardDlg::OnHookKey(WPARAM /*keyMessage*/, LPARAM /*keyRecord*/)
{
    // FIXME: key events of the key capture field and of macro recording; nonzero swallows the key.
    return 0;
}

LRESULT KeyboardDlg::OnTrayNotify(LPARAM mouseMessage)
{
    // The download progress arrives here too (other values) and is ignored.
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // Shows a hidden (or minimised) window; a visible one only comes to the front.
        WindowSystem::SetForegroundWindow(m_hWnd);
        ShowWindow(SW_SHOWNORMAL);
        WindowSystem::UpdateWindow(m_hWnd);
        WindowSystem::BringWindowToTop(m_hWnd);
        break;
    case WM_RBUTTONUP:
        ShowTrayMenu();
        break;
    default:
        break;
    }
    return 0;
}

// --- Frame notifications ---

void KeyboardDlg::OnCloseRequest()
{
    int mode = m_settings.ReadRegInt(kExitModeValue);
    if (mode == kExitModeAsk) {
        RunClosingBehaviourDialog();
        mode = m_settings.ReadRegInt(kExitModeValue);
    }
    if (mode != kExitModeHide) {
        // "Exit", or still asking because the dialog was closed without applying.
        ExitProgram();
        return;
    }
    if (TrayShowsIcon()) {
        ShowWindow(SW_HIDE);
        return;
    }
    // Hidden without a tray icon, the window could only be found again by starting the program anew.
    OnMinimize();
}

void KeyboardDlg::OnWebsite()
{
    m_services.shell->OpenAddress(m_software.website);
}
