#include "ui/framework/manager.h"

#include <mutex>

namespace {

// The device name is read by worker threads (paths, texts) while the UI thread may set it.
std::mutex g_lock;
CString g_deviceName = L"Torvik";
CString g_fontName = L"Arial";
int g_fontWidth = 14;
constexpr uint32_t kSelectColor = 0xFF440062;

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
