#include "tools/theme/svg_source.h"

#include <cstdio>
#include <gio/gio.h>
#include <librsvg/rsvg.h>
#include <memory>
#include <pugixml.hpp>
#include <sstream>

namespace {

struct GFree {
    void operator()(gpointer p) const { g_object_unref(p); }
};

} // namespace

bool DrawSvg(cairo_t* cr, const std::string& file, const std::string& stylesheet,
             const std::vector<std::string>& classes, double x, double y, double w, double h)
{
    // The processing instruction that links theme.css must survive the round trip.
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_file(file.c_str(), pugi::parse_full);
    if (!parsed) {
        std::fprintf(stderr, "theme_pictures: %s: %s\n", file.c_str(), parsed.description());
        return false;
    }
    if (!classes.empty()) {
        pugi::xml_node root = doc.document_element();
        std::string value = root.attribute("class").value();
        for (const std::string& c : classes)
            value += (value.empty() ? "" : " ") + c;
        if (!root.attribute("class"))
            root.append_attribute("class");
        root.attribute("class").set_value(value.c_str());
    }
    std::ostringstream text;
    doc.save(text, "", pugi::format_raw);
    const std::string bytes = text.str();

    // The base file lets relative references (the stylesheet, <use> of other sources) resolve.
    std::unique_ptr<GFile, GFree> base(g_file_new_for_path(file.c_str()));
    std::unique_ptr<GInputStream, GFree> stream(
        g_memory_input_stream_new_from_data(bytes.data(), static_cast<gssize>(bytes.size()), nullptr));
    GError* error = nullptr;
    std::unique_ptr<RsvgHandle, GFree> handle(
        rsvg_handle_new_from_stream_sync(stream.get(), base.get(), RSVG_HANDLE_FLAGS_NONE, nullptr, &error));
    if (!handle) {
        std::fprintf(stderr, "theme_pictures: %s: %s\n", file.c_str(), error ? error->message : "unreadable");
        g_clear_error(&error);
        return false;
    }
    if (!stylesheet.empty() &&
        !rsvg_handle_set_stylesheet(handle.get(), reinterpret_cast<const guint8*>(stylesheet.data()),
                                    stylesheet.size(), &error)) {
        std::fprintf(stderr, "theme_pictures: stylesheet: %s\n", error ? error->message : "unreadable");
        g_clear_error(&error);
        return false;
    }
    const RsvgRectangle viewport{x, y, w, h};
    if (!rsvg_handle_render_document(handle.get(), cr, &viewport, &error)) {
        std::fprintf(stderr, "theme_pictures: %s: %s\n", file.c_str(), error ? error->message : "not drawn");
        g_clear_error(&error);
        return false;
    }
    return true;
}
