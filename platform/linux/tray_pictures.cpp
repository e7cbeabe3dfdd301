#include "platform/linux/tray_pictures.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <span>

#include "ui/framework/image.h"
#include "ui/framework/m_render.h"

namespace {

// The theme's accent and panel colours.
constexpr ARGB kStandInFace = 0xFFED801B;
constexpr ARGB kStandInKeys = 0xFF333333;

unsigned Read16(const std::string& b, size_t at)
{
    return static_cast<uint8_t>(b[at]) | static_cast<unsigned>(static_cast<uint8_t>(b[at + 1])) << 8;
}

uint32_t Read32(const std::string& b, size_t at)
{
    return Read16(b, at) | static_cast<uint32_t>(Read16(b, at + 2)) << 16;
}

void Put16(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

ImagePtr Decode(const std::string& bytes)
{
    return Image::FromBytes(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

void DrawStandIn(const Surface& target, int size)
{
    GraphicsOn g(target);
    const float s = static_cast<float>(size);
    MRender::DrawRoundRectange(g, s * 0.06f, s * 0.2f, s * 0.88f, s * 0.6f, 5, kStandInFace, 1, true,
                               kStandInFace);
    // Three rows of keys.
    const float key = s * 0.12f;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 5; ++col) {
            const float x = s * 0.14f + static_cast<float>(col) * key * 1.25f;
            const float y = s * 0.27f + static_cast<float>(row) * key * 1.25f;
            MRender::DrawRoundRectange(g, x, y, key, key, 3, kStandInKeys, 1, true, kStandInKeys);
        }
    }
}

} // namespace

std::vector<ImagePtr> LoadIconPictures(const std::string& nativePath)
{
    std::ifstream file(nativePath, std::ios::binary);
    if (!file)
        return {};
    std::string bytes;
    bytes.resize(kMaxIconFileBytes + 1);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(file.gcount()));
    if (bytes.empty() || bytes.size() > kMaxIconFileBytes)
        return {};

    std::vector<ImagePtr> pictures;
    const bool isIcon = bytes.size() >= 6 && Read16(bytes, 0) == 0 && Read16(bytes, 2) == 1;
    if (isIcon) {
        const size_t count = std::min<size_t>(Read16(bytes, 4), kMaxIconEntries);
        for (size_t i = 0; i < count; ++i) {
            const size_t entry = 6 + 16 * i;
            if (entry + 16 > bytes.size())
                break;
            const uint32_t size = Read32(bytes, entry + 8);
            const uint32_t offset = Read32(bytes, entry + 12);
            if (size == 0 || offset > bytes.size() || size > bytes.size() - offset)
                continue;
            // The entry alone, as a file of one entry.
            std::string single;
            Put16(single, 0);
            Put16(single, 1);
            Put16(single, 1);
            single.append(bytes, entry, 12);
            Put32(single, 22);
            single.append(bytes, offset, size);
            if (ImagePtr picture = Decode(single); picture && picture->Width() > 0 && picture->Height() > 0)
                pictures.push_back(std::move(picture));
        }
    } else if (ImagePtr picture = Decode(bytes); picture && picture->Width() > 0) {
        pictures.push_back(std::move(picture));
    }
    std::stable_sort(pictures.begin(), pictures.end(),
                     [](const ImagePtr& a, const ImagePtr& b) { return a->Width() < b->Width(); });
    return pictures;
}

Surface TrayPicture(const std::vector<ImagePtr>& pictures, int size)
{
    Surface picture(std::max(size, 1), std::max(size, 1));
    if (!picture.IsValid())
        return picture;
    const ImagePtr* chosen = nullptr;
    for (const ImagePtr& p : pictures) {
        chosen = &p;
        if (std::min(p->Width(), p->Height()) >= size)
            break;
    }
    if (!chosen) {
        DrawStandIn(picture, size);
        return picture;
    }
    const Image& image = **chosen;
    // Kept square in the middle whatever the entry's proportions.
    const int side = std::max(image.Width(), image.Height());
    const int w = image.Width() * size / side;
    const int h = image.Height() * size / side;
    GraphicsOn g(picture);
    MRender::DrawImage(g, &image,
                       CRect((size - w) / 2, (size - h) / 2, (size - w) / 2 + w, (size - h) / 2 + h),
                       CRect(0, 0, image.Width(), image.Height()));
    return picture;
}
