#include "keys/custom_key_rules.h"

#include "core/folders.h"
#include "keys/profile_state.h"
#include "store/profile_database.h"

namespace {

constexpr int kShortcutCount = 15;
constexpr int kMouseButtonValues[] = {1, 3, 2, 7, 8}; // left, right, middle, back, forward

bool IsBlank(const CString& text)
{
    return text.find_first_not_of(L" \t\r\n") == CString::npos;
}

} // namespace

int CustomKeyHeadingText(int mode)
{
    return mode == CustomKeyMode::kShortcut ? 209 : TipHeadingText(mode);
}

std::vector<CustomKeyChoice> CustomKeyChoices(int mode, ProfileDatabase& database,
                                              const AssignmentTexts& texts)
{
    std::vector<CustomKeyChoice> choices;
    switch (mode) {
    case CustomKeyMode::kMacro: {
        MacroList macros;
        database.ListMacros(macros);
        for (const auto& macro : macros)
            choices.push_back({macro->macro_id, LocalisedMacroName(macro->name, texts)});
        break;
    }
    case CustomKeyMode::kMouse:
        for (int value : kMouseButtonValues)
            choices.push_back({value, MouseButtonName(value, texts)});
        break;
    case CustomKeyMode::kShortcut:
        for (int value = 1; value <= kShortcutCount; ++value)
            choices.push_back({value, ShortcutName(value, texts)});
        break;
    case CustomKeyMode::kProfile: {
        ProfileList profiles;
        database.ListProfiles(profiles);
        for (const auto& profile : profiles)
            choices.push_back({profile->profile, profile->name});
        break;
    }
    default:
        break;
    }
    return choices;
}

CustomKeyResult ApplyCustomKey(KeyAssignments& assignments, ProfileDatabase& database, int profile,
                               int keyCode, int mode, const std::optional<CustomKeyChoice>& choice,
                               const CString& text)
{
    std::optional<KeyAssignmentRow> row;
    switch (mode) {
    case CustomKeyMode::kMacro:
        if (!choice)
            return CustomKeyResult::NothingChosen;
        if (database.CountMacroEvents(static_cast<int>(choice->data)) <= 0)
            return CustomKeyResult::MacroWithoutEvents;
        row = MacroAssignment(static_cast<int>(choice->data), choice->text);
        break;
    case CustomKeyMode::kMouse:
    case CustomKeyMode::kShortcut:
        if (!choice)
            return CustomKeyResult::NothingChosen;
        row = KeyAssignmentRow{};
        row->macro_type = mode;
        row->macro_value = static_cast<int>(choice->data);
        row->macro_desc = choice->text;
        break;
    case CustomKeyMode::kProgram: {
        if (IsBlank(text))
            return CustomKeyResult::NothingChosen;
        const KeyExtraRow record = ProgramRecord(text);
        if (!PathExists(record.param))
            return CustomKeyResult::ProgramMissing;
        row = assignments.MakeProgramRun(record);
        break;
    }
    case CustomKeyMode::kAddress:
        if (IsBlank(text))
            return CustomKeyResult::NothingChosen;
        row = assignments.MakeProgramRun(AddressRecord(text));
        break;
    case CustomKeyMode::kText:
        if (text.empty())
            return CustomKeyResult::NothingChosen;
        row = assignments.MakeProgramRun(TextRecord(text));
        break;
    case CustomKeyMode::kProfile:
        if (!choice)
            return CustomKeyResult::NothingChosen;
        row = assignments.MakeProgramRun(ProfileRecord(static_cast<int>(choice->data), choice->text));
        break;
    default:
        return CustomKeyResult::NotStored;
    }
    if (!row || assignments.Assign(profile, ProfileState::kFnLayer, keyCode, *row) == 0)
        return CustomKeyResult::NotStored;
    return CustomKeyResult::Stored;
}
