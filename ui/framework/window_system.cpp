#include "ui/framework/window_system.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "ui/framework/backend/headless/headless_backend.h"
#include "ui/framework/backend/x11/x11_backend.h"
#include "ui/framework/clock.h"
#include "ui/framework/messages.h"
#include "ui/framework/mm_timer_service.h"
#include "ui/framework/window_record.h"

namespace {

std::unique_ptr<WindowSystem> g_instance;

std::unique_ptr<WindowBackend> DefaultBackend()
{
    const char* choice = std::getenv("KELVOUI_BACKEND");
    if (choice && std::strcmp(choice, "headless") == 0)
        return std::make_unique<HeadlessBackend>();
    return CreateX11Backend();
}

bool SameText(const wchar_t* a, const std::wstring& b)
{
    return a && b == a;
}

} // namespace

// --- Instance ---

WindowSystem::WindowSystem(std::unique_ptr<WindowBackend> backend)
    : m_backend(std::move(backend)), m_uiThread(std::this_thread::get_id())
{
    m_mmTimers = m_backend->CreateMmTimerService(
        [this](unsigned id) { m_queue.PostClosure([this, id] { DeliverMmTick(id); }); });
    m_backend->Attach(*this);
}

WindowSystem::~WindowSystem()
{
    m_queue.Shutdown();
    m_mmTimers.reset();
    // At process end no window procedure is called any more; only the native side is released.
    for (auto& [hwnd, r] : m_windows)
        m_backend->DestroyNativeWindow(r->native);
}

WindowSystem& WindowSystem::Instance()
{
    if (!g_instance)
        g_instance.reset(new WindowSystem(DefaultBackend()));
    return *g_instance;
}

WindowSystem& WindowSystem::Self()
{
    return Instance();
}

void WindowSystem::Install(std::unique_ptr<WindowBackend> backend)
{
    if (g_instance) {
        for (HWND hwnd : g_instance->Windows()) {
            if (IsWindow(hwnd) && !GetParent(hwnd))
                DestroyWindow(hwnd);
        }
        g_instance.reset();
    }
    g_instance.reset(new WindowSystem(std::move(backend)));
}

WindowBackend& WindowSystem::Backend()
{
    return *Self().m_backend;
}

bool WindowSystem::IsUiThread()
{
    return std::this_thread::get_id() == Self().m_uiThread;
}

int64_t WindowSystem::NowMs()
{
    return Self().m_backend->GetClock().NowMs();
}

WindowRecord* WindowSystem::Find(HWND hwnd) const
{
    const auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second.get();
}

WindowRecord* WindowSystem::FindByNative(NativeWindow window) const
{
    const auto it = m_byNative.find(window);
    return it == m_byNative.end() ? nullptr : Find(it->second);
}

HWND WindowSystem::FromNative(NativeWindow window) const
{
    const WindowRecord* r = FindByNative(window);
    return r ? r->hwnd : nullptr;
}

NativeWindow WindowSystem::ToNative(HWND hwnd) const
{
    const WindowRecord* r = Find(hwnd);
    return r ? r->native : 0;
}

HWND WindowSystem::NewHandle()
{
    m_lastHandle += 4;
    return reinterpret_cast<HWND>(m_lastHandle);
}

// --- Classes ---

BOOL WindowSystem::RegisterClassExW(const WNDCLASSEXW& wc)
{
    WindowSystem& ws = Self();
    if (!wc.lpszClassName || !*wc.lpszClassName || !wc.lpfnWndProc || ws.m_classes.contains(wc.lpszClassName))
        return FALSE;
    auto cls = std::make_unique<WindowClass>();
    cls->name = wc.lpszClassName;
    cls->style = wc.style;
    cls->proc = wc.lpfnWndProc;
    cls->instance = wc.hInstance;
    cls->cursor = wc.hCursor;
    ws.m_classes[cls->name] = std::move(cls);
    return TRUE;
}

BOOL WindowSystem::GetClassInfoExW(const wchar_t* className, WNDCLASSEXW* info)
{
    WindowSystem& ws = Self();
    if (!className)
        return FALSE;
    const auto it = ws.m_classes.find(className);
    if (it == ws.m_classes.end())
        return FALSE;
    if (info) {
        info->style = it->second->style;
        info->lpfnWndProc = it->second->proc;
        info->hInstance = it->second->instance;
        info->hCursor = it->second->cursor;
        info->lpszClassName = it->second->name.c_str();
    }
    return TRUE;
}

BOOL WindowSystem::UnregisterClassW(const wchar_t* className)
{
    WindowSystem& ws = Self();
    if (!className)
        return FALSE;
    for (const auto& [hwnd, r] : ws.m_windows) {
        if (r->className == className)
            return FALSE;
    }
    return ws.m_classes.erase(className) ? TRUE : FALSE;
}

// --- Creation and destruction ---

HWND WindowSystem::CreateWindowExW(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                                   int x, int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance,
                                   void* param)
{
    WindowSystem& ws = Self();
    if (!className)
        return nullptr;
    const auto cls = ws.m_classes.find(className);
    if (cls == ws.m_classes.end())
        return nullptr;
    const bool child = (style & WS_CHILD) != 0;
    if (child && !ws.Find(parent))
        return nullptr;
    if (!ws.m_backend->IsAvailable())
        return nullptr;

    auto record = std::make_unique<WindowRecord>();
    WindowRecord& r = *record;
    r.hwnd = ws.NewHandle();
    r.className = cls->second->name;
    r.classStyle = cls->second->style;
    r.classCursor = cls->second->cursor;
    r.proc = cls->second->proc;
    r.menu = menu;
    r.title = title ? title : L"";
    r.style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    r.exStyle = exStyle;
    r.rect = CRect(x, y, x + std::max(cx, 0), y + std::max(cy, 0));
    r.restoreRect = r.rect;
    if (child)
        r.parent = parent;
    else if (parent && ws.Find(parent))
        r.owner = GetTopLevel(parent);

    NativeWindowParams params;
    params.hwnd = r.hwnd;
    params.parent = child ? ws.ToNative(parent) : 0;
    params.owner = r.owner ? ws.ToNative(r.owner) : 0;
    params.rect = r.rect;
    params.style = r.style;
    params.exStyle = r.exStyle;
    params.title = r.title;
    params.className = r.className;
    r.native = ws.m_backend->CreateNativeWindow(params);
    if (r.native == 0)
        return nullptr;

    const HWND hwnd = r.hwnd;
    ws.m_byNative[r.native] = hwnd;
    ws.m_windows[hwnd] = std::move(record);
    {
        std::lock_guard lock(ws.m_liveLock);
        ws.m_live.insert(hwnd);
    }

    CREATESTRUCTW cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cy = cy;
    cs.cx = cx;
    cs.y = y;
    cs.x = x;
    cs.style = style;
    cs.lpszName = title;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0) {
        ws.DestroyRecord(hwnd);
        return nullptr;
    }
    if (IsWindow(hwnd) && SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    WindowRecord* created = ws.Find(hwnd);
    if (!created)
        return nullptr;
    ws.ApplyStyleToNative(*created);
    ws.SendSizeAndMove(hwnd, true, true);
    if ((style & WS_VISIBLE) && IsWindow(hwnd))
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL WindowSystem::DestroyWindow(HWND hwnd)
{
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(hwnd);
    if (!r || r->destroying)
        return FALSE;
    r->destroying = true;

    // Owned windows go first, as they cannot outlive their owner.
    for (HWND other : Windows()) {
        const WindowRecord* o = ws.Find(other);
        if (o && o->owner == hwnd)
            DestroyWindow(other);
    }
    if (ws.m_drag.hwnd == hwnd)
        ws.EndOwnDrag();
    if (IsWindowVisible(hwnd))
        ws.ShowState(hwnd, false);
    if (ws.m_capture && (ws.m_capture == hwnd || GetTopLevel(ws.m_capture) == hwnd))
        ReleaseCapture();
    if (ws.m_focus && (ws.m_focus == hwnd || GetParent(ws.m_focus) == hwnd)) {
        const HWND focus = std::exchange(ws.m_focus, nullptr);
        SendMessageW(focus, WM_KILLFOCUS, 0, 0);
    }
    if (ws.m_active == hwnd) {
        ws.Deactivate(hwnd);
        ws.ActivateAfterLoss(hwnd);
    }

    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    for (HWND other : Windows()) {
        const WindowRecord* c = ws.Find(other);
        if (c && c->parent == hwnd)
            DestroyWindow(other);
    }
    std::erase_if(ws.m_timers, [hwnd](const auto& t) { return t.first.first == hwnd; });
    if (ws.m_tracking.hwnd == hwnd)
        ws.m_tracking = {};
    if (ws.m_pointerWindow == hwnd)
        ws.m_pointerWindow = nullptr;
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    ws.DestroyRecord(hwnd);
    return TRUE;
}

void WindowSystem::DestroyRecord(HWND hwnd)
{
    const auto it = m_windows.find(hwnd);
    if (it == m_windows.end())
        return;
    m_backend->DestroyNativeWindow(it->second->native);
    m_byNative.erase(it->second->native);
    m_windows.erase(it);
    {
        std::lock_guard lock(m_liveLock);
        m_live.erase(hwnd);
    }
    for (auto& [other, r] : m_windows) {
        if (r->lastFocus == hwnd)
            r->lastFocus = nullptr;
    }
    if (m_focus == hwnd)
        m_focus = nullptr;
    if (m_active == hwnd)
        m_active = nullptr;
    if (m_capture == hwnd)
        m_capture = nullptr;
    // A loop that runs while this window exists must look again, even if nothing else arrives.
    m_queue.Post(MakeMessage(nullptr, WM_NULL, 0, 0));
}

BOOL WindowSystem::IsWindow(HWND hwnd)
{
    if (!hwnd || !g_instance)
        return FALSE;
    WindowSystem& ws = *g_instance;
    std::lock_guard lock(ws.m_liveLock);
    return ws.m_live.contains(hwnd) ? TRUE : FALSE;
}

std::vector<HWND> WindowSystem::Windows()
{
    std::vector<HWND> all;
    for (const auto& [hwnd, r] : Self().m_windows)
        all.push_back(hwnd);
    return all;
}

// --- Window words ---

intptr_t WindowSystem::GetWindowLongPtrW(HWND hwnd, int index)
{
    const WindowRecord* r = Self().Find(hwnd);
    if (!r)
        return 0;
    switch (index) {
    case GWL_STYLE:
        return r->style;
    case GWL_EXSTYLE:
        return r->exStyle;
    case GWLP_WNDPROC:
        return reinterpret_cast<intptr_t>(r->proc);
    case GWLP_USERDATA:
        return r->userData;
    default:
        return 0;
    }
}

intptr_t WindowSystem::SetWindowLongPtrW(HWND hwnd, int index, intptr_t value)
{
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(hwnd);
    if (!r)
        return 0;
    intptr_t old = 0;
    switch (index) {
    case GWL_STYLE: {
        old = r->style;
        // Visibility and minimised state belong to ShowWindow; the bits here cannot change them.
        constexpr DWORD kState = WS_VISIBLE | WS_MINIMIZE;
        r->style = (static_cast<DWORD>(value) & ~kState) | (r->style & kState);
        ws.ApplyStyleToNative(*r);
        break;
    }
    case GWL_EXSTYLE: {
        old = r->exStyle;
        const bool wasLayered = (r->exStyle & WS_EX_LAYERED) != 0;
        r->exStyle = static_cast<DWORD>(value);
        if (wasLayered && !(r->exStyle & WS_EX_LAYERED)) {
            r->layeredFlags = 0;
            r->layeredAlpha = 255;
            ws.m_backend->SetOpacity(r->native, 255);
        }
        ws.ApplyStyleToNative(*r);
        break;
    }
    case GWLP_WNDPROC:
        old = reinterpret_cast<intptr_t>(r->proc);
        if (value)
            r->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_USERDATA:
        old = r->userData;
        r->userData = value;
        break;
    default:
        break;
    }
    return old;
}

void WindowSystem::ApplyStyleToNative(WindowRecord& r)
{
    m_backend->ApplyStyle(r.native, r.style, r.exStyle, r.owner ? ToNative(r.owner) : 0);
}

BOOL WindowSystem::GetClassNameW(HWND hwnd, CString* name)
{
    const WindowRecord* r = Self().Find(hwnd);
    if (!r || !name)
        return FALSE;
    *name = r->className;
    return TRUE;
}

// --- Relations ---

HWND WindowSystem::GetParent(HWND hwnd)
{
    const WindowRecord* r = Self().Find(hwnd);
    if (!r)
        return nullptr;
    return r->parent ? r->parent : r->owner;
}

HWND WindowSystem::GetWindow(HWND hwnd, UINT relation)
{
    WindowSystem& ws = Self();
    const WindowRecord* r = ws.Find(hwnd);
    if (!r)
        return nullptr;
    if (relation == GW_OWNER)
        return r->owner;
    if (relation == GW_CHILD) {
        for (const auto& [other, c] : ws.m_windows) {
            if (c->parent == hwnd)
                return other;
        }
    }
    return nullptr;
}

HWND WindowSystem::GetTopLevel(HWND hwnd)
{
    WindowSystem& ws = Self();
    const WindowRecord* r = ws.Find(hwnd);
    while (r && r->parent)
        r = ws.Find(r->parent);
    return r ? r->hwnd : nullptr;
}

HWND WindowSystem::FindWindowW(const wchar_t* className, const wchar_t* title)
{
    for (const auto& [hwnd, r] : Self().m_windows) {
        if (r->parent)
            continue;
        if ((!className || SameText(className, r->className)) && (!title || SameText(title, r->title)))
            return hwnd;
    }
    return nullptr;
}

// --- Properties ---

BOOL WindowSystem::SetPropW(HWND hwnd, const wchar_t* name, intptr_t value)
{
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(hwnd);
    if (!r || !name || !*name)
        return FALSE;
    r->props[name] = value;
    ws.m_backend->SetProperty(r->native, name, value);
    return TRUE;
}

intptr_t WindowSystem::GetPropW(HWND hwnd, const wchar_t* name)
{
    const WindowRecord* r = Self().Find(hwnd);
    if (!r || !name)
        return 0;
    const auto it = r->props.find(name);
    return it == r->props.end() ? 0 : it->second;
}

intptr_t WindowSystem::RemovePropW(HWND hwnd, const wchar_t* name)
{
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(hwnd);
    if (!r || !name)
        return 0;
    const auto it = r->props.find(name);
    if (it == r->props.end())
        return 0;
    const intptr_t value = it->second;
    r->props.erase(it);
    ws.m_backend->SetProperty(r->native, name, std::nullopt);
    return value;
}

NativeWindow WindowSystem::FindWindowWithProperty(const CString& name)
{
    return name.empty() ? 0 : Self().m_backend->FindWindowWithProperty(name);
}

BOOL WindowSystem::RestoreWindowWithProperty(const CString& name)
{
    const NativeWindow window = FindWindowWithProperty(name);
    if (!window)
        return FALSE;
    Self().m_backend->RequestRestore(window);
    return TRUE;
}

// --- The desktop's system tray ---

bool WindowSystem::HasSystemTray()
{
    return Self().m_backend->HasSystemTray();
}

BOOL WindowSystem::DockInSystemTray(HWND hwnd)
{
    WindowSystem& ws = Self();
    const WindowRecord* r = ws.Find(hwnd);
    if (!r || !(r->exStyle & WS_EX_KELVO_TRAYICON))
        return FALSE;
    return ws.m_backend->DockInSystemTray(r->native) ? TRUE : FALSE;
}

int WindowSystem::AddSystemTrayListener(std::function<void(bool present)> changed)
{
    WindowSystem& ws = Self();
    const int id = ws.m_nextTrayListener++;
    ws.m_trayListeners[id] = std::move(changed);
    return id;
}

void WindowSystem::RemoveSystemTrayListener(int id)
{
    Self().m_trayListeners.erase(id);
}

void WindowSystem::OnNativeSystemTrayChange(bool present)
{
    // A listener may remove itself (or another) while it runs.
    const auto listeners = m_trayListeners;
    for (const auto& [id, changed] : listeners) {
        if (m_trayListeners.contains(id))
            changed(present);
    }
}

// --- Clipboard ---

BOOL WindowSystem::SetClipboardText(const CString& text)
{
    return Self().m_backend->SetClipboardText(WideToUtf8(text)) ? TRUE : FALSE;
}

std::optional<CString> WindowSystem::GetClipboardText()
{
    const std::optional<std::string> utf8 = Self().m_backend->GetClipboardText(kClipboardTimeoutMs);
    if (!utf8)
        return std::nullopt;
    return Utf8ToWide(*utf8);
}

// --- Layered windows ---

BOOL WindowSystem::SetWindowIcon(HWND hwnd, const std::vector<const Surface*>& pictures)
{
    WindowSystem& ws = Self();
    const WindowRecord* r = ws.Find(hwnd);
    if (!r)
        return FALSE;
    ws.m_backend->SetIcon(r->native, pictures);
    return TRUE;
}

BOOL WindowSystem::SetLayeredWindowAttributes(HWND hwnd, COLORREF key, uint8_t alpha, DWORD flags)
{
    WindowSystem& ws = Self();
    WindowRecord* r = ws.Find(hwnd);
    if (!r || !(r->exStyle & WS_EX_LAYERED))
        return FALSE;
    r->layeredKey = key;
    r->layeredAlpha = alpha;
    r->layeredFlags = flags;
    ws.m_backend->SetOpacity(r->native, (flags & LWA_ALPHA) ? alpha : 255);
    InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

BOOL WindowSystem::GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, uint8_t* alpha, DWORD* flags)
{
    const WindowRecord* r = Self().Find(hwnd);
    if (!r || !(r->exStyle & WS_EX_LAYERED))
        return FALSE;
    if (key)
        *key = r->layeredKey;
    if (alpha)
        *alpha = r->layeredAlpha;
    if (flags)
        *flags = r->layeredFlags;
    return TRUE;
}

// --- Screen ---

BOOL WindowSystem::GetCursorPos(CPoint* point)
{
    if (!point)
        return FALSE;
    *point = Self().m_backend->CursorPos();
    return TRUE;
}

int WindowSystem::GetSystemMetrics(int index)
{
    const CRect screen = Self().m_backend->ScreenRect();
    switch (index) {
    case SM_CXSCREEN:
        return screen.Width();
    case SM_CYSCREEN:
        return screen.Height();
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return ClickTracker::kDoubleClickBox;
    default:
        return 0;
    }
}

CRect WindowSystem::GetWorkArea(HWND nearWindow)
{
    WindowSystem& ws = Self();
    if (ws.Find(nearWindow))
        return ws.m_backend->WorkArea(ws.ScreenRectOf(GetTopLevel(nearWindow)).CenterPoint());
    return ws.m_backend->WorkArea(ws.m_backend->ScreenRect().CenterPoint());
}
