// What assignment rows mean: which are sound, the tip each shows, the addresses opened and the keys a
// text is typed with.

#include <gtest/gtest.h>

#include <tuple>

#include "keys/assignment_rules.h"
#include "keys/text_typing.h"
#include "platform/fake/us_character_keys.h"

namespace {

KeyAssignmentRow Row(int type, int value, int value2 = 0, const wchar_t* desc = L"")
{
    KeyAssignmentRow row;
    row.key_code = 4;
    row.macro_type = type;
    row.macro_value = value;
    row.macro_value2 = value2;
    row.macro_desc = desc;
    return row;
}

// Texts as "<id>", so a test reads which text was taken.
AssignmentTexts TextsById(int language = 1033)
{
    return {[](int id) { return L"<" + std::to_wstring(id) + L">"; }, language};
}

struct SoundCase {
    const char* what;
    KeyAssignmentRow row;
    bool sound;
};

TEST(AssignmentRulesTest, SoundRowsByTypeAndRange)
{
    const SoundCase cases[] = {
        {"default", Row(0, 0), false},
        {"disabled", Row(1, 1), true},
        {"a letter", Row(2, 4), true},
        {"the last usage", Row(2, 231), true},
        {"a media function", Row(2, 249), true},
        {"with modifiers", Row(2, 4, 0x0F), true},
        {"usage 3 (an error code)", Row(2, 3), false},
        {"past the media functions", Row(2, 250), false},
        {"a negative usage", Row(2, -3), false},
        {"unknown modifier bits", Row(2, 4, 0x10), false},
        {"a macro", Row(3, 7), true},
        {"a macro id 0", Row(3, 0), false},
        {"type 4", Row(4, 1), false},
        {"mouse right", Row(5, 3), true},
        {"mouse forward", Row(5, 8), true},
        {"mouse 4", Row(5, 4), false},
        {"media by number 7", Row(6, 7), true},
        {"media by number 8", Row(6, 8), false},
        {"shortcut 15", Row(7, 15), true},
        {"shortcut 16", Row(7, 16), false},
        {"shortcut 0", Row(7, 0), false},
        {"a program record", Row(8, 1), true},
        {"a record id 0", Row(10, 0), false},
        {"picker value 500", Row(12, 500), true},
        {"picker value 499", Row(12, 499), false},
        {"type 13", Row(13, 1), false},
    };
    for (const SoundCase& c : cases)
        EXPECT_EQ(IsSoundAssignment(c.row), c.sound) << c.what;
}

TEST(AssignmentRulesTest, ProgramRunRowsNeedTheirRecordOfTheSameKind)
{
    const KeyExtraLookup records = [](int id) -> std::optional<KeyExtraRow> {
        if (id == 1)
            return KeyExtraRow{L"tool", L"/usr/bin/tool", 8};
        if (id == 2)
            return KeyExtraRow{L"2", L"2", 11};
        return std::nullopt;
    };
    EXPECT_TRUE(IsSoundAssignment(Row(8, 1), records));
    EXPECT_TRUE(IsSoundAssignment(Row(11, 2), records));
    EXPECT_FALSE(IsSoundAssignment(Row(9, 1), records)) << "an address row on a program's record";
    EXPECT_FALSE(IsSoundAssignment(Row(10, 3), records)) << "no record";
    // Rows of other types never look records up.
    EXPECT_TRUE(IsSoundAssignment(Row(3, 3), records));
}

struct TipCase {
    const char* what;
    KeyAssignmentRow row;
    std::optional<KeyTip> tip;
    int language = 1033;
};

TEST(AssignmentRulesTest, TipsByType)
{
    const TipCase cases[] = {
        {"disabled: a heading without a line", Row(1, 1, 0, L"Disabled"), KeyTip{L"<202>", L""}},
        {"another key", Row(2, 41, 0, L"Esc"), KeyTip{L"<205>", L"Esc"}},
        {"a picker value from 500", Row(12, 600, 0, L"Lights"), KeyTip{L"<205>", L"Lights"}},
        {"a macro", Row(3, 2, 0, L"Jump"), KeyTip{L"<206>", L"Jump"}},
        {"a Polish default name under English", Row(3, 2, 0, L"Makro 3"), KeyTip{L"<206>", L"<331> 3"}},
        {"an English default name under English", Row(3, 2, 0, L"Macro 3"), KeyTip{L"<206>", L"Macro 3"}},
        {"an English default name under Polish", Row(3, 2, 0, L"Macro 3"), KeyTip{L"<206>", L"<331> 3"},
         1045},
        {"mouse middle", Row(5, 2, 0, L"stored"), KeyTip{L"<207>", L"<222>"}},
        {"mouse back", Row(5, 7, 0, L"stored"), KeyTip{L"<207>", L"<227>"}},
        {"media by number", Row(6, 2, 0, L"Stop"), KeyTip{L"<208>", L"Stop"}},
        {"a shortcut by its value", Row(7, 4, 0, L"stored"), KeyTip{L"<209>", L"<704>"}},
        {"a program", Row(8, 1, 0, L"gimp"), KeyTip{L"<210>", L"gimp"}},
        {"an address", Row(9, 1, 0, L"www.example.com"), KeyTip{L"<211>", L"www.example.com"}},
        {"a text", Row(10, 1, 0, L"Hello"), KeyTip{L"<212>", L"Hello"}},
        {"a profile switch", Row(11, 1, 0, L"Games"), KeyTip{L"<367>", L"Games"}},
        {"a row that is not sound", Row(7, 16, 0, L"stored"), std::nullopt},
        {"type 4", Row(4, 1, 0, L"stored"), std::nullopt},
    };
    for (const TipCase& c : cases)
        EXPECT_EQ(TipOf(c.row, TextsById(c.language)), c.tip) << c.what;
}

TEST(AssignmentRulesTest, RowsThePageMakes)
{
    const KeyAssignmentRow picked = PickerAssignment(41, 0, 0, L"Esc");
    EXPECT_EQ(std::tie(picked.macro_type, picked.macro_value, picked.macro_desc),
              std::tuple(2, 41, CString(L"Esc")));
    EXPECT_EQ(PickerAssignment(500, 1, 2, L"x").macro_type, 12);
    const KeyAssignmentRow disabled = DisabledAssignment(TextsById());
    EXPECT_EQ(std::tie(disabled.macro_type, disabled.macro_value, disabled.macro_value2, disabled.macro_desc),
              std::tuple(1, 1, 0, CString(L"<202>")));

    const KeyExtraRow program = ProgramRecord(L"  /opt/tools/bin/editor \n");
    EXPECT_EQ(std::tie(program.macro_desc, program.param, program.type),
              std::tuple(CString(L"editor"), CString(L"/opt/tools/bin/editor"), 8));
    const KeyExtraRow profile = ProfileRecord(12, L"Games");
    EXPECT_EQ(std::tie(profile.macro_desc, profile.param, profile.type),
              std::tuple(CString(L"Games"), CString(L"12"), 11));
    EXPECT_EQ(ProfileOfRecord(profile), 12);
    EXPECT_EQ(ProfileOfRecord({L"x", L"12abc", 11}), 0);
    EXPECT_EQ(ProfileOfRecord({L"x", L"99999999999", 11}), 0);

    // The tip shows one line of a text's start.
    EXPECT_EQ(ShownRecordText(TextRecord(L"Dear Sir\nor Madam")), L"Dear Sir or Madam");
    EXPECT_EQ(ShownRecordText(TextRecord(CString(50, L'a'))), CString(40, L'a') + L"\u2026");
}

TEST(AssignmentRulesTest, AddressesOpened)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"example.com", L"https://www.example.com"},
        {L" www.example.com ", L"https://www.example.com"},
        {L"shop.www.example.com/a", L"https://shop.www.example.com/a"}, // "www." anywhere counts
        {L"http://intranet", L"http://intranet"},
        {L"https://example.com/x?y=1", L"https://example.com/x?y=1"},
        {L"mailto:me@example.com", L"mailto:me@example.com"},
        {L"", L""},
        {L"   ", L""},
    };
    for (const auto& [text, opened] : cases)
        EXPECT_EQ(AddressToOpen(text), opened) << WideToUtf8(text);
}

TEST(TextTypingTest, EachCharacterBecomesItsKeyAndTheRestIsCounted)
{
    UsCharacterKeys layout;
    // A layout with a key for "ö" on AltGr, and none for "€".
    layout.SetKey(U'\u00F6', CharacterKey{51, false, true});

    const TypingPlan plan = PlanTyping(L"Hi!\r\n\u00F6\u20AC\r", layout);

    const std::vector<CharacterKey> expected = {
        {11, true, false},  {12, false, false}, {30, true, false},
        {40, false, false}, {51, false, true},  {40, false, false},
    };
    EXPECT_EQ(plan.keys, expected);
    EXPECT_EQ(plan.characters, 7u);
    EXPECT_EQ(plan.skipped, 1u);
    EXPECT_EQ(plan.cut, 0u);
    EXPECT_EQ(plan.Summary(),
              "typing a text: 6 of 7 characters, 1 skipped (no key of the keyboard layout types them)");
}

TEST(TextTypingTest, ALongTextIsCutAndSaysSo)
{
    const UsCharacterKeys layout;
    const TypingPlan plan = PlanTyping(CString(TypingPlan::kMaxCharacters + 5, L'a'), layout);
    EXPECT_EQ(plan.keys.size(), TypingPlan::kMaxCharacters);
    EXPECT_EQ(plan.cut, 5u);
    EXPECT_NE(plan.Summary().find("5 left out past the first 4000"), std::string::npos) << plan.Summary();
}

} // namespace
