// Draws KelvoUI's own pictures at build time:
//   kelvo_pictures scroll <horizontal.png> <vertical.png>   the scroll-bar thumb strips (resources 101, 102)
//   kelvo_pictures skins <folder>                           the theme's bubble, fallback scroll bar and
//                                                           example-dialog pictures
// Every picture is drawn here with cairo; nothing is taken from elsewhere.

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <numbers>
#include <string>

namespace {

struct Rgba {
    double r, g, b, a;
};

// The thumb's four states: normal, hovered, pressed, disabled.
const Rgba kThumb[4] = {
    {0.78, 0.76, 0.84, 0.55},
    {0.90, 0.88, 0.96, 0.80},
    {0.64, 0.36, 0.86, 0.95},
    {0.50, 0.50, 0.55, 0.25},
};
const Rgba kBubbleFill = {0.149, 0.165, 0.200, 0.94};
const Rgba kBubbleEdge = {0.36, 0.38, 0.45, 1.0};

void Set(cairo_t* cr, const Rgba& c)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    constexpr double kPi = std::numbers::pi;
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

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
        std::fprintf(stderr, "kelvo_pictures: cannot write %s\n", path.c_str());
    return ok;
}

// A strip of thumbs, one frame per state, each `along` long and `thick` wide.
bool ThumbStrip(const std::string& path, bool vertical, int along, int thick, int frames)
{
    const int fw = vertical ? thick : along;
    const int fh = vertical ? along : thick;
    return Write(fw * frames, fh, path, [&](cairo_t* cr) {
        for (int i = 0; i < frames; ++i) {
            RoundedRect(cr, i * fw + 0.5, 0.5, fw - 1.0, fh - 1.0, thick / 2.0);
            Set(cr, kThumb[i]);
            cairo_fill(cr);
        }
    });
}

bool Scroll(const std::string& horizontal, const std::string& vertical)
{
    return ThumbStrip(horizontal, false, 32, 7, 4) && ThumbStrip(vertical, true, 32, 7, 4);
}

bool Arrow(const std::string& path, int w, int h, const char* side)
{
    return Write(w, h, path, [&](cairo_t* cr) {
        if (std::strcmp(side, "left") == 0) {
            cairo_move_to(cr, 0, h / 2.0);
            cairo_line_to(cr, w, 0);
            cairo_line_to(cr, w, h);
        } else if (std::strcmp(side, "right") == 0) {
            cairo_move_to(cr, w, h / 2.0);
            cairo_line_to(cr, 0, 0);
            cairo_line_to(cr, 0, h);
        } else {
            cairo_move_to(cr, w / 2.0, 0);
            cairo_line_to(cr, 0, h);
            cairo_line_to(cr, w, h);
        }
        cairo_close_path(cr);
        Set(cr, kBubbleFill);
        cairo_fill(cr);
    });
}

bool Skins(const std::string& folder)
{
    const std::string f = folder + "/";
    bool ok = true;
    // The bubble: a dark rounded body with a lighter edge, nine-sliced with corner 6.
    ok &= Write(24, 24, f + "img_tip_bk.png", [](cairo_t* cr) {
        RoundedRect(cr, 0.5, 0.5, 23, 23, 5.5);
        Set(cr, kBubbleFill);
        cairo_fill_preserve(cr);
        Set(cr, kBubbleEdge);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    });
    ok &= Arrow(f + "img_tip_arrow_left.png", 8, 16, "left");
    ok &= Arrow(f + "img_tip_arrow_right.png", 8, 16, "right");
    ok &= Arrow(f + "img_tip_arrow_top.png", 16, 8, "top");
    // Scroll bars of windows without a scroll-bar resource: one frame.
    ok &= ThumbStrip(f + "img_scroll_v.png", true, 32, 7, 1);
    ok &= ThumbStrip(f + "img_scroll_h.png", false, 32, 7, 1);
    // The example dialog's background, drawn as a frame with border 12: an accent edge and a deep
    // vertical gradient.
    ok &= Write(64, 64, f + "demo/bk_dialog.png", [](cairo_t* cr) {
        cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, 64);
        cairo_pattern_add_color_stop_rgb(body, 0, 0.11, 0.07, 0.20);
        cairo_pattern_add_color_stop_rgb(body, 1, 0.04, 0.04, 0.08);
        RoundedRect(cr, 0, 0, 64, 64, 10);
        cairo_set_source(cr, body);
        cairo_fill(cr);
        cairo_pattern_destroy(body);
        RoundedRect(cr, 0.5, 0.5, 63, 63, 9.5);
        cairo_set_source_rgb(cr, 0.42, 0.10, 0.55);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_move_to(cr, 10, 1.5);
        cairo_line_to(cr, 54, 1.5);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
        cairo_stroke(cr);
    });
    // A panel face for the example's scrolling list.
    ok &= Write(16, 16, f + "demo/bk_panel.png", [](cairo_t* cr) {
        RoundedRect(cr, 0.5, 0.5, 15, 15, 4);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    });
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    bool ok = false;
    if (argc == 4 && std::strcmp(argv[1], "scroll") == 0)
        ok = Scroll(argv[2], argv[3]);
    else if (argc == 3 && std::strcmp(argv[1], "skins") == 0)
        ok = Skins(argv[2]);
    else
        std::fprintf(stderr,
                     "usage: kelvo_pictures scroll <horizontal.png> <vertical.png> | skins <folder>\n");
    cairo_debug_reset_static_data();
    return ok ? 0 : 1;
}
