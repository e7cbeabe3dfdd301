#include "tools/theme/contact_sheet.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pango/pangocairo.h>

#include "tools/theme/surface.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSheetWidth = 1700;
constexpr int kPad = 14;
constexpr int kLabel = 18;
constexpr int kSmall = 48; // pictures below this in both directions are also shown at twice the size

struct Tile {
    std::string name;
    std::vector<Surface> images; // one, or the frames of an animation
    int frames = 1;
    int width = 0; // of the tile's picture area
    int height = 0;
    bool doubled = false;
};

Surface FromPixbuf(GdkPixbuf* pixbuf)
{
    const int w = gdk_pixbuf_get_width(pixbuf), h = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf), rowstride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
    Surface s = NewSurface(w, h);
    cairo_surface_flush(s.get());
    unsigned char* dst = cairo_image_surface_get_data(s.get());
    const int stride = cairo_image_surface_get_stride(s.get());
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(dst + y * stride);
        for (int x = 0; x < w; ++x) {
            const guchar* p = src + y * rowstride + x * channels;
            const unsigned a = channels == 4 ? p[3] : 255;
            const auto pre = [a](unsigned c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (pre(p[0]) << 16) | (pre(p[1]) << 8) | pre(p[2]);
        }
    }
    cairo_surface_mark_dirty(s.get());
    return s;
}

// Every frame of an animation once (at most 12), or the single picture.
std::vector<Surface> Load(const std::string& path)
{
    std::vector<Surface> images;
    GdkPixbufAnimation* animation = gdk_pixbuf_animation_new_from_file(path.c_str(), nullptr);
    if (!animation)
        return images;
    if (gdk_pixbuf_animation_is_static_image(animation)) {
        images.push_back(FromPixbuf(gdk_pixbuf_animation_get_static_image(animation)));
    } else {
        // The iterator's clock is the deprecated GTimeVal; there is no other way to step it.
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        GTimeVal t{0, 0};
        GdkPixbufAnimationIter* iter = gdk_pixbuf_animation_get_iter(animation, &t);
        for (int i = 0; i < 12; ++i) {
            images.push_back(FromPixbuf(gdk_pixbuf_animation_iter_get_pixbuf(iter)));
            const int delay = gdk_pixbuf_animation_iter_get_delay_time(iter);
            if (delay <= 0)
                break;
            // Two frames apart, so a whole turn shows in the sheet.
            g_time_val_add(&t, 2 * delay * 1000);
            gdk_pixbuf_animation_iter_advance(iter, &t);
        }
        G_GNUC_END_IGNORE_DEPRECATIONS
        g_object_unref(iter);
    }
    g_object_unref(animation);
    return images;
}

void Text(cairo_t* cr, const std::string& text, double x, double y, unsigned colour)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("Open Sans 9px");
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, text.c_str(), -1);
    SetColour(cr, colour);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
}

} // namespace

bool DrawContactSheet(const ThemeManifest& manifest, const std::string& skinFolder, const std::string& out)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(skinFolder)) {
        const std::string ext = e.path().extension().string();
        if (e.is_regular_file() && (ext == ".png" || ext == ".gif" || ext == ".ico"))
            names.push_back(fs::relative(e.path(), skinFolder).generic_string());
    }
    // Folders last, keyboards at the very end: the widest pictures close the sheet.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto rank = [](const std::string& n) {
            return n.rfind("keyboard/", 0) == 0 ? 2 : n.find('/') != std::string::npos ? 1 : 0;
        };
        return std::pair(rank(a), a) < std::pair(rank(b), b);
    });

    std::vector<Tile> tiles;
    for (const std::string& name : names) {
        Tile tile{name, Load((fs::path(skinFolder) / name).string())};
        if (tile.images.empty()) {
            std::fprintf(stderr, "theme_pictures: cannot read %s\n", name.c_str());
            return false;
        }
        if (const PictureEntry* entry = manifest.FindPicture(name))
            tile.frames = static_cast<int>(entry->frames.size());
        const int w = cairo_image_surface_get_width(tile.images[0].get());
        const int h = cairo_image_surface_get_height(tile.images[0].get());
        tile.doubled = w < kSmall * std::max(1, tile.frames) && h < kSmall;
        const int n = static_cast<int>(tile.images.size());
        tile.width = std::max(150, n * (w + 4) + (tile.doubled ? 2 * w + 8 : 0));
        tile.height = std::max(h, tile.doubled ? 2 * h : h);
        tiles.push_back(std::move(tile));
    }

    // Shelf packing: tiles left to right, a new shelf when the next one does not fit.
    struct Placed {
        int x, y;
    };
    std::vector<Placed> places;
    int x = kPad, y = kPad, shelf = 0;
    for (const Tile& t : tiles) {
        if (x + t.width > kSheetWidth - kPad && x > kPad) {
            x = kPad;
            y += shelf + kLabel + kPad;
            shelf = 0;
        }
        places.push_back({x, y});
        x += t.width + kPad;
        shelf = std::max(shelf, t.height);
    }
    const int height = y + shelf + kLabel + kPad;

    Surface sheet = NewSurface(kSheetWidth, height);
    Context cr = NewContext(sheet);
    SetColour(cr.get(), 0x333333);
    cairo_paint(cr.get());
    for (size_t i = 0; i < tiles.size(); ++i) {
        const Tile& t = tiles[i];
        const auto [tx, ty] = places[i];
        const int w = cairo_image_surface_get_width(t.images[0].get());
        const int h = cairo_image_surface_get_height(t.images[0].get());
        int px = tx;
        for (const Surface& image : t.images) {
            cairo_set_source_surface(cr.get(), image.get(), px, ty);
            cairo_paint(cr.get());
            px += w + 4;
        }
        // Frame borders of a strip as ticks under it.
        for (int f = 1; f < t.frames; ++f) {
            cairo_rectangle(cr.get(), tx + f * w / t.frames, ty + h, 1, 3);
            SetColour(cr.get(), 0xED801B);
            cairo_fill(cr.get());
        }
        if (t.doubled) {
            cairo_save(cr.get());
            cairo_translate(cr.get(), px + 4, ty);
            cairo_scale(cr.get(), 2, 2);
            cairo_set_source_surface(cr.get(), t.images[0].get(), 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_NEAREST);
            cairo_paint(cr.get());
            cairo_restore(cr.get());
        }
        char label[256];
        std::snprintf(label, sizeof label, "%s  %d×%d%s%s", t.name.c_str(), w, h,
                      t.frames > 1 ? ("  " + std::to_string(t.frames) + " frames").c_str() : "",
                      t.images.size() > 1 ? "  animated" : "");
        Text(cr.get(), label, tx, ty + t.height + 3, 0xADADAD);
    }
    return WritePng(sheet, out);
}
