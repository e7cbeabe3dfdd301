// Draws the pictures the control gallery shows on its own (the theme's pictures come from the theme):
//   gallery_skin_pictures <folder>
// writes into <folder>/gallery/: photo.png (a landscape), slides.png (three slides side by side),
// icons.png (a star in four states), badge.png (a frame for nine-slice drawing) and frame.png (a picture
// frame). Every picture is drawn here with cairo.

#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <numbers>
#include <string>

namespace {

constexpr double kPi = std::numbers::pi;

bool Write(int width, int height, const std::string& path, const std::function<void(cairo_t*)>& draw)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    draw(cr);
    cairo_destroy(cr);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok)
        std::fprintf(stderr, "gallery_skin_pictures: cannot write %s\n", path.c_str());
    return ok;
}

void Rounded(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

// Sky, sun and two rows of hills in a w × h box at x.
void Landscape(cairo_t* cr, double x, double w, double h, double hue)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, 0, w, h);
    cairo_clip(cr);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.16 + hue * 0.3, 0.28, 0.55 - hue * 0.2);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.93, 0.62 + hue * 0.1, 0.42);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    cairo_arc(cr, x + w * 0.72, h * 0.36, h * 0.12, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 1.0, 0.86, 0.45);
    cairo_fill(cr);
    for (int row = 0; row < 2; ++row) {
        const double base = h * (0.62 + row * 0.16);
        cairo_move_to(cr, x, h);
        for (int i = 0; i <= 40; ++i) {
            const double px = x + w * i / 40.0;
            cairo_line_to(cr, px, base - std::sin(i * (0.35 + row * 0.2) + hue * 3) * h * 0.07);
        }
        cairo_line_to(cr, x + w, h);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 0.12 + row * 0.05, 0.30 - row * 0.08 + hue * 0.1, 0.22 - row * 0.05);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// A five-pointed star centred at (cx, cy).
void Star(cairo_t* cr, double cx, double cy, double outer)
{
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? outer * 0.45 : outer;
        const double a = -kPi / 2 + i * kPi / 5;
        if (i == 0)
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

bool Draw(const std::string& folder)
{
    const std::string f = folder + "/gallery/";
    bool ok = true;
    ok &= Write(320, 200, f + "photo.png", [](cairo_t* cr) { Landscape(cr, 0, 320, 200, 0.0); });
    ok &= Write(3 * 320, 180, f + "slides.png", [](cairo_t* cr) {
        for (int i = 0; i < 3; ++i) {
            Landscape(cr, i * 320, 320, 180, i * 0.5);
            cairo_select_font_face(cr, "Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
            cairo_set_font_size(cr, 44);
            cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
            cairo_move_to(cr, i * 320 + 24, 64);
            cairo_show_text(cr, std::to_string(i + 1).c_str());
        }
    });
    // Normal, hovered, pressed (or selected), disabled.
    ok &= Write(4 * 24, 24, f + "icons.png", [](cairo_t* cr) {
        const double colours[4][3] = {
            {0.78, 0.78, 0.78}, {1.0, 1.0, 1.0}, {0.93, 0.50, 0.11}, {0.40, 0.40, 0.40}};
        for (int i = 0; i < 4; ++i) {
            Star(cr, i * 24 + 12, 13, 10);
            cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
            cairo_fill(cr);
        }
    });
    // A 48 × 48 panel with 12-pixel corners: an accent edge and a darker middle.
    ok &= Write(48, 48, f + "badge.png", [](cairo_t* cr) {
        Rounded(cr, 1, 1, 46, 46, 11);
        cairo_set_source_rgb(cr, 0.20, 0.20, 0.20);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.93, 0.50, 0.11);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        for (double cx : {8.0, 40.0})
            for (double cy : {8.0, 40.0}) {
                cairo_arc(cr, cx, cy, 2.5, 0, 2 * kPi);
                cairo_fill(cr);
            }
    });
    // A wooden-looking frame with an 8-pixel border and an open middle.
    ok &= Write(32, 32, f + "frame.png", [](cairo_t* cr) {
        cairo_pattern_t* wood = cairo_pattern_create_linear(0, 0, 32, 32);
        cairo_pattern_add_color_stop_rgb(wood, 0, 0.62, 0.42, 0.22);
        cairo_pattern_add_color_stop_rgb(wood, 1, 0.36, 0.22, 0.10);
        cairo_rectangle(cr, 0, 0, 32, 32);
        cairo_rectangle(cr, 8, 8, 16, 16);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_source(cr, wood);
        cairo_fill(cr);
        cairo_pattern_destroy(wood);
        cairo_rectangle(cr, 7.5, 7.5, 17, 17);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    });
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gallery_skin_pictures <skin folder>\n");
        return 2;
    }
    return Draw(argv[1]) ? 0 : 1;
}
