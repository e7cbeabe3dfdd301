#pragma once
// What an assignment row (t_key_macro_data) means and the rules that every place showing, making or
// carrying out assignments shares: which rows are sound, the tip a row shows on the keyboard view, and
// the rows the custom key page makes. Pure functions; texts come in through AssignmentTexts.
//
// A row that is not sound (an unknown type, a value out of its type's range, a program-run row whose
// key extra record is missing or of another kind) is shown as "default" and never handed to the key
// filter; it stays stored as it came, so exchange files keep it.

#include <functional>
#include <optional>

#include "core/wide_text.h"
#include "store/profile_rows.h"

namespace AssignmentType {
constexpr int kDefault = 0;
constexpr int kDisabled = 1;
constexpr int kKey = 2; // another key (a keyboard usage) or a media function (232-249)
constexpr int kMacro = 3;
constexpr int kMouse = 5;
constexpr int kMedia = 6; // media function by number, 1-7
constexpr int kShortcut = 7;
constexpr int kProgram = 8;
constexpr int kAddress = 9;
constexpr int kText = 10;
constexpr int kProfile = 11;
constexpr int kPickerExtra = 12; // a picker value of 500 and above

// Types whose macro_value names a key extra record, run by the program itself.
constexpr bool IsProgramRun(int type)
{
    return type >= kProgram && type <= kProfile;
}
} // namespace AssignmentType

// The texts the rules show, by language text id, and the interface language.
struct AssignmentTexts {
    std::function<CString(int textId)> text;
    int languageId = 1033;

    CString Text(int id) const { return text ? text(id) : CString(); }
};

// The key extra record with this id, or nullopt when there is none.
using KeyExtraLookup = std::function<std::optional<KeyExtraRow>(int id)>;

// Whether a row is one the program can show and carry out. Program-run rows need their record (of the
// same kind) when `extras` is given; without it only their id is checked.
bool IsSoundAssignment(const KeyAssignmentRow& row, const KeyExtraLookup& extras = {});

// What a key's tip shows for its row: a heading (a language text) and a line. Rows of other types, and
// rows that are not sound, have no tip.
struct KeyTip {
    CString heading;
    CString text;

    bool operator==(const KeyTip&) const = default;
};
// The language text id of a type's tip heading; 0 for types without one.
int TipHeadingText(int type);
std::optional<KeyTip> TipOf(const KeyAssignmentRow& row, const AssignmentTexts& texts);

// A macro name as the lists show it: a default name stored in the other language ("Macro 3" under
// Polish, "Makro 3" under English) is shown with this language's word.
CString LocalisedMacroName(const CString& stored, const AssignmentTexts& texts);
// The name of a mouse button value (1 left, 2 middle, 3 right, 7 back, 8 forward); empty for others.
CString MouseButtonName(int value, const AssignmentTexts& texts);
// The name of a built-in shortcut, 1-15; empty for others.
CString ShortcutName(int value, const AssignmentTexts& texts);

// --- Rows the page makes (profile, layer and key are filled in when stored) ---

// Stores nothing: the key goes back to its own function.
KeyAssignmentRow DefaultAssignment();
KeyAssignmentRow DisabledAssignment(const AssignmentTexts& texts);
// A picker button: type 2 below value 500, else 12.
KeyAssignmentRow PickerAssignment(int value, int data2, int data3, const CString& label);
KeyAssignmentRow MacroAssignment(int macroId, const CString& shownName);
KeyAssignmentRow ShortcutAssignment(int value, const AssignmentTexts& texts);
// A program-run row (types 8-11) for key extra record `recordId`, shown as `shown`.
KeyAssignmentRow ProgramRunAssignment(int type, int recordId, const CString& shown);

// --- The key extra records of the program-run types ---

// Type 8 keeps the display name and the program's path, 9 the address, 10 the text, 11 the profile's
// name and its id in decimal.
KeyExtraRow ProgramRecord(const CString& path);
KeyExtraRow AddressRecord(const CString& address);
KeyExtraRow TextRecord(const CString& text);
KeyExtraRow ProfileRecord(int profile, const CString& name);
// What the key's tip shows of a record: the program's name, the address, the start of the text, the
// profile's name.
CString ShownRecordText(const KeyExtraRow& record);
// The address a type 9 record opens: as given when it names a scheme ("https://…", "mailto:…"); else
// with "www." put in front unless it holds "www." already, opened over https. Empty for an empty text.
CString AddressToOpen(const CString& text);
// The profile id of a type 11 record (its parameter in decimal); 0 when it is none.
int ProfileOfRecord(const KeyExtraRow& record);
