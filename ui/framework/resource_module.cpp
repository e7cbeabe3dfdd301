#include "ui/framework/resource_module.h"

#include <algorithm>
#include <cwctype>
#include <mutex>
#include <set>

#include "ui/resources/embedded_resources.h"

namespace {

std::mutex g_lock;

std::set<const ResourceModule*>& LiveModules()
{
    static std::set<const ResourceModule*> modules;
    return modules;
}

bool SameType(const std::wstring& a, const CString& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
           });
}

} // namespace

ResourceModule::ResourceModule(std::vector<Entry> entries) : m_entries(std::move(entries))
{
    std::lock_guard lock(g_lock);
    LiveModules().insert(this);
}

ResourceModule::~ResourceModule()
{
    std::lock_guard lock(g_lock);
    LiveModules().erase(this);
}

std::span<const uint8_t> ResourceModule::Find(unsigned id, const CString& type) const
{
    for (const Entry& e : m_entries) {
        if (e.id == id && SameType(e.type, type))
            return e.bytes;
    }
    return {};
}

HINSTANCE LibraryModule()
{
    static const ResourceModule library({
        {kScrollHorizontalResId, L"PNG", EmbeddedScrollHorizontalPng()},
        {kScrollVerticalResId, L"PNG", EmbeddedScrollVerticalPng()},
        {kEmbeddedFontResId, L"TTF", EmbeddedOpenSansSemibold()},
    });
    return library.Instance();
}

std::span<const uint8_t> FindResourceBytes(HINSTANCE module, unsigned id, const CString& type)
{
    if (!module)
        return {};
    const auto* candidate = static_cast<const ResourceModule*>(module);
    {
        std::lock_guard lock(g_lock);
        if (!LiveModules().contains(candidate))
            return {};
    }
    return candidate->Find(id, type);
}
