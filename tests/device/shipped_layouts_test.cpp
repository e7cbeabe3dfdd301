#include <gtest/gtest.h>

#include <set>

#include "core/number_text.h"
#include "device/device_description.h"
#include "device/key_codes.h"
#include "device/keyboard_layout.h"
#include "platform/private_profile.h"
#include "tests/support/scoped_folders.h"

namespace {

constexpr int kMainWindowWidth = 1280;
constexpr int kKeyPickerTop = 720 - 270; // the custom key page's function picker starts here
constexpr int kKeyTableEntries = 150;    // the smallest per-key buffer of the keyboard's protocol
constexpr int kParameterBits = 0xFFF;

std::set<unsigned> Range(unsigned first, unsigned last)
{
    std::set<unsigned> codes;
    for (unsigned c = first; c <= last; ++c)
        codes.insert(c);
    return codes;
}

std::set<unsigned> Without(std::set<unsigned> codes, const std::set<unsigned>& removed)
{
    for (unsigned c : removed)
        codes.erase(c);
    return codes;
}

// The keys each model is built with: a full-size US keyboard with Fn in place of the right Windows key,
// the same without keypad, and the alphanumeric block alone (Esc on the grave key).
std::set<unsigned> ExpectedKeys(const CString& layoutName)
{
    std::set<unsigned> full = Without(Range(4, 101), {50, 100});
    for (unsigned c : Range(224, 230))
        full.insert(c);
    full.insert(kFnKeyCode);
    const std::set<unsigned> tenkeyless = Without(full, Range(83, 99));
    if (layoutName == L"z5_wireless")
        return full;
    if (layoutName == L"z5_tkl")
        return tenkeyless;
    if (layoutName == L"z5_mini") {
        std::set<unsigned> compact = Without(tenkeyless, Range(58, 82));
        compact.erase(53);
        return compact;
    }
    ADD_FAILURE() << "no key list for layout " << WideToUtf8(layoutName);
    return {};
}

class ShippedLayouts : public testing::Test {
protected:
    CString Installed(const std::string& relativePath) const
    {
        return Utf8ToWide((BuildBinDir() / relativePath).string());
    }
};

} // namespace

TEST_F(ShippedLayouts, EveryModelHasAWellFormedLayout)
{
    const DeviceDescription description = LoadDeviceDescription(Installed("config.xml"));
    ASSERT_EQ(description.models.size(), 3u);
    const CString languages[] = {Installed("language/1033.lan"), Installed("language/1045.lan")};

    for (const DeviceRecord& model : description.models) {
        SCOPED_TRACE(WideToUtf8(model.layoutName));
        const std::optional<LayoutFile> file =
            ReadLayoutFile(Installed("layouts/" + WideToUtf8(model.layoutName) + ".xml"));
        ASSERT_TRUE(file.has_value());
        KeyboardLayout layout;
        layout.Apply(*file);

        ASSERT_TRUE(file->menu.has_value());
        EXPECT_EQ(layout.featureFlags, 0x47) << "every page";
        ASSERT_TRUE(file->firmware.has_value());
        EXPECT_FALSE(layout.firmware.version.empty());
        EXPECT_FALSE(layout.firmware.file.empty());
        EXPECT_TRUE(layout.firmware.url.starts_with(L"https://"));
        EXPECT_TRUE(layout.firmware.url.ends_with(L"/"))
            << "the version text is fetched from url + \"version\"";

        // Lighting: defaults within the maxima, a default mode that exists, names that are texts of every
        // language, and every parameter bit of the lighting page in use.
        ASSERT_TRUE(file->light.has_value());
        EXPECT_TRUE(layout.lighting.rgbKeyboard);
        EXPECT_GT(layout.lighting.brightnessMax, 0);
        EXPECT_GT(layout.lighting.speedMax, 0);
        EXPECT_LE(layout.lighting.defaultBrightness, layout.lighting.brightnessMax);
        EXPECT_LE(layout.lighting.defaultSpeed, layout.lighting.speedMax);
        std::set<int> modes;
        int usedBits = 0;
        int customModes = 0;
        int musicModes = 0;
        int screenModes = 0;
        for (const LightRow& row : layout.lighting.modes) {
            SCOPED_TRACE(WideToUtf8(row.name));
            EXPECT_GE(row.mode, 1) << "the keyboard receives mode - 1";
            EXPECT_TRUE(modes.insert(row.mode).second) << "mode " << row.mode << " twice";
            EXPECT_EQ(row.config_func & ~kParameterBits, 0);
            usedBits |= row.config_func;
            customModes += (row.config_func & 0x100) != 0;
            musicModes += row.config_func == 0x200; // the mode left out of the list while wireless
            screenModes += (row.config_func & 0x400) != 0;
            EXPECT_EQ(std::to_wstring(LeadingDecimal(row.name)), row.name) << "a text id";
            for (const CString& language : languages)
                EXPECT_FALSE(ReadProfileString(language, L"KB.DIALOG", row.name, 260).empty())
                    << WideToUtf8(language);
        }
        EXPECT_TRUE(modes.contains(layout.lighting.defaultMode));
        EXPECT_EQ(usedBits, kParameterBits);
        EXPECT_EQ(customModes, 1);
        EXPECT_EQ(musicModes, 1);
        EXPECT_EQ(screenModes, 1);

        // The views fit beside the profile list and above the function picker of a 1280 × 720 window.
        ASSERT_TRUE(file->keyboard.has_value());
        const KeyboardGeometry& geometry = layout.geometry;
        EXPECT_FALSE(geometry.image.empty());
        EXPECT_GE(geometry.xpos, 330);
        EXPECT_LE(geometry.xpos + geometry.width, kMainWindowWidth - 1);
        EXPECT_GE(geometry.ypos, 50);
        EXPECT_LE(geometry.ypos + geometry.height, kKeyPickerTop);
        EXPECT_GT(layout.rowCount, 0);
        EXPECT_GT(layout.colCount, 0);
        EXPECT_LE(layout.rowCount, kKeyMatrixRows);
        EXPECT_LE(layout.colCount, kKeyMatrixColumns);

        // Keys: the model's key set, each once, in its own cell and slot, on the picture, not overlapping.
        std::set<unsigned> codes;
        std::set<int> keyIndexes;
        std::set<std::pair<int, int>> cells;
        const CRect picture(0, 0, geometry.width, geometry.height);
        for (size_t i = 0; i < file->keys.size(); ++i) {
            const LayoutFile::Key& key = file->keys[i];
            const LayoutKeyItem& item = key.item;
            SCOPED_TRACE(WideToUtf8(item.description));
            EXPECT_TRUE(codes.insert(item.code).second) << "code " << item.code << " twice";
            EXPECT_FALSE(item.name.empty());
            EXPECT_FALSE(item.description.empty());
            EXPECT_GE(item.keyIndex, 0);
            EXPECT_LT(item.keyIndex, kKeyTableEntries);
            EXPECT_TRUE(keyIndexes.insert(item.keyIndex).second) << "key index " << item.keyIndex << " twice";
            ASSERT_TRUE(key.cell.has_value());
            EXPECT_LT(key.cell->first, layout.rowCount);
            EXPECT_LT(key.cell->second, layout.colCount);
            EXPECT_TRUE(cells.insert(*key.cell).second) << "cell taken twice";
            EXPECT_FALSE(item.rect.IsRectEmpty());
            CRect inside;
            EXPECT_TRUE(inside.IntersectRect(item.rect, picture) && inside == item.rect) << "off the picture";
            for (size_t j = 0; j < i; ++j) {
                CRect overlap;
                EXPECT_FALSE(overlap.IntersectRect(item.rect, file->keys[j].item.rect))
                    << "overlaps " << WideToUtf8(file->keys[j].item.description);
            }
        }
        EXPECT_EQ(codes, ExpectedKeys(model.layoutName));
    }
}
