#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "device/device_description.h"
#include "device/keyboard_model_selection.h"
#include "store/profile_database.h"
#include "tests/support/scoped_folders.h"

namespace {

const char* ViewName(KeyboardView view)
{
    switch (view) {
    case KeyboardView::CustomKey:
        return "custom";
    case KeyboardView::Lighting:
        return "lighting";
    case KeyboardView::Settings:
        return "settings";
    }
    return "?";
}

// Records every change in the order made.
class RecordingView : public ModelSelectionView {
public:
    void SetTabItemVisible(int position, bool visible) override
    {
        calls.push_back("tab " + std::to_string(position) + (visible ? " shown" : " hidden"));
    }
    void ShowFirmwareUpdate(bool visible) override
    {
        calls.push_back(visible ? "firmware shown" : "firmware hidden");
    }
    void SetLightingMaxima(int brightnessMax, int speedMax) override
    {
        calls.push_back("maxima " + std::to_string(brightnessMax) + " " + std::to_string(speedMax));
    }
    void ClearKeyboardView(KeyboardView view) override
    {
        calls.push_back(std::string("clear ") + ViewName(view));
    }
    void PlaceKeyboardView(KeyboardView view, const CRect& rect, const CString& picture, int width,
                           int height) override
    {
        calls.push_back(std::string("place ") + ViewName(view) + " " + std::to_string(rect.left) + "," +
                        std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
                        std::to_string(rect.bottom) + " " + WideToUtf8(picture) + " " +
                        std::to_string(width) + "x" + std::to_string(height));
    }
    void AddKeyItem(KeyboardView view, const LayoutKeyItem& key) override
    {
        calls.push_back(std::string("add ") + ViewName(view) + " " + WideToUtf8(key.name));
    }

    std::vector<std::string> calls;
};

std::vector<std::string> KeyAdds(const std::vector<const char*>& views, const std::vector<const char*>& keys)
{
    std::vector<std::string> calls;
    for (const char* key : keys) {
        for (const char* view : views)
            calls.push_back(std::string("add ") + view + " " + key);
    }
    return calls;
}

std::vector<std::string> Join(std::vector<std::string> first, const std::vector<std::string>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class KeyboardModelSelectionTest : public testing::Test {
protected:
    KeyboardModelSelectionTest()
    {
        std::filesystem::create_directories(m_app.Path() / "layouts");
        std::filesystem::create_directories(m_data.Path() / "db");
        for (const char* layout : {"edge_keys", "keys_only", "out_of_order"})
            std::filesystem::copy_file(FixturesDir() / "layouts" / (std::string(layout) + ".xml"),
                                       m_app.Path() / "layouts" / (std::string(layout) + ".xml"));
        const std::tuple<const wchar_t*, int, const wchar_t*> models[] = {
            {L"Edge", 201, L"edge_keys"}, {L"Plain", 202, L"keys_only"},      {L"Odd", 203, L"out_of_order"},
            {L"Lost", 101, L"missing"},   {L"Edge again", 201, L"keys_only"},
        };
        for (const auto& [name, type, layout] : models) {
            DeviceRecord& model = m_description.models.emplace_back();
            model.name = name;
            model.deviceType = type;
            model.layoutName = layout;
        }
    }
    ~KeyboardModelSelectionTest() override { m_database.Close(); }

    bool DatabaseFileExists(const std::string& modelName) const
    {
        return std::filesystem::exists(m_data.Path() / "db" / (modelName + "_data_v6.db"));
    }

    ScopedTempDir m_app;
    ScopedTempDir m_data;
    DeviceDescription m_description;
    ProfileDatabase m_database;
    RecordingView m_view;
    KeyboardModelSelection m_selection{m_description, m_database, m_view, m_app.WidePath() + L"/",
                                       m_data.WidePath() + L"/"};
};

const std::vector<const char*> kEdgeKeys = {"Esc", "1", "Space", "1 again", "Fn", "Ctrl", "A", "Wide"};
const std::vector<const char*> kAllViews = {"custom", "lighting", "settings"};

} // namespace

TEST_F(KeyboardModelSelectionTest, SelectsTheFirstModelOfTheTypeAndFillsTheFlaggedViews)
{
    m_selection.SelectDeviceType(201);

    const auto layout = m_selection.Layout();
    EXPECT_EQ(layout->deviceType, 201);
    EXPECT_EQ(layout->modelName, L"Edge") << "duplicate types resolve to the first";
    EXPECT_EQ(layout->featureFlags, 0x45);
    EXPECT_EQ(layout->firmware.url, L"https://example.invalid/fw/");
    EXPECT_EQ(layout->keyItems.size(), kEdgeKeys.size());
    EXPECT_TRUE(m_database.IsOpened());
    EXPECT_TRUE(DatabaseFileExists("Edge"));

    // Flags 0x45: macro tab hidden, lighting tab shown; all three views (bits 0, 2 and 6) are filled.
    const std::vector<std::string> expected = Join(
        {
            "tab 1 shown",
            "tab 2 hidden",
            "tab 3 shown",
            "firmware shown",
            "maxima 4 5",
            "clear custom",
            "clear lighting",
            "clear settings",
            "place custom 330,60,530,160 keyboard\\small.png 200x100",
            "place lighting 330,60,530,160 keyboard\\small.png 200x100",
            "place settings 330,60,530,160 keyboard\\small.png 200x100",
        },
        KeyAdds(kAllViews, kEdgeKeys));
    EXPECT_EQ(m_view.calls, expected);
}

TEST_F(KeyboardModelSelectionTest, FeatureFlagsChooseTheViews)
{
    // No menu on the first selection: every feature, every view, no tab changes.
    m_selection.SelectDeviceType(202);
    EXPECT_EQ(m_selection.Layout()->featureFlags, kFeaturesAll);
    EXPECT_EQ(m_view.calls, Join({"clear custom", "clear lighting", "clear settings",
                                  "place custom 10,20,310,140 keyboard\\other.png 300x120",
                                  "place lighting 10,20,310,140 keyboard\\other.png 300x120",
                                  "place settings 10,20,310,140 keyboard\\other.png 300x120"},
                                 KeyAdds(kAllViews, {"Enter"})));

    // Macros without lighting (0x43): the lighting tab and view are left out; without Keyboard the
    // flagged views are still emptied.
    m_view.calls.clear();
    m_selection.SelectDeviceType(203);
    EXPECT_EQ(m_selection.Layout()->featureFlags, 0x43);
    EXPECT_EQ(m_view.calls, (std::vector<std::string>{"tab 1 shown", "tab 2 shown", "tab 3 hidden",
                                                      "clear custom", "clear settings"}));
    EXPECT_TRUE(m_selection.Layout()->keyItems.empty());
    EXPECT_EQ(m_selection.Layout()->geometry.image, L"other.png") << "the views keep their picture";

    // A layout without menu keeps the flags it finds.
    m_view.calls.clear();
    m_selection.SelectDeviceType(202);
    EXPECT_EQ(m_selection.Layout()->featureFlags, 0x43);
    EXPECT_EQ(m_view.calls.front(), "clear custom");
    EXPECT_EQ(m_view.calls.size(), 2u + 2u + 2u);
}

TEST_F(KeyboardModelSelectionTest, MissingLayoutSwitchesOnlyTheModelAndDatabase)
{
    m_selection.SelectDeviceType(201);
    const auto before = m_selection.Layout();
    m_view.calls.clear();

    m_selection.SelectDeviceType(101);
    const auto after = m_selection.Layout();
    EXPECT_EQ(after->deviceType, 101);
    EXPECT_EQ(after->modelName, L"Lost");
    EXPECT_TRUE(DatabaseFileExists("Lost"));
    EXPECT_TRUE(m_view.calls.empty()) << "the views keep their items";
    EXPECT_EQ(after->firmware.url, L"") << "the firmware address is cleared at every selection";
    EXPECT_EQ(after->firmware.version, before->firmware.version);
    EXPECT_EQ(after->featureFlags, before->featureFlags);
    EXPECT_EQ(after->keyItems, before->keyItems);
    EXPECT_EQ(after->matrix, before->matrix);
    EXPECT_EQ(before->deviceType, 201) << "a snapshot never changes";

    // A type without a model: empty model name, and the database of that empty name.
    m_selection.SelectDeviceType(999);
    EXPECT_EQ(m_selection.Layout()->deviceType, 999);
    EXPECT_EQ(m_selection.Layout()->modelName, L"");
    EXPECT_TRUE(m_database.IsOpened());
    EXPECT_TRUE(DatabaseFileExists(""));
}

TEST_F(KeyboardModelSelectionTest, ConnectionFlagsReplaceOnlyTheFlags)
{
    m_selection.SelectDeviceType(203);
    const auto before = m_selection.Layout();
    m_selection.SetFeatureFlags(0x47);
    EXPECT_EQ(m_selection.Layout()->featureFlags, 0x47);
    EXPECT_EQ(m_selection.Layout()->deviceType, 203);
    EXPECT_EQ(before->featureFlags, 0x43);
}

TEST_F(KeyboardModelSelectionTest, ASelectionOfTheModelInUseIsSkippedOnlyWhenAskedTo)
{
    m_selection.SelectDeviceType(202);
    const auto selected = m_selection.Layout();
    ASSERT_TRUE(m_database.IsOpened());
    m_view.calls.clear();

    EXPECT_FALSE(m_selection.SelectDeviceTypeIfChanged(202));
    EXPECT_EQ(m_selection.Layout(), selected) << "nothing read again";
    EXPECT_TRUE(m_view.calls.empty()) << "the views keep their items";
    EXPECT_TRUE(m_database.IsOpened());

    // The plain selection always starts over (restore defaults reopens a fresh database this way).
    m_selection.SelectDeviceType(202);
    EXPECT_NE(m_selection.Layout(), selected);
    EXPECT_FALSE(m_view.calls.empty());

    m_view.calls.clear();
    EXPECT_TRUE(m_selection.SelectDeviceTypeIfChanged(201));
    EXPECT_EQ(m_selection.Layout()->modelName, L"Edge");
    EXPECT_TRUE(DatabaseFileExists("Edge"));
    EXPECT_FALSE(m_view.calls.empty());
}
