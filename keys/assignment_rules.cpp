#include "keys/assignment_rules.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kPickerExtraFrom = 500;
constexpr int kFirstUsage = 4;
constexpr int kLastUsage = 231;
constexpr int kFirstMedia = 232;
constexpr int kLastMedia = 249;
constexpr int kModifierBits = 0x0F; // Ctrl, Shift, Alt, Win
constexpr int kShortcutCount = 15;
constexpr int kMediaNumberCount = 7;

constexpr int kTextDisabled = 202;
constexpr int kTextMacroWord = 331;
constexpr int kTextFirstShortcut = 700; // + value
constexpr int kLanguageEnglish = 1033;
constexpr int kLanguagePolish = 1045;

// How much of a text to type the tip shows.
constexpr size_t kShownTextLength = 40;

struct MouseButton {
    int value;
    int textId;
};
constexpr MouseButton kMouseButtons[] = {{1, 220}, {2, 222}, {3, 223}, {7, 227}, {8, 228}};

bool IsMouseValue(int value)
{
    return std::any_of(std::begin(kMouseButtons), std::end(kMouseButtons),
                       [value](const MouseButton& b) { return b.value == value; });
}

bool StartsWith(const CString& text, const wchar_t* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

CString Trimmed(const CString& text)
{
    const size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == CString::npos)
        return {};
    const size_t last = text.find_last_not_of(L" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The last part of a path, either separator.
CString FileNameOf(const CString& path)
{
    const size_t slash = path.find_last_of(L"/\\");
    return slash == CString::npos ? path : path.substr(slash + 1);
}

} // namespace

bool IsSoundAssignment(const KeyAssignmentRow& row, const KeyExtraLookup& extras)
{
    using namespace AssignmentType;
    const int value = row.macro_value;
    const int value2 = row.macro_value2;
    switch (row.macro_type) {
    case kDisabled:
        return true;
    case kKey:
        return ((value >= kFirstUsage && value <= kLastUsage) ||
                (value >= kFirstMedia && value <= kLastMedia)) &&
               value2 >= 0 && value2 <= kModifierBits;
    case kMacro:
        return value > 0;
    case kMouse:
        return IsMouseValue(value);
    case kMedia:
        return value >= 1 && value <= kMediaNumberCount;
    case kShortcut:
        return value >= 1 && value <= kShortcutCount;
    case kProgram:
    case kAddress:
    case kText:
    case kProfile: {
        if (value <= 0)
            return false;
        if (!extras)
            return true;
        const std::optional<KeyExtraRow> record = extras(value);
        return record && record->type == row.macro_type;
    }
    case kPickerExtra:
        return value >= kPickerExtraFrom;
    default:
        return false;
    }
}

int TipHeadingText(int type)
{
    using namespace AssignmentType;
    switch (type) {
    case kDisabled:
        return 202;
    case kKey:
    case kPickerExtra:
        return 205;
    case kMacro:
        return 206;
    case kMouse:
        return 207;
    case kMedia:
        return 208;
    case kShortcut:
        return 209;
    case kProgram:
        return 210;
    case kAddress:
        return 211;
    case kText:
        return 212;
    case kProfile:
        return 367;
    default:
        return 0;
    }
}

std::optional<KeyTip> TipOf(const KeyAssignmentRow& row, const AssignmentTexts& texts)
{
    using namespace AssignmentType;
    const int heading = TipHeadingText(row.macro_type);
    if (heading == 0 || !IsSoundAssignment(row))
        return std::nullopt;
    KeyTip tip{texts.Text(heading), row.macro_desc};
    switch (row.macro_type) {
    case kDisabled:
        tip.text.clear();
        break;
    case kMacro:
        tip.text = LocalisedMacroName(row.macro_desc, texts);
        break;
    case kMouse:
        tip.text = MouseButtonName(row.macro_value, texts);
        break;
    case kShortcut:
        tip.text = ShortcutName(row.macro_value, texts);
        break;
    default:
        break;
    }
    return tip;
}

CString LocalisedMacroName(const CString& stored, const AssignmentTexts& texts)
{
    const bool otherLanguage = (texts.languageId == kLanguagePolish && StartsWith(stored, L"Macro")) ||
                               (texts.languageId == kLanguageEnglish && StartsWith(stored, L"Makro"));
    if (!otherLanguage)
        return stored;
    return texts.Text(kTextMacroWord) + stored.substr(5);
}

CString MouseButtonName(int value, const AssignmentTexts& texts)
{
    for (const MouseButton& button : kMouseButtons) {
        if (button.value == value)
            return texts.Text(button.textId);
    }
    return {};
}

CString ShortcutName(int value, const AssignmentTexts& texts)
{
    if (value < 1 || value > kShortcutCount)
        return {};
    return texts.Text(kTextFirstShortcut + value);
}

// --- Rows ---

KeyAssignmentRow DefaultAssignment()
{
    return {};
}

KeyAssignmentRow DisabledAssignment(const AssignmentTexts& texts)
{
    KeyAssignmentRow row;
    row.macro_type = AssignmentType::kDisabled;
    row.macro_value = 1;
    row.macro_desc = texts.Text(kTextDisabled);
    return row;
}

KeyAssignmentRow PickerAssignment(int value, int data2, int data3, const CString& label)
{
    KeyAssignmentRow row;
    row.macro_type = value < kPickerExtraFrom ? AssignmentType::kKey : AssignmentType::kPickerExtra;
    row.macro_value = value;
    row.macro_value2 = data2;
    row.macro_value3 = data3;
    row.macro_desc = label;
    return row;
}

KeyAssignmentRow MacroAssignment(int macroId, const CString& shownName)
{
    KeyAssignmentRow row;
    row.macro_type = AssignmentType::kMacro;
    row.macro_value = macroId;
    row.macro_desc = shownName;
    return row;
}

KeyAssignmentRow ShortcutAssignment(int value, const AssignmentTexts& texts)
{
    KeyAssignmentRow row;
    row.macro_type = AssignmentType::kShortcut;
    row.macro_value = value;
    row.macro_desc = ShortcutName(value, texts);
    return row;
}

KeyAssignmentRow ProgramRunAssignment(int type, int recordId, const CString& shown)
{
    KeyAssignmentRow row;
    row.macro_type = type;
    row.macro_value = recordId;
    row.macro_desc = shown;
    return row;
}

// --- Key extra records ---

KeyExtraRow ProgramRecord(const CString& path)
{
    const CString trimmed = Trimmed(path);
    return {FileNameOf(trimmed), trimmed, AssignmentType::kProgram};
}

KeyExtraRow AddressRecord(const CString& address)
{
    return {Trimmed(address), CString(), AssignmentType::kAddress};
}

KeyExtraRow TextRecord(const CString& text)
{
    return {text, CString(), AssignmentType::kText};
}

KeyExtraRow ProfileRecord(int profile, const CString& name)
{
    return {name, std::to_wstring(profile), AssignmentType::kProfile};
}

CString ShownRecordText(const KeyExtraRow& record)
{
    if (record.type != AssignmentType::kText)
        return record.macro_desc;
    // One line of the text's start: the tip has room for little.
    CString shown;
    for (const wchar_t c : record.macro_desc) {
        if (shown.size() == kShownTextLength) {
            shown += L"\u2026";
            break;
        }
        shown += (c == L'\n' || c == L'\r' || c == L'\t') ? L' ' : c;
    }
    return shown;
}

CString AddressToOpen(const CString& text)
{
    const CString address = Trimmed(text);
    if (address.empty())
        return {};
    if (address.find(L"://") != CString::npos || StartsWith(address, L"mailto:"))
        return address;
    const CString host = address.find(L"www.") == CString::npos ? L"www." + address : address;
    return L"https://" + host;
}

int ProfileOfRecord(const KeyExtraRow& record)
{
    const CString& text = record.param;
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        return 0;
    return std::stoi(text);
}
