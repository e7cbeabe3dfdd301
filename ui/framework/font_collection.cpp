#include "ui/framework/font_collection.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>
#include <set>
#include <sys/mman.h>
#include <unistd.h>

#include "ui/framework/resource_module.h"

namespace {

struct State {
    std::recursive_mutex lock;
    PangoFontMap* fontMap = nullptr;
    PangoContext* context = nullptr;
    std::set<std::string> addedFiles;
    std::map<const uint8_t*, CString> addedBytes; // by the address of embedded bytes
};

State& Shared()
{
    static State state;
    return state;
}

FcConfig* Config()
{
    // Fontconfig's current configuration, loaded on first use.
    return FcConfigGetCurrent();
}

void EnsureContext(State& s)
{
    if (s.context)
        return;
    s.fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
    if (s.fontMap && PANGO_IS_FC_FONT_MAP(s.fontMap))
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(s.fontMap), Config());
    if (!s.fontMap)
        s.fontMap = pango_cairo_font_map_new();
    s.context = pango_font_map_create_context(s.fontMap);
}

// The fonts changed: layouts made from now on see them.
void ConfigChanged(State& s)
{
    if (s.fontMap && PANGO_IS_FC_FONT_MAP(s.fontMap))
        pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(s.fontMap));
    if (s.context)
        pango_context_changed(s.context);
}

std::optional<CString> FirstFamilyOf(const std::string& path)
{
    int count = 0;
    FcPattern* face = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path.c_str()), 0, nullptr, &count);
    if (!face)
        return std::nullopt;
    FcChar8* family = nullptr;
    std::optional<CString> name;
    if (FcPatternGetString(face, FC_FAMILY, 0, &family) == FcResultMatch && family)
        name = Utf8ToWide(reinterpret_cast<const char*>(family));
    FcPatternDestroy(face);
    return name;
}

} // namespace

std::optional<CString> FontConfiguration::AddFontFile(const std::string& nativePath)
{
    State& s = Shared();
    std::lock_guard lock(s.lock);
    const std::optional<CString> family = FirstFamilyOf(nativePath);
    if (!family)
        return std::nullopt;
    if (s.addedFiles.insert(nativePath).second) {
        if (!FcConfigAppFontAddFile(Config(), reinterpret_cast<const FcChar8*>(nativePath.c_str()))) {
            s.addedFiles.erase(nativePath);
            return std::nullopt;
        }
        ConfigChanged(s);
    }
    return family;
}

std::optional<CString> FontConfiguration::AddFontBytes(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        return std::nullopt;
    State& s = Shared();
    std::lock_guard lock(s.lock);
    if (const auto it = s.addedBytes.find(bytes.data()); it != s.addedBytes.end())
        return it->second;
    // Font files are read by path; an anonymous memory file gives the bytes one without touching the
    // disk. It stays open for the life of the process, as the font does.
    const int fd = memfd_create("kelvo-font", MFD_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            close(fd);
            return std::nullopt;
        }
        written += static_cast<size_t>(n);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const std::optional<CString> family = AddFontFile(path);
    if (!family) {
        close(fd);
        return std::nullopt;
    }
    s.addedBytes[bytes.data()] = *family;
    return family;
}

bool FontConfiguration::IsFamilyAvailable(const CString& family)
{
    if (family.empty())
        return false;
    State& s = Shared();
    std::lock_guard lock(s.lock);
    const std::string utf8 = WideToUtf8(family);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.c_str()));
    FcConfigSubstitute(Config(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(Config(), pattern, &result);
    bool available = false;
    FcChar8* matched = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch && matched) {
        // The substituted pattern lists the asked family and the substitutes the configuration binds to
        // it, then the default families, which are bound weakly; the match counts when it is one of the
        // former.
        FcValue value;
        FcValueBinding binding = FcValueBindingWeak;
        for (int i = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
            if (binding == FcValueBindingWeak || value.type != FcTypeString)
                continue;
            if (FcStrCmpIgnoreCase(value.u.s, matched) == 0) {
                available = true;
                break;
            }
        }
    }
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return available;
}

PangoContext* FontConfiguration::Context()
{
    State& s = Shared();
    std::lock_guard lock(s.lock);
    EnsureContext(s);
    return s.context;
}

std::unique_lock<std::recursive_mutex> FontConfiguration::Lock()
{
    return std::unique_lock(Shared().lock);
}

// --- FontCollection ---

const FontFamily* FontCollection::AddTempFont(const CString& name, const std::string& nativePath)
{
    const std::optional<CString> family = FontConfiguration::AddFontFile(nativePath);
    if (!family)
        return nullptr;
    std::lock_guard lock(m_lock);
    auto& entry = m_families[name];
    entry = std::make_unique<FontFamily>(FontFamily{*family});
    return entry.get();
}

const FontFamily* FontCollection::AddTempFont(const CString& name, HINSTANCE module, unsigned resId)
{
    const std::optional<CString> family =
        FontConfiguration::AddFontBytes(FindResourceBytes(module, resId, L"ttf"));
    if (!family)
        return nullptr;
    std::lock_guard lock(m_lock);
    auto& entry = m_families[name];
    entry = std::make_unique<FontFamily>(FontFamily{*family});
    return entry.get();
}

bool FontCollection::AddGDITempFont(HINSTANCE module, unsigned resId)
{
    return FontConfiguration::AddFontBytes(FindResourceBytes(module, resId, L"ttf")).has_value();
}

const FontFamily* FontCollection::Find(const CString& name)
{
    {
        std::lock_guard lock(m_lock);
        if (const auto it = m_families.find(name); it != m_families.end())
            return it->second.get();
    }
    if (!FontConfiguration::IsFamilyAvailable(name))
        return nullptr;
    std::lock_guard lock(m_lock);
    auto& entry = m_families[name];
    if (!entry)
        entry = std::make_unique<FontFamily>(FontFamily{name});
    return entry.get();
}

void FontCollection::Clear()
{
    std::lock_guard lock(m_lock);
    m_families.clear();
}

size_t FontCollection::Count() const
{
    std::lock_guard lock(m_lock);
    return m_families.size();
}
