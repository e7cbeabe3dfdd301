#pragma once
// Fonts: the process's font configuration (fontconfig, with the library's private fonts added as
// application fonts) and each paint manager's collection of families by name.
//
// Private font files and embedded fonts become application fonts of the process's font configuration,
// once per file; a collection only maps names to families, so releasing a collection does not take a
// font away from another window that registered it too.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "core/wide_text.h"
#include "ui/framework/render_types.h"
#include "ui/framework/win_types.h"

typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoContext PangoContext;

// The font configuration shared by all text of the library.
class FontConfiguration {
public:
    // Adds a font file; the family name of its first face, or nullopt when it is not a font.
    static std::optional<CString> AddFontFile(const std::string& nativePath);
    // Adds a font held in memory; the family name of its first face, or nullopt.
    static std::optional<CString> AddFontBytes(std::span<const uint8_t> bytes);
    // Whether text in this family is drawn with the family itself or with a substitute the configuration
    // declares for it (as Liberation Sans for "Arial"), rather than with a generic fallback.
    static bool IsFamilyAvailable(const CString& family);

    // The text layout context; callers hold Lock() while they use it.
    static PangoContext* Context();
    static std::unique_lock<std::recursive_mutex> Lock();
};

class FontCollection {
public:
    FontCollection() = default;
    FontCollection(const FontCollection&) = delete;
    FontCollection& operator=(const FontCollection&) = delete;

    // Loads a font file and registers its first family under name; null on failure.
    const FontFamily* AddTempFont(const CString& name, const std::string& nativePath);
    // The same from a "ttf" resource of a module.
    const FontFamily* AddTempFont(const CString& name, HINSTANCE module, unsigned resId);
    // Makes a "ttf" resource of a module available to all text of the process; false when it is missing.
    static bool AddGDITempFont(HINSTANCE module, unsigned resId);
    // The family registered (or installed) under name; found installed families are kept. Null when it
    // is neither registered nor available.
    const FontFamily* Find(const CString& name);
    void Clear();
    size_t Count() const;

private:
    mutable std::mutex m_lock;
    std::map<CString, std::unique_ptr<FontFamily>> m_families;
};
