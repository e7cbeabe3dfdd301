#include "ui/framework/backend/headless/headless_backend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <linux/input-event-codes.h>
#include <poll.h>

#include "ui/framework/messages.h"
#include "ui/framework/mm_timer_service.h"
#include "ui/framework/present_pixels.h"
#include "ui/framework/window_system.h"

HeadlessBackend::HeadlessBackend(CRect screen, CRect workArea)
    : m_screen(screen), m_workArea(workArea), m_cursor(screen.CenterPoint())
{
}

HeadlessBackend::~HeadlessBackend() = default;

std::unique_ptr<MmTimerService> HeadlessBackend::CreateMmTimerService(std::function<void(unsigned)> deliver)
{
    return std::make_unique<ClockedMmTimerService>(m_clock, std::move(deliver));
}

HeadlessWindow* HeadlessBackend::Find(NativeWindow window)
{
    const auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : it->second.get();
}

const HeadlessWindow* HeadlessBackend::Find(NativeWindow window) const
{
    const auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : it->second.get();
}

const HeadlessWindow* HeadlessBackend::Window(HWND hwnd) const
{
    return Find(NativeOf(hwnd));
}

NativeWindow HeadlessBackend::NativeOf(HWND hwnd) const
{
    for (const auto& [id, w] : m_windows) {
        if (w->hwnd == hwnd)
            return id;
    }
    return 0;
}

NativeWindow HeadlessBackend::CreateNativeWindow(const NativeWindowParams& params)
{
    auto w = std::make_unique<HeadlessWindow>();
    w->id = ++m_lastId;
    w->hwnd = params.hwnd;
    w->parent = params.parent;
    w->owner = params.owner;
    w->rect = params.rect;
    w->style = params.style;
    w->exStyle = params.exStyle;
    w->traits = TraitsForStyle(params.style, params.exStyle, params.owner != 0);
    w->title = params.title;
    w->className = params.className;
    w->image.Resize(params.rect.Width(), params.rect.Height());
    const NativeWindow id = w->id;
    m_windows[id] = std::move(w);
    return id;
}

void HeadlessBackend::DestroyNativeWindow(NativeWindow window)
{
    std::erase(m_trayWindows, window);
    m_windows.erase(window);
    if (m_active == window)
        m_active = 0;
    if (m_grab == window)
        m_grab = 0;
}

bool HeadlessBackend::DockInSystemTray(NativeWindow window)
{
    HeadlessWindow* w = Find(window);
    if (!m_trayPresent || !w || w->traits.kind != NativeKind::TrayIcon)
        return false;
    if (std::find(m_trayWindows.begin(), m_trayWindows.end(), window) == m_trayWindows.end())
        m_trayWindows.push_back(window);
    const int slot = static_cast<int>(m_trayWindows.size());
    const CRect rect(m_screen.right - slot * (m_trayIconSize + 4), m_screen.bottom - m_trayIconSize - 4,
                     m_screen.right - slot * (m_trayIconSize + 4) + m_trayIconSize, m_screen.bottom - 4);
    w->rect = rect;
    w->image.Resize(rect.Width(), rect.Height());
    if (m_sink)
        m_sink->OnNativeConfigure(window, rect);
    return true;
}

void HeadlessBackend::SetSystemTray(bool present, int iconSize)
{
    m_trayIconSize = iconSize;
    if (present == m_trayPresent)
        return;
    m_trayPresent = present;
    m_trayWindows.clear();
    if (m_sink)
        m_sink->OnNativeSystemTrayChange(present);
}

std::vector<HWND> HeadlessBackend::TrayWindows() const
{
    std::vector<HWND> windows;
    for (const NativeWindow id : m_trayWindows) {
        if (const HeadlessWindow* w = Find(id))
            windows.push_back(w->hwnd);
    }
    return windows;
}

void HeadlessBackend::SetTitle(NativeWindow window, const std::wstring& title)
{
    if (HeadlessWindow* w = Find(window))
        w->title = title;
}

void HeadlessBackend::ApplyStyle(NativeWindow window, DWORD style, DWORD exStyle, NativeWindow owner)
{
    if (HeadlessWindow* w = Find(window)) {
        w->style = style;
        w->exStyle = exStyle;
        w->owner = owner;
        w->traits = TraitsForStyle(style, exStyle, owner != 0);
    }
}

void HeadlessBackend::SetVisible(NativeWindow window, bool visible)
{
    if (HeadlessWindow* w = Find(window))
        w->visible = visible;
}

void HeadlessBackend::SetIconic(NativeWindow window, bool iconic)
{
    if (HeadlessWindow* w = Find(window))
        w->iconic = iconic;
}

void HeadlessBackend::SetGeometry(NativeWindow window, const CRect& rect)
{
    HeadlessWindow* w = Find(window);
    if (!w)
        return;
    w->rect = rect;
    w->image.Resize(rect.Width(), rect.Height());
}

void HeadlessBackend::Raise(NativeWindow window)
{
    if (HeadlessWindow* w = Find(window))
        ++w->raiseCount;
}

void HeadlessBackend::Activate(NativeWindow window)
{
    if (Find(window))
        m_active = window;
}

void HeadlessBackend::SetCursor(NativeWindow window, PointerShape shape)
{
    if (HeadlessWindow* w = Find(window))
        w->cursor = shape;
}

void HeadlessBackend::SetProperty(NativeWindow window, const std::wstring& name,
                                  std::optional<intptr_t> value)
{
    HeadlessWindow* w = Find(window);
    if (!w)
        return;
    if (value)
        w->props[name] = *value;
    else
        w->props.erase(name);
}

void HeadlessBackend::SetIcon(NativeWindow window, const std::vector<const Surface*>& pictures)
{
    HeadlessWindow* w = Find(window);
    if (!w)
        return;
    w->iconSizes.clear();
    for (const Surface* picture : pictures) {
        if (picture && picture->IsValid())
            w->iconSizes.emplace_back(picture->Width(), picture->Height());
    }
}

void HeadlessBackend::SetOpacity(NativeWindow window, uint8_t alpha)
{
    if (HeadlessWindow* w = Find(window))
        w->opacity = alpha;
}

void HeadlessBackend::Present(NativeWindow window, const Surface& pixels, const CRect& rect,
                              const PresentMode& mode)
{
    HeadlessWindow* w = Find(window);
    if (!w || !w->image.IsValid())
        return;
    CRect area;
    if (!area.IntersectRect(rect, w->image.Bounds()) || !area.IntersectRect(area, pixels.Bounds()))
        return;
    for (int y = area.top; y < area.bottom; ++y)
        ConvertPresentRow(pixels.Row(y) + area.left, w->image.Row(y) + area.left, area.Width(), mode);
    w->image.MarkDirty();
    ++w->presentCount;
}

NativeWindow HeadlessBackend::FindWindowWithProperty(const std::wstring& name) const
{
    for (const auto& [id, w] : m_windows) {
        if (w->traits.kind != NativeKind::Child && w->props.contains(name))
            return id;
    }
    return 0;
}

bool HeadlessBackend::WritePng(HWND hwnd, const std::string& path) const
{
    const HeadlessWindow* w = Window(hwnd);
    return w && w->image.WritePng(path);
}

void HeadlessBackend::DispatchPending()
{
    while (!m_restoreRequests.empty()) {
        const NativeWindow window = m_restoreRequests.front();
        m_restoreRequests.pop_front();
        if (m_sink)
            m_sink->OnNativeRestoreRequest(window);
    }
}

void HeadlessBackend::WaitAndDispatch(int wakeFd, std::optional<int64_t> deadline)
{
    pollfd fd{wakeFd, POLLIN, 0};
    if (poll(&fd, 1, 0) > 0)
        return;
    if (deadline) {
        // Nothing else can happen before the next timer, so virtual time jumps there.
        m_clock.AdvanceTo(*deadline);
        return;
    }
    // Only another thread can still post something.
    const int limit = m_idleLimitMs > 0 ? static_cast<int>(m_idleLimitMs) : -1;
    if (poll(&fd, 1, limit) == 0) {
        std::fprintf(stderr,
                     "headless window system: the message loop waited %lld ms with nothing to wait for\n",
                     static_cast<long long>(m_idleLimitMs));
        std::abort();
    }
}

// --- Injected input ---

CPoint HeadlessBackend::ToScreen(HWND hwnd, CPoint client) const
{
    CPoint p = client;
    WindowSystem::ClientToScreen(hwnd, &p);
    return p;
}

unsigned HeadlessBackend::Modifiers() const
{
    unsigned mods = m_buttons;
    auto held = [this](unsigned a, unsigned b) { return m_heldKeys.contains(a) || m_heldKeys.contains(b); };
    if (held(KEY_LEFTSHIFT, KEY_RIGHTSHIFT))
        mods |= kModShift;
    if (held(KEY_LEFTCTRL, KEY_RIGHTCTRL))
        mods |= kModControl;
    if (held(KEY_LEFTALT, KEY_RIGHTALT))
        mods |= kModAlt;
    if (m_numLock)
        mods |= kModNumLock;
    return mods;
}

void HeadlessBackend::MoveMouse(HWND hwnd, CPoint client)
{
    m_cursor = ToScreen(hwnd, client);
    m_sink->OnNativePointerMotion(NativeOf(hwnd), m_cursor, Modifiers());
}

void HeadlessBackend::Press(HWND hwnd, int button, CPoint client)
{
    m_cursor = ToScreen(hwnd, client);
    const unsigned before = Modifiers();
    if (button == kButtonLeft)
        m_buttons |= kModLeftButton;
    else if (button == kButtonRight)
        m_buttons |= kModRightButton;
    else if (button == kButtonMiddle)
        m_buttons |= kModMiddleButton;
    m_sink->OnNativeButton(NativeOf(hwnd), button, true, m_cursor, before,
                           static_cast<uint32_t>(m_clock.NowMs()));
}

void HeadlessBackend::Release(HWND hwnd, int button, CPoint client)
{
    m_cursor = ToScreen(hwnd, client);
    const unsigned before = Modifiers();
    if (button == kButtonLeft)
        m_buttons &= ~kModLeftButton;
    else if (button == kButtonRight)
        m_buttons &= ~kModRightButton;
    else if (button == kButtonMiddle)
        m_buttons &= ~kModMiddleButton;
    m_sink->OnNativeButton(NativeOf(hwnd), button, false, m_cursor, before,
                           static_cast<uint32_t>(m_clock.NowMs()));
}

void HeadlessBackend::Click(HWND hwnd, CPoint client, int button)
{
    Press(hwnd, button, client);
    Release(hwnd, button, client);
}

void HeadlessBackend::Wheel(HWND hwnd, int button, CPoint client)
{
    Press(hwnd, button, client);
    Release(hwnd, button, client);
}

void HeadlessBackend::LeaveWindow(HWND hwnd)
{
    m_sink->OnNativePointerLeave(NativeOf(hwnd));
}

void HeadlessBackend::KeyDown(HWND hwnd, unsigned evdevCode, const std::string& text)
{
    const unsigned before = Modifiers();
    m_heldKeys.insert(evdevCode);
    if (evdevCode == KEY_NUMLOCK)
        m_numLock = !m_numLock;
    m_sink->OnNativeKey(NativeOf(hwnd), evdevCode, true, text, before);
}

void HeadlessBackend::KeyUp(HWND hwnd, unsigned evdevCode)
{
    const unsigned before = Modifiers();
    m_heldKeys.erase(evdevCode);
    m_sink->OnNativeKey(NativeOf(hwnd), evdevCode, false, {}, before);
}

void HeadlessBackend::FocusIn(HWND hwnd)
{
    m_active = NativeOf(hwnd);
    m_sink->OnNativeFocus(m_active, true);
    m_sink->OnNativeKeymap({m_heldKeys.begin(), m_heldKeys.end()});
}

void HeadlessBackend::FocusOut(HWND hwnd)
{
    if (m_active == NativeOf(hwnd))
        m_active = 0;
    m_sink->OnNativeFocus(NativeOf(hwnd), false);
}

void HeadlessBackend::CloseRequest(HWND hwnd)
{
    m_sink->OnNativeCloseRequest(NativeOf(hwnd));
}

// --- Running the queue ---

int HeadlessBackend::Pump()
{
    int count = 0;
    MSG msg;
    while (WindowSystem::PeekMessageW(&msg, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            WindowSystem::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        WindowSystem::TranslateMessage(&msg);
        WindowSystem::DispatchMessageW(&msg);
        ++count;
    }
    return count;
}

void HeadlessBackend::RunFor(int64_t ms)
{
    const int64_t end = m_clock.NowMs() + ms;
    for (;;) {
        Pump();
        const auto next = WindowSystem::PendingDeadline();
        if (!next || *next > end) {
            m_clock.AdvanceTo(end);
            Pump();
            return;
        }
        m_clock.AdvanceTo(*next);
    }
}
