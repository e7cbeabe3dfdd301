#include "ui/framework/font_collection.h"

#include <fontconfig/fontconfig.h>
#include <fstream>
#include <iterator>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "ui/framework/resource_module.h"

namespace {

constexpr size_t kMaxFontBytes = 64 << 20;

struct State {
    std::recursive_mutex lock;
    PangoFontMap* fontMap = nullptr;
    PangoContext* context = nullptr;
    std::map<std::string, CString> addedFiles;    // by path
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

// Fonts are read by path; an anonymous memory file gives the bytes one without touching the disk. It
// stays open for the life of the process, as the font does. The family of its first face, or nullopt.
std::optional<CString> AddToConfiguration(State& s, std::span<const uint8_t> bytes)
{
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
    const std::optional<CString> family = FirstFamilyOf(path);
    if (!family || !FcConfigAppFontAddFile(Config(), reinterpret_cast<const FcChar8*>(path.c_str()))) {
        close(fd);
        return std::nullopt;
    }
    ConfigChanged(s);
    return family;
}

} // namespace

std::optional<CString> FontConfiguration::AddFontFile(const std::string& nativePath)
{
    State& s = Shared();
    std::lock_guard lock(s.lock);
    if (const auto it = s.addedFiles.find(nativePath); it != s.addedFiles.end())
        return it->second;
    // The font is kept in memory: a file replaced or removed while the program runs must not take the
    // registered font with it.
    std::ifstream file(nativePath, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    if (bytes.empty() || bytes.size() > kMaxFontBytes)
        return std::nullopt;
    const std::optional<CString> family = AddToConfiguration(s, bytes);
    if (family)
        s.addedFiles[nativePath] = *family;
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
    const std::optional<CString> family = AddToConfiguration(s, bytes);
    if (family)
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
    // The substituted pattern lists the asked family and the substitutes the configuration binds to it,
    // then the default families, which are bound weakly; the match counts when one of its names (a face
    // may have several, as "Open Sans" and "Open Sans Semibold") is one of the former.
    auto matchNamed = [match](const FcChar8* name) {
        FcChar8* own = nullptr;
        for (int j = 0; match && FcPatternGetString(match, FC_FAMILY, j, &own) == FcResultMatch; ++j) {
            if (FcStrCmpIgnoreCase(own, name) == 0)
                return true;
        }
        return false;
    };
    bool available = false;
    FcValue value;
    FcValueBinding binding = FcValueBindingWeak;
    for (int i = 0;
         !available && FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch;
         ++i) {
        if (binding != FcValueBindingWeak && value.type == FcTypeString)
            available = matchNamed(value.u.s);
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
