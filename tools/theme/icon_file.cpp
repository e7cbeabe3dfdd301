#include "tools/theme/icon_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

void Put16(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A DIB entry: header, bottom-up straight-alpha BGRA rows, then a 1-bit mask (all clear: alpha rules).
std::string DibEntry(const Surface& image)
{
    cairo_surface_flush(image.get());
    const int w = cairo_image_surface_get_width(image.get());
    const int h = cairo_image_surface_get_height(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    const unsigned char* data = cairo_image_surface_get_data(image.get());
    const int maskStride = ((w + 31) / 32) * 4;

    std::string out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(2 * h)); // colour rows and mask rows
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(w * h * 4 + maskStride * h));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x];
            const unsigned a = p >> 24;
            // cairo keeps colours premultiplied; the file wants them straight.
            const auto straight = [a](unsigned c) {
                return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a);
            };
            out += static_cast<char>(straight(p & 0xFF));
            out += static_cast<char>(straight((p >> 8) & 0xFF));
            out += static_cast<char>(straight((p >> 16) & 0xFF));
            out += static_cast<char>(a);
        }
    }
    out.append(static_cast<size_t>(maskStride * h), '\0');
    return out;
}

} // namespace

bool WriteIcoFile(const std::vector<Surface>& images, const std::string& path)
{
    std::vector<std::string> entries;
    for (const Surface& image : images)
        entries.push_back(DibEntry(image));

    std::string out;
    Put16(out, 0);
    Put16(out, 1); // icon
    Put16(out, static_cast<unsigned>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const int w = cairo_image_surface_get_width(images[i].get());
        const int h = cairo_image_surface_get_height(images[i].get());
        out += static_cast<char>(w >= 256 ? 0 : w); // 0 stands for 256
        out += static_cast<char>(h >= 256 ? 0 : h);
        out += '\0'; // no palette
        out += '\0';
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<std::uint32_t>(entries[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(entries[i].size());
    }
    for (const std::string& e : entries)
        out += e;

    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!file) {
        std::fprintf(stderr, "theme_pictures: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
