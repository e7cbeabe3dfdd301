#include "platform/linux/xembed_tray_icon.h"

#include <atomic>
#include <memory>

#include "core/native_path.h"
#include "platform/linux/tray_pictures.h"
#include "ui/framework/m_window.h"
#include "ui/framework/messages.h"
#include "ui/framework/tooltip_wnd.h"
#include "ui/framework/window_system.h"

// The window a tray takes in. It draws the picture for the size the tray gives it, shows the tip while the
// pointer rests on it, and hands button messages on (posted: the answer may take the icon down).
class TrayIconWindow : public MWindow {
public:
    // The size asked for before the tray gives its own.
    static constexpr int kFirstSize = 24;

    TrayIconWindow(const std::vector<ImagePtr>& pictures, const TrayIconData& data)
        : m_pictures(pictures), m_tip(data.tip), m_onMouse(data.onMouse)
    {
    }

    ~TrayIconWindow() override { m_alive->store(false); }

    bool Make()
    {
        return Create(nullptr, L"Tray Icon", WS_POPUP, WS_EX_KELVO_TRAYICON | WS_EX_LAYERED,
                      CRect(0, 0, kFirstSize, kFirstSize)) != nullptr;
    }

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE:
            if (!m_tracking) {
                TRACKMOUSEEVENT track;
                track.dwFlags = TME_HOVER | TME_LEAVE;
                track.hwndTrack = m_hWnd;
                track.dwHoverTime = HOVER_DEFAULT;
                m_tracking = WindowSystem::TrackMouseEvent(&track) != FALSE;
            }
            break;
        case WM_MOUSEHOVER:
            if (!m_tip.empty()) {
                if (!m_tooltip)
                    m_tooltip = std::make_unique<ToolTipWnd>(m_hWnd);
                CRect client;
                GetClientRect(&client);
                m_tooltip->Track(m_tip, client);
            }
            break;
        case WM_MOUSELEAVE:
            m_tracking = false;
            if (m_tooltip)
                m_tooltip->Deactivate();
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            if (m_tooltip)
                m_tooltip->Deactivate();
            Report(msg);
            return 0;
        default:
            break;
        }
        return MWindow::OnWindowMessage(msg, wParam, lParam);
    }

private:
    void Report(UINT msg)
    {
        if (!m_onMouse)
            return;
        WindowSystem::PostClosure([alive = m_alive, onMouse = m_onMouse, msg] {
            if (alive->load())
                onMouse(msg);
        });
    }

    void Paint()
    {
        WindowSystem::BeginPaint(m_hWnd);
        CRect client;
        GetClientRect(&client);
        const int side = std::min(client.Width(), client.Height());
        if (side > 0) {
            if (!m_picture.IsValid() || m_picture.Width() != client.Width() ||
                m_picture.Height() != client.Height()) {
                // The tray may give a wider slot than high: the square picture sits in its middle.
                m_picture = Surface(client.Width(), client.Height());
                const Surface square = TrayPicture(m_pictures, side);
                const CRect at((client.Width() - side) / 2, (client.Height() - side) / 2,
                               (client.Width() - side) / 2 + side, (client.Height() - side) / 2 + side);
                for (int y = 0; y < side; ++y)
                    std::copy(square.Row(y), square.Row(y) + side, m_picture.Row(at.top + y) + at.left);
                m_picture.MarkDirty();
            }
            WindowSystem::UpdateLayeredWindow(m_hWnd, m_picture);
        }
        WindowSystem::EndPaint(m_hWnd);
    }

    std::vector<ImagePtr> m_pictures;
    CString m_tip;
    std::function<void(unsigned)> m_onMouse;
    std::shared_ptr<std::atomic<bool>> m_alive = std::make_shared<std::atomic<bool>>(true);
    Surface m_picture;
    std::unique_ptr<ToolTipWnd> m_tooltip;
    bool m_tracking = false;
};

XEmbedTrayIcon::XEmbedTrayIcon()
{
    m_listener = WindowSystem::AddSystemTrayListener([this](bool present) { OnTrayChange(present); });
}

XEmbedTrayIcon::~XEmbedTrayIcon()
{
    WindowSystem::RemoveSystemTrayListener(m_listener);
    m_window.reset();
}

bool XEmbedTrayIcon::Available() const
{
    return WindowSystem::HasSystemTray();
}

bool XEmbedTrayIcon::Show(const TrayIconData& data)
{
    if (!m_wanted || data.iconFile != m_data.iconFile)
        m_pictures = LoadIconPictures(data.iconFile);
    m_data = data;
    m_wanted = true;
    Dock();
    return Showing();
}

void XEmbedTrayIcon::Hide()
{
    m_wanted = false;
    m_window.reset();
}

HWND XEmbedTrayIcon::Window() const
{
    return m_window ? m_window->GetSafeHwnd() : nullptr;
}

void XEmbedTrayIcon::OnTrayChange(bool present)
{
    // The old tray's window is of no use to the next one (which may want another visual).
    m_window.reset();
    if (present && m_wanted)
        Dock();
    Changed();
}

void XEmbedTrayIcon::Dock()
{
    m_window.reset();
    if (!Available())
        return;
    auto window = std::make_unique<TrayIconWindow>(m_pictures, m_data);
    if (!window->Make())
        return;
    window->ShowWindow(SW_SHOWNA);
    if (!WindowSystem::DockInSystemTray(window->GetSafeHwnd()))
        return;
    m_window = std::move(window);
}
