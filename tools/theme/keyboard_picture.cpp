#include "tools/theme/keyboard_picture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <pango/pangocairo.h>
#include <pugixml.hpp>

#include "core/wide_text.h"
#include "device/keyboard_layout.h"
#include "tools/theme/surface.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kCaseTop = 0x2B2B2B;
constexpr unsigned kCaseBottom = 0x1F1F1F;
constexpr unsigned kPlate = 0x151515;
constexpr unsigned kSkirt = 0x343434;
constexpr unsigned kSkirtEdge = 0x0C0C0C;
constexpr unsigned kCapTop = 0x4A4A4A;
constexpr unsigned kCapBottom = 0x3C3C3C;
constexpr unsigned kLegend = 0xE8E8E8;
constexpr unsigned kAccent = 0xED801B;
constexpr const char* kFont = "Open Sans Semibold";
constexpr unsigned kFnKey = 0xAF; // its legend takes the colour of the Fn legends it unlocks

// The `fn` attribute of every key, in document order; the layout reader does not keep it.
std::vector<std::string> FnLegends(const std::string& layoutFile)
{
    std::vector<std::string> legends;
    pugi::xml_document doc;
    if (!doc.load_file(layoutFile.c_str()))
        return legends;
    for (const pugi::xml_node& key :
         doc.child("device.info").child("Keyboard").child("KeyItems").children("key"))
        legends.emplace_back(key.attribute("fn").value());
    return legends;
}

// Skin pictures by the names layouts give them ("icon//icon_pc.png", "icon\\x.png").
class Icons {
public:
    explicit Icons(std::string folder) : folder_(std::move(folder)) {}

    cairo_surface_t* Get(const std::string& name)
    {
        auto found = cache_.find(name);
        if (found == cache_.end()) {
            std::string native = name;
            std::replace(native.begin(), native.end(), '\\', '/');
            Surface s = ReadPng((fs::path(folder_) / native).lexically_normal().string());
            if (!s)
                std::fprintf(stderr, "theme_pictures: no skin picture %s\n", name.c_str());
            found = cache_.emplace(name, std::move(s)).first;
        }
        return found->second.get();
    }

private:
    std::string folder_;
    std::map<std::string, Surface> cache_;
};

void Gradient(cairo_t* cr, double y0, double y1, unsigned top, unsigned bottom)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, ((top >> 16) & 0xFF) / 255.0, ((top >> 8) & 0xFF) / 255.0,
                                     (top & 0xFF) / 255.0);
    cairo_pattern_add_color_stop_rgb(p, 1, ((bottom >> 16) & 0xFF) / 255.0, ((bottom >> 8) & 0xFF) / 255.0,
                                     (bottom & 0xFF) / 255.0);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

// Centred text in the box, shrunk until it fits its width (never below 7 pixels).
void Legend(cairo_t* cr, const std::string& text, double x, double y, double w, double h, double size,
            unsigned colour)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(kFont);
    int tw = 0, th = 0;
    for (;; size -= 0.5) {
        pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
        pango_layout_set_font_description(layout, font);
        pango_layout_set_text(layout, text.c_str(), -1);
        pango_layout_get_pixel_size(layout, &tw, &th);
        if (tw <= w || size <= 7)
            break;
    }
    SetColour(cr, colour);
    cairo_move_to(cr, x + (w - tw) / 2.0, y + (h - th) / 2.0);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
}

void Icon(cairo_t* cr, cairo_surface_t* icon, double cx, double cy, double size, const unsigned* tint)
{
    const double iw = cairo_image_surface_get_width(icon);
    const double ih = cairo_image_surface_get_height(icon);
    const double scale = size > 0 ? std::min(size / iw, size / ih) : 1.0;
    cairo_save(cr);
    cairo_translate(cr, cx - iw * scale / 2, cy - ih * scale / 2);
    cairo_scale(cr, scale, scale);
    if (tint) {
        SetColour(cr, *tint);
        cairo_mask_surface(cr, icon, 0, 0);
    } else {
        cairo_set_source_surface(cr, icon, 0, 0);
        cairo_paint(cr);
    }
    cairo_restore(cr);
}

void Case(cairo_t* cr, int width, int height, const std::vector<LayoutFile::Key>& keys)
{
    RoundedRectangle(cr, 0.5, 0.5, width - 1, height - 1, 12);
    Gradient(cr, 0, height, kCaseTop, kCaseBottom);
    cairo_fill_preserve(cr);
    SetColour(cr, 0x4A4A4A);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // A light edge along the top and a short accent bar, as the case's lit trim.
    cairo_move_to(cr, 14, 1.5);
    cairo_line_to(cr, width - 14, 1.5);
    SetColour(cr, 0xFFFFFF, 0.10);
    cairo_stroke(cr);
    cairo_rectangle(cr, width / 2.0 - 40, 0, 80, 2);
    SetColour(cr, kAccent);
    cairo_fill(cr);

    // The sunken plate under the keys.
    int left = width, top = height, right = 0, bottom = 0;
    for (const LayoutFile::Key& k : keys) {
        const CRect& r = k.item.rect;
        if (r.right <= r.left || r.bottom <= r.top)
            continue;
        left = std::min(left, static_cast<int>(r.left));
        top = std::min(top, static_cast<int>(r.top));
        right = std::max(right, static_cast<int>(r.right));
        bottom = std::max(bottom, static_cast<int>(r.bottom));
    }
    if (right > left) {
        RoundedRectangle(cr, left - 4, top - 4, right - left + 8, bottom - top + 8, 6);
        SetColour(cr, kPlate);
        cairo_fill(cr);
    }
}

void Keycap(cairo_t* cr, const LayoutKeyItem& key, const std::string& fn, Icons& icons)
{
    const double x = key.rect.left, y = key.rect.top;
    const double w = key.rect.right - key.rect.left, h = key.rect.bottom - key.rect.top;
    RoundedRectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1, 5);
    SetColour(cr, kSkirt);
    cairo_fill_preserve(cr);
    SetColour(cr, kSkirtEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // The top surface sits back from the front edge, as on a sculpted keycap.
    const double tx = x + 3, ty = y + 2, tw = w - 6, th = h - 7;
    RoundedRectangle(cr, tx, ty, tw, th, 4);
    Gradient(cr, ty, ty + th, kCapTop, kCapBottom);
    cairo_fill(cr);
    cairo_move_to(cr, tx + 4, ty + 0.5);
    cairo_line_to(cr, tx + tw - 4, ty + 0.5);
    SetColour(cr, 0xFFFFFF, 0.12);
    cairo_stroke(cr);

    const std::string name = WideToUtf8(key.name);
    const std::string icon = WideToUtf8(key.icon);
    const bool hasFn = !fn.empty();
    const double legendH = hasFn ? th - 10 : th;
    const double size = name.size() <= 2 ? 13 : 10;
    if (!icon.empty() && icons.Get(icon)) {
        if (!name.empty())
            Legend(cr, name, tx + 1, ty, tw - 2, legendH / 2, 9, kLegend);
        Icon(cr, icons.Get(icon), x + w / 2, name.empty() ? ty + legendH / 2 : ty + legendH * 0.7,
             std::min(legendH / 2, 16.0), nullptr);
    } else if (!name.empty()) {
        Legend(cr, name, tx + 1, ty, tw - 2, legendH, size, key.code == kFnKey ? kAccent : kLegend);
    }
    if (hasFn) {
        const double fy = ty + th - 11;
        if (fn.size() > 4 && fn.compare(fn.size() - 4, 4, ".png") == 0) {
            if (cairo_surface_t* s = icons.Get(fn))
                Icon(cr, s, x + w / 2, fy + 5.5, 11, &kAccent);
        } else {
            Legend(cr, fn, tx + 1, fy, tw - 2, 11, 8, kAccent);
        }
    }
}

} // namespace

bool DrawKeyboardPicture(const std::string& layoutFile, const std::string& skinFolder, const std::string& out)
{
    const std::optional<LayoutFile> layout = ReadLayoutFile(Utf8ToWide(layoutFile));
    if (!layout || !layout->keyboard || layout->keyboard->width <= 0 || layout->keyboard->height <= 0) {
        std::fprintf(stderr, "theme_pictures: %s has no keyboard size\n", layoutFile.c_str());
        return false;
    }
    const int width = layout->keyboard->width;
    const int height = layout->keyboard->height;
    Surface surface = NewSurface(width, height);
    Context cr = NewContext(surface);
    Case(cr.get(), width, height, layout->keys);

    const std::vector<std::string> fn = FnLegends(layoutFile);
    Icons icons(skinFolder);
    for (size_t i = 0; i < layout->keys.size(); ++i) {
        const LayoutKeyItem& key = layout->keys[i].item;
        if (key.rect.right <= key.rect.left || key.rect.bottom <= key.rect.top)
            continue;
        Keycap(cr.get(), key, fn.size() == layout->keys.size() ? fn[i] : std::string(), icons);
    }
    if (!out.empty())
        return WritePng(surface, out);
    std::string image = WideToUtf8(layout->keyboard->image);
    std::replace(image.begin(), image.end(), '\\', '/');
    if (image.empty()) {
        std::fprintf(stderr, "theme_pictures: %s names no keyboard picture\n", layoutFile.c_str());
        return false;
    }
    return WritePng(surface, (fs::path(skinFolder) / "keyboard" / image).lexically_normal().string());
}
