#include "ui/framework/manager.h"

#include <mutex>
#include <set>

#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

namespace {

// The device name is read by worker threads (paths, texts) while the UI thread may set it.
std::mutex g_lock;
CString g_deviceName = L"Torvik";
CString g_fontName = L"Arial";
int g_fontWidth = 14;
constexpr uint32_t kSelectColor = 0xFF440062;
HINSTANCE g_instance = nullptr;
std::set<MWindow*> g_windows;

} // namespace

void Manager::SetDeviceName(const CString& name)
{
    std::lock_guard lock(g_lock);
    g_deviceName = name;
}

CString Manager::GetDeviceName()
{
    std::lock_guard lock(g_lock);
    return g_deviceName;
}

void Manager::SetFont(const CString& name, int size)
{
    std::lock_guard lock(g_lock);
    g_fontName = name;
    g_fontWidth = size;
}

void Manager::SetFontName(const CString& name)
{
    std::lock_guard lock(g_lock);
    g_fontName = name;
}

CString Manager::GetFontName()
{
    std::lock_guard lock(g_lock);
    return g_fontName;
}

int Manager::GetFontWidth()
{
    std::lock_guard lock(g_lock);
    return g_fontWidth;
}

uint32_t Manager::GetSelectColor()
{
    return kSelectColor;
}

CString Manager::GetTheme()
{
    return L"theme1\\";
}

void Manager::SetInstance(HINSTANCE instance)
{
    std::lock_guard lock(g_lock);
    g_instance = instance;
}

HINSTANCE Manager::GetInstance()
{
    std::lock_guard lock(g_lock);
    return g_instance;
}

int Manager::PreTranslateMessage(MSG* /*msg*/)
{
    const bool alt = WindowSystem::GetAsyncKeyState(VK_MENU) & 0x8000;
    const bool f4 = WindowSystem::GetAsyncKeyState(VK_F4) & 0x8000;
    return alt && f4 ? 1 : 0;
}

int Manager::MessageLoop()
{
    MSG msg;
    while (WindowSystem::GetMessageW(&msg)) {
        if (PreTranslateMessage(&msg))
            continue;
        WindowSystem::TranslateMessage(&msg);
        WindowSystem::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void Manager::AddWnd(MWindow* window)
{
    std::lock_guard lock(g_lock);
    g_windows.insert(window);
}

void Manager::DeleteWnd(MWindow* window)
{
    std::lock_guard lock(g_lock);
    g_windows.erase(window);
}

bool Manager::HasWnd(MWindow* window)
{
    std::lock_guard lock(g_lock);
    return g_windows.contains(window);
}
