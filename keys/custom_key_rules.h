#pragma once
// What the custom key dialog offers and stores, by mode (the assignment type it makes): a macro (3), a
// mouse button (5) or a built-in shortcut (7) from a list, a program (8, its path), a web address (9), a
// text to type (10), or a profile to switch to (11, from a list).

#include <optional>
#include <vector>

#include "keys/key_assignments.h"

class ProfileDatabase;

namespace CustomKeyMode {
constexpr int kMacro = AssignmentType::kMacro;
constexpr int kMouse = AssignmentType::kMouse;
constexpr int kShortcut = AssignmentType::kShortcut;
constexpr int kProgram = AssignmentType::kProgram;
constexpr int kAddress = AssignmentType::kAddress;
constexpr int kText = AssignmentType::kText;
constexpr int kProfile = AssignmentType::kProfile;

constexpr bool IsMode(int mode)
{
    return mode == kMacro || mode == kMouse || mode == kShortcut || (mode >= kProgram && mode <= kProfile);
}
// Modes that pick from a list; the others take a text.
constexpr bool PicksFromList(int mode)
{
    return mode == kMacro || mode == kMouse || mode == kShortcut || mode == kProfile;
}
} // namespace CustomKeyMode

// The dialog's heading and type name for a mode (language text id).
int CustomKeyHeadingText(int mode);

struct CustomKeyChoice {
    long data = 0; // the macro id, the shortcut value, the profile id
    CString text;

    bool operator==(const CustomKeyChoice&) const = default;
};

// The list a mode picks from: every macro in id order with its shown name, the mouse buttons, the
// shortcuts 1-15, every profile. Empty for the modes that take a text.
std::vector<CustomKeyChoice> CustomKeyChoices(int mode, ProfileDatabase& database,
                                              const AssignmentTexts& texts);

enum class CustomKeyResult {
    Stored,
    NothingChosen,      // no item of the list, or an empty text
    MacroWithoutEvents, // the macro has nothing to play yet
    ProgramMissing,     // no file at the path given
    NotStored,          // the database refused the row (or the key is none)
};

// Stores what the dialog holds as the key's assignment in (profile, Fn layer 0): the chosen item for the
// list modes, the text for the others.
CustomKeyResult ApplyCustomKey(KeyAssignments& assignments, ProfileDatabase& database, int profile,
                               int keyCode, int mode, const std::optional<CustomKeyChoice>& choice,
                               const CString& text);
