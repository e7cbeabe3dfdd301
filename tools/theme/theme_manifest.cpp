#include "tools/theme/theme_manifest.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <sstream>

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, separator))
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

std::vector<std::string> Tokens(const std::string& text)
{
    std::vector<std::string> tokens;
    std::istringstream in(text);
    std::string token;
    while (in >> token)
        tokens.push_back(token);
    return tokens;
}

std::optional<int> OptionalInt(const pugi::xml_node& node, const char* name)
{
    const pugi::xml_attribute a = node.attribute(name);
    if (!a)
        return std::nullopt;
    return a.as_int();
}

} // namespace

const PictureEntry* ThemeManifest::FindPicture(const std::string& file) const
{
    for (const PictureEntry& p : pictures)
        if (p.file == file)
            return &p;
    return nullptr;
}

std::optional<ThemeManifest> LoadThemeManifest(const std::string& path)
{
    pugi::xml_document doc;
    if (const pugi::xml_parse_result r = doc.load_file(path.c_str()); !r) {
        std::fprintf(stderr, "theme_pictures: %s: %s\n", path.c_str(), r.description());
        return std::nullopt;
    }
    ThemeManifest manifest;
    manifest.folder = std::filesystem::path(path).parent_path().string();

    std::map<std::string, std::vector<std::vector<std::string>>> stateSets;
    const pugi::xml_node theme = doc.child("theme");
    if (const char* css = theme.attribute("stylesheet").value(); *css) {
        std::ifstream in(std::filesystem::path(manifest.folder) / css);
        std::ostringstream text;
        text << in.rdbuf();
        if (!in) {
            std::fprintf(stderr, "theme_pictures: cannot read %s\n", css);
            return std::nullopt;
        }
        manifest.stylesheet = text.str();
    }
    for (const pugi::xml_node& s : theme.children("states")) {
        auto& frames = stateSets[s.attribute("name").value()];
        for (const std::string& frame : Tokens(s.child_value()))
            frames.push_back(Split(frame, '.'));
    }
    for (const pugi::xml_node& p : theme.children("picture")) {
        PictureEntry entry;
        entry.file = p.attribute("file").value();
        entry.width = p.attribute("width").as_int();
        entry.height = p.attribute("height").as_int();
        entry.resource = p.attribute("resource").as_bool();
        if (const char* states = p.attribute("states").value(); *states) {
            const auto found = stateSets.find(states);
            if (found == stateSets.end()) {
                std::fprintf(stderr, "theme_pictures: %s: unknown states \"%s\"\n", entry.file.c_str(),
                             states);
                return std::nullopt;
            }
            entry.frames = found->second;
        } else {
            const int count = p.attribute("frames").as_int(1);
            entry.frames.resize(static_cast<size_t>(count > 0 ? count : 1));
            entry.wholeStrip = count > 1;
        }
        for (const std::string& extra : Tokens(p.attribute("class").value()))
            for (auto& frame : entry.frames)
                frame.push_back(extra);
        for (const pugi::xml_node& l : p.children("layer"))
            entry.layers.push_back({l.attribute("src").value(), OptionalInt(l, "x"), OptionalInt(l, "y"),
                                    OptionalInt(l, "width"), OptionalInt(l, "height")});
        if (entry.file.empty() || entry.width <= 0 || entry.height <= 0 || entry.layers.empty()) {
            std::fprintf(stderr, "theme_pictures: picture \"%s\" needs a size and a layer\n",
                         entry.file.c_str());
            return std::nullopt;
        }
        manifest.pictures.push_back(std::move(entry));
    }
    for (const pugi::xml_node& w : theme.children("wheel")) {
        const int radius = w.attribute("radius").as_int();
        manifest.wheels.push_back({w.attribute("file").value(), w.attribute("size").as_int(), radius,
                                   w.attribute("rim").as_int(radius)});
    }
    for (const pugi::xml_node& s : theme.children("spinner"))
        manifest.spinners.push_back(
            {s.attribute("file").value(), s.attribute("size").as_int(), s.attribute("frames").as_int(),
             s.attribute("delay").as_int(),
             static_cast<unsigned>(std::stoul(s.attribute("background").as_string("0"), nullptr, 16))});
    for (const pugi::xml_node& i : theme.children("icon")) {
        IconEntry icon{i.attribute("src").value(),
                       i.attribute("ico").value(),
                       i.attribute("hicolor").value(),
                       i.attribute("name").value(),
                       {}};
        for (const std::string& size : Tokens(i.attribute("sizes").value()))
            icon.sizes.push_back(std::stoi(size));
        manifest.icons.push_back(std::move(icon));
    }
    return manifest;
}
