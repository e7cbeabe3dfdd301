#pragma once
// Resources by numeric id and type, as a module carries them: the library's own pictures and font
// (embedded into libKelvoUI.so at build time) and whatever the program hands over with
// Manager::SetInstance. A module instance (HINSTANCE) is the address of a ResourceModule; any other
// value finds nothing.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/wide_text.h"
#include "ui/framework/win_types.h"

class ResourceModule {
public:
    struct Entry {
        unsigned id = 0;
        std::wstring type; // "PNG", "TTF", "ICO", …; compared without regard to letter case
        std::span<const uint8_t> bytes;
    };

    explicit ResourceModule(std::vector<Entry> entries);
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    // The bytes of a resource; empty when the module has none of that id and type.
    std::span<const uint8_t> Find(unsigned id, const CString& type) const;
    HINSTANCE Instance() const { return const_cast<ResourceModule*>(this); }

private:
    std::vector<Entry> m_entries;
};

// The library's own module: PNG 101 (horizontal scroll bar), PNG 102 (vertical scroll bar) and
// TTF 106 ("Open Sans Semibold").
HINSTANCE LibraryModule();

// The bytes of a resource of a module instance; empty when the instance is not a live ResourceModule or
// has no such resource.
std::span<const uint8_t> FindResourceBytes(HINSTANCE module, unsigned id, const CString& type);

// Resource ids of the library's module.
constexpr unsigned kScrollHorizontalResId = 101;
constexpr unsigned kScrollVerticalResId = 102;
constexpr unsigned kEmbeddedFontResId = 106;
