#include <gtest/gtest.h>

#include <climits>

#include "device/keyboard_layout.h"
#include "tests/support/scoped_folders.h"

namespace {

CString Fixture(const char* name)
{
    return Utf8ToWide((FixturesDir() / "layouts" / name).string());
}

LayoutFile ReadFixture(const char* name)
{
    const std::optional<LayoutFile> file = ReadLayoutFile(Fixture(name));
    EXPECT_TRUE(file.has_value()) << name;
    return file.value_or(LayoutFile{});
}

LayoutKeyItem Item(unsigned code, const wchar_t* name, const wchar_t* desc, int keyIndex, CRect rect,
                   const wchar_t* icon = L"", int lightIndex = 0)
{
    return LayoutKeyItem{name, desc, code, keyIndex, lightIndex, icon, rect};
}

KeyboardLayout Loaded(const char* name)
{
    KeyboardLayout layout;
    layout.Apply(ReadFixture(name));
    return layout;
}

} // namespace

TEST(ParseRowColumn, Forms)
{
    using Cell = std::optional<std::pair<int, int>>;
    const std::pair<const wchar_t*, Cell> cases[] = {
        {L"3#7", std::pair{3, 7}},
        {L"3#12", std::pair{3, 12}},
        {L"3-7", std::pair{3, 7}}, // any one separator
        {L"0#0", std::pair{0, 0}},
        {L"7#31", std::pair{7, 31}},
        {L"9#99", std::pair{9, 99}}, // well-formed; the matrix decides what fits
        // Malformed: rejected instead of read past the text.
        {L"", std::nullopt},
        {L"3", std::nullopt},
        {L"3#", std::nullopt},
        {L"#37", std::nullopt},
        {L"a#7", std::nullopt},
        {L"3#x", std::nullopt},
        {L"3#1x", std::nullopt},
        {L"3#x1", std::nullopt},
        {L"3#123", std::nullopt},
        {L" 3#7", std::nullopt},
    };
    for (const auto& [text, cell] : cases)
        EXPECT_EQ(ParseRowColumn(text), cell) << WideToUtf8(text);
}

TEST(ParseKeyRect, Forms)
{
    const std::pair<const wchar_t*, std::optional<CRect>> cases[] = {
        {L"10#20#30#40", CRect(10, 20, 40, 60)},
        {L"0#0#0#0", CRect()},
        {L"10#20#30#40#50", CRect(10, 20, 40, 60)}, // the last number is the rest of the text
        {L"10px#20#30#40", CRect(10, 20, 40, 60)},  // leading digits count
        {L"-5#-5#10#10", CRect(-5, -5, 5, 5)},
        // Malformed: rejected, the key keeps an empty rectangle.
        {L"", std::nullopt},
        {L"10#20#30", std::nullopt},
        {L"10#20##40", std::nullopt},
        {L"1#2#3#", std::nullopt},
        {L"a#1#2#3", std::nullopt},
        {L"10#20#-5#4", std::nullopt},
        {L"2147483647#0#1#1", std::nullopt}, // right edge past the int range
        {L"0#1#1#2147483647", std::nullopt},
    };
    for (const auto& [text, rect] : cases)
        EXPECT_EQ(ParseKeyRect(text), rect) << WideToUtf8(text);
    EXPECT_EQ(ParseKeyRect(L"2147483646#0#1#1"), CRect(INT_MAX - 1, 0, INT_MAX, 1));

    // The views' rectangle from `Keyboard` stops at the int range as well.
    const KeyboardGeometry huge{INT_MAX - 5, -10, 100, INT_MAX, L"", 0, 0};
    EXPECT_EQ(huge.ViewRect(), CRect(INT_MAX - 5, -10, INT_MAX, INT_MAX - 10));
}

TEST(ReadLayoutFile, EveryElementAndKeyForm)
{
    const KeyboardLayout layout = Loaded("edge_keys.xml");

    EXPECT_EQ(layout.featureFlags, 0x45) << "menu without macros, with lighting";
    EXPECT_TRUE(layout.sleepTime);
    EXPECT_EQ(layout.firmware.version, L"105");
    EXPECT_EQ(layout.firmware.file, L"tool");
    EXPECT_EQ(layout.firmware.url, L"https://example.invalid/fw/");

    EXPECT_TRUE(layout.lighting.rgbKeyboard);
    EXPECT_EQ(layout.lighting.defaultMode, 2);
    EXPECT_EQ(layout.lighting.defaultBrightness, 3);
    EXPECT_EQ(layout.lighting.defaultSpeed, 1);
    EXPECT_EQ(layout.lighting.brightnessMax, 4);
    EXPECT_EQ(layout.lighting.speedMax, 5);
    ASSERT_EQ(layout.lighting.modes.size(), 3u);
    EXPECT_EQ(layout.lighting.modes[0].name, L"800");
    EXPECT_EQ(layout.lighting.modes[0].mode, 1);
    EXPECT_EQ(layout.lighting.modes[0].config_func, 49);
    EXPECT_EQ(layout.lighting.modes[1].config_func, 512);
    EXPECT_EQ(layout.lighting.modes[2].name, L"x");
    EXPECT_EQ(layout.lighting.modes[2].mode, 0) << "not a number";
    EXPECT_EQ(layout.lighting.modes[2].config_func, 0) << "attribute is decimal: 0x100 reads 0";

    EXPECT_EQ(layout.geometry, (KeyboardGeometry{330, 60, 200, 100, L"small.png", 2, 3}));
    EXPECT_EQ(layout.geometry.ViewRect(), CRect(330, 60, 530, 160));
    EXPECT_EQ(layout.rowCount, 2);
    EXPECT_EQ(layout.colCount, 3);

    // Every key is listed, in document order, whatever its row_col and rect.
    const std::vector<LayoutKeyItem> items = {
        Item(0x29, L"Esc", L"Escape", 0, CRect(10, 20, 40, 60), L"", 7),
        Item(0x1E, L"1", L"Number 1", 1, CRect(50, 20, 80, 60)),
        Item(0x2C, L"Space", L"Space", 12, CRect(), L"icon\\space.png"), // no rect
        Item(0x1E, L"1 again", L"", 9, CRect()),                         // malformed rect
        Item(0xAF, L"Fn", L"", 5, CRect()),
        Item(0xE0, L"Ctrl", L"", 6, CRect(1, 2, 4, 6)),
        Item(0x04, L"A", L"", 7, CRect()),
        Item(0x105, L"Wide", L"", 8, CRect()),
    };
    EXPECT_EQ(layout.keyItems, items);

    // A repeated code keeps the last index; both maps hold key indexes.
    const std::map<int, int> indexes = {{0x29, 0}, {0x1E, 9}, {0x2C, 12}, {0xAF, 5},
                                        {0xE0, 6}, {0x04, 7}, {0x105, 8}};
    EXPECT_EQ(layout.keyIndexByCode, indexes);
    EXPECT_EQ(layout.colourIndexByCode, indexes);

    // Only well-formed cells inside 8 × 32 are filled, with the low byte of the code.
    KeyMatrix matrix = KeyboardLayout::EmptyMatrix();
    matrix[0][0] = 0x29;
    matrix[0][1] = 0x1E;
    matrix[1][12] = 0x2C;
    matrix[1][1] = 0x1E;
    matrix[1][2] = 0x05;
    EXPECT_EQ(layout.matrix, matrix) << "Fn's row 8, Ctrl's column 32 and A's malformed cell stay out";
}

TEST(ReadLayoutFile, UnreadableFilesGiveNothing)
{
    ScopedTempDir dir;
    const std::pair<const char*, std::string> cases[] = {
        {"other root", "<layout><menu macro=\"1\"/></layout>"},
        {"two roots", "<device.info/><device.info/>"},
        {"not well-formed", "<device.info><menu></device.info>"},
        {"empty", ""},
    };
    for (const auto& [what, xml] : cases) {
        WriteFileBytes(dir.Path() / "layout.xml", xml);
        EXPECT_FALSE(ReadLayoutFile(Utf8ToWide((dir.Path() / "layout.xml").string())).has_value()) << what;
    }
    EXPECT_FALSE(ReadLayoutFile(L"/no/such/layout.xml").has_value());
    EXPECT_TRUE(ReadLayoutFile(Fixture("keys_only.xml")).has_value());
}

TEST(ReadLayoutFile, ElementsBeforeOneAlreadyFoundAreNotSeen)
{
    const LayoutFile file = ReadFixture("out_of_order.xml");
    ASSERT_TRUE(file.menu.has_value());
    EXPECT_TRUE(file.menu->macro);
    EXPECT_FALSE(file.menu->lightMode);
    EXPECT_FALSE(file.sleepTime.has_value());
    EXPECT_FALSE(file.firmware.has_value());
    EXPECT_FALSE(file.light.has_value());
    EXPECT_FALSE(file.keyboard.has_value());
    EXPECT_TRUE(file.keys.empty());
}

TEST(KeyboardLayoutApply, MissingElementsKeepTheirState)
{
    // First selection, layout without menu: all features.
    EXPECT_EQ(Loaded("keys_only.xml").featureFlags, kFeaturesAll);

    KeyboardLayout layout = Loaded("edge_keys.xml");
    const KeyboardLayout before = layout;
    layout.Apply(ReadFixture("keys_only.xml"));
    EXPECT_EQ(layout.featureFlags, 0x45);
    EXPECT_EQ(layout.sleepTime, before.sleepTime);
    EXPECT_EQ(layout.firmware.version, before.firmware.version);
    EXPECT_EQ(layout.firmware.url, before.firmware.url);
    EXPECT_EQ(layout.lighting.defaultMode, before.lighting.defaultMode);
    EXPECT_EQ(layout.lighting.modes.size(), before.lighting.modes.size());
    // The keys are replaced, not merged.
    EXPECT_EQ(layout.keyItems, std::vector{Item(0x28, L"Enter", L"Enter", 3, CRect(5, 5, 65, 35))});
    EXPECT_EQ(layout.keyIndexByCode, (std::map<int, int>{{0x28, 3}}));
    KeyMatrix matrix = KeyboardLayout::EmptyMatrix();
    matrix[0][0] = 0x28;
    EXPECT_EQ(layout.matrix, matrix);
    EXPECT_EQ(layout.geometry.image, L"other.png");

    // Without Keyboard the keys, maps, matrix and its size are emptied; the geometry stays.
    LayoutFile bare;
    bare.menu = LayoutFile::Menu{true, true};
    layout.Apply(bare);
    EXPECT_EQ(layout.featureFlags, 0x47);
    EXPECT_TRUE(layout.keyItems.empty());
    EXPECT_TRUE(layout.keyIndexByCode.empty());
    EXPECT_TRUE(layout.colourIndexByCode.empty());
    EXPECT_EQ(layout.matrix, KeyboardLayout::EmptyMatrix());
    EXPECT_EQ(layout.rowCount, 0);
    EXPECT_EQ(layout.colCount, 0);
    EXPECT_EQ(layout.geometry.image, L"other.png");
}
