#include "device/key_codes.h"

#include <algorithm>
#include <array>

#include "platform/key_name_source.h"

namespace {

constexpr MediaFunction kMediaFunctions[] = {
    {232, 0x183, 181, 272}, // media player
    {233, 0x0EA, 174, 235}, // volume down
    {234, 0x0E9, 175, 234}, // volume up
    {235, 0x0E2, 173, 236}, // mute
    {236, 0x0B7, 178, 231}, // stop
    {237, 0x0B6, 177, 232}, // previous track
    {238, 0x0CD, 179, 230}, // play/pause
    {239, 0x0B5, 176, 233}, // next track
    {240, 0x18A, 180, 271}, // e-mail
    {241, 0x223, 172, 273}, // browser home
    {242, 0x192, 183, 270}, // calculator
    {243, 0x224, 166, 276}, // browser back
    {244, 0x225, 167, 277}, // browser forward
    {245, 0x226, 169, 275}, // browser stop
    {246, 0x227, 168, 274}, // browser refresh
    {247, 0x221, 170, 279}, // browser search
    {248, 0x22A, 171, 278}, // browser favourites
    {249, 0x194, 182, 252}, // my computer
};

constexpr unsigned kFirstMediaKeyCode = 232;
constexpr unsigned kFirstMediaVirtualKey = 166;
constexpr unsigned kLastMediaVirtualKey = 183;

struct CodePair {
    unsigned from;
    unsigned to;
};

// Virtual keys whose key codes follow no run of consecutive values.
constexpr CodePair kSingleKeyCodes[] = {
    {48, 39},   {13, 40},   {27, 41},  {8, 42},   {9, 43},    {32, 44},   {189, 45},  {187, 46}, {219, 47},
    {221, 48},  {220, 49},  {666, 50}, {186, 51}, {222, 52},  {192, 53},  {188, 54},  {190, 55}, {191, 56},
    {20, 57},   {44, 70},   {145, 71}, {19, 72},  {45, 73},   {36, 74},   {33, 75},   {46, 76},  {35, 77},
    {34, 78},   {39, 79},   {37, 80},  {40, 81},  {38, 82},   {144, 83},  {111, 84},  {106, 85}, {109, 86},
    {107, 87},  {108, 88},  {96, 98},  {110, 99}, {162, 224}, {160, 225}, {164, 226}, {91, 227}, {163, 228},
    {161, 229}, {165, 230}, {92, 231}, {93, 101}, {254, 175}, {226, 100},
};

struct Caption {
    unsigned keyCode;
    const wchar_t* text;
};

// Captions of the codes outside the letter, digit and function-key runs.
constexpr Caption kCaptions[] = {
    {40, L"ENTER"},   {41, L"ESC"},    {42, L"backspace"}, {43, L"TAB"},   {44, L"SPACE"},  {45, L"-_"},
    {46, L"+="},      {47, L"[{"},     {48, L"]}"},        {49, L"\\"},    {51, L";:"},     {52, L"'"},
    {53, L"~`"},      {54, L"<,"},     {55, L">."},        {56, L"/?"},    {57, L"CAPS"},   {70, L"PRTSC"},
    {71, L"SCRLK"},   {72, L"PASE"},   {73, L"INS"},       {74, L"HOME"},  {75, L"PG UP"},  {76, L"DEL"},
    {77, L"END"},     {78, L"PG DN"},  {79, L"RIGHT"},     {80, L"LEFT"},  {81, L"DOWN"},   {82, L"UP"},
    {83, L"NumLock"}, {84, L"/"},      {85, L"*"},         {86, L"-"},     {87, L"+"},      {88, L"Enter"},
    {99, L"."},       {101, L"MENU"},  {175, L"FN"},       {224, L"CTRL"}, {225, L"SHIFT"}, {226, L"ALT"},
    {227, L"WIN"},    {228, L"RCTRL"}, {229, L"RSHIFT"},   {230, L"RALT"},
};

struct KeyName {
    unsigned virtualKey;
    const wchar_t* name;
};

// Names that replace the layout's in every variant.
constexpr KeyName kCommonNames[] = {
    {19, L"Pause"},    {44, L"Print Screen"}, {91, L"Windows"},
    {92, L"RWindows"}, {93, L"Application"},  {144, L"Num Lock"},
};

// The custom key dialog names the punctuation keys by both of their US characters.
constexpr KeyName kDialogNames[] = {
    {186, L";:"}, {187, L"=+"}, {188, L"<,"},   {189, L"-_"}, {190, L">."},  {191, L"?/"},
    {192, L"`~"}, {219, L"[{"}, {220, L"\\||"}, {221, L"]}"}, {222, L"'\""},
};

constexpr KeyName kInputNames[] = {
    {160, L"Shift"}, {161, L"RShift"}, {162, L"Ctrl"}, {163, L"RCtrl"}, {164, L"Alt"}, {165, L"RAlt"},
};

// The keyboard hook's names of virtual keys 166–183, in virtual-key order.
constexpr const wchar_t* kHookMediaNames[] = {
    L"Web-Backward", L"Web-Forward", L"Web-Refresh", L"Web-Stop",   L"Web-Search",  L"Web-Favorites",
    L"Web-Home",     L"Vol Mute",    L"Vol Down",    L"Vol Up",     L"Next Track",  L"Prev Track",
    L"Stop",         L"Play/Pause",  L"EMail",       L"Multimedia", L"My Computer", L"Calculator",
};
static_assert(std::size(kHookMediaNames) == kLastMediaVirtualKey - kFirstMediaVirtualKey + 1);

template <typename Row, size_t N> const Row* FindRow(const Row (&rows)[N], unsigned key, unsigned Row::*field)
{
    const auto it =
        std::find_if(std::begin(rows), std::end(rows), [&](const Row& row) { return row.*field == key; });
    return it == std::end(rows) ? nullptr : &*it;
}

template <size_t N> const wchar_t* FindName(const KeyName (&names)[N], unsigned virtualKey)
{
    const KeyName* entry = FindRow(names, virtualKey, &KeyName::virtualKey);
    return entry ? entry->name : nullptr;
}

// Keypad keys by scan code, in the order 71–83: 7 8 9 - 4 5 6 + 1 2 3 0 decimal. The minus and plus
// keys (74, 78) are not corrected: their virtual key never depends on Num Lock.
constexpr std::array<unsigned, 13> kKeypadByScanCode = {103, 104, 105, 0,  100, 101, 102,
                                                        0,   97,  98,  99, 96,  110};
constexpr unsigned kKeypadFirstScanCode = 71;
constexpr unsigned kEnterScanCode = 28;
constexpr unsigned kKeypadEnter = 108;

} // namespace

std::span<const MediaFunction> MediaFunctions()
{
    return kMediaFunctions;
}

unsigned VirtualKeyToKeyCode(unsigned virtualKey)
{
    const unsigned v = virtualKey;
    if (v >= 65 && v <= 90) // A–Z
        return v - 61;
    if (v >= 49 && v <= 57) // 1–9
        return v - 19;
    if (v >= 112 && v <= 123) // F1–F12
        return v - 54;
    if (v >= 124 && v <= 135) // F13–F24
        return v - 20;
    if (v >= 97 && v <= 105) // keypad 1–9
        return v - 8;
    if (v >= 136 && v <= 139)
        return v;
    if (const MediaFunction* media = FindRow(kMediaFunctions, v, &MediaFunction::virtualKey))
        return media->keyCode;
    if (const CodePair* pair = FindRow(kSingleKeyCodes, v, &CodePair::from))
        return pair->to;
    return 0;
}

unsigned ConsumerUsageOf(unsigned keyCode)
{
    if (keyCode < kFirstMediaKeyCode || keyCode >= kFirstMediaKeyCode + std::size(kMediaFunctions))
        return 0;
    return kMediaFunctions[keyCode - kFirstMediaKeyCode].consumerUsage;
}

bool IsMediaVirtualKey(unsigned virtualKey)
{
    return virtualKey >= kFirstMediaVirtualKey && virtualKey <= kLastMediaVirtualKey;
}

CString KeyCodeShortName(unsigned keyCode)
{
    const unsigned c = keyCode;
    if (c >= 4 && c <= 29)
        return CString(1, static_cast<wchar_t>(L'A' + (c - 4)));
    if (c >= 30 && c <= 38)
        return CString(1, static_cast<wchar_t>(L'1' + (c - 30)));
    if (c >= 89 && c <= 97) // the keypad digits share the captions of the top row
        return CString(1, static_cast<wchar_t>(L'1' + (c - 89)));
    if (c == 39 || c == 98)
        return L"0";
    if (c >= 58 && c <= 69)
        return L"F" + std::to_wstring(c - 57);
    if (const Caption* caption = FindRow(kCaptions, c, &Caption::keyCode))
        return caption->text;
    return {};
}

NamedKey VirtualKeyName(unsigned virtualKey, KeyNameVariant variant, const KeyNameSource& names)
{
    const bool input = variant != KeyNameVariant::Dialog;
    unsigned v = virtualKey;
    if (input && v >= 16 && v <= 18) // Shift, Ctrl, Alt → left Shift, left Ctrl, left Alt
        v = 160 + 2 * (v - 16);

    const wchar_t* fixed = FindName(kCommonNames, v);
    if (!fixed && input)
        fixed = FindName(kInputNames, v);
    if (!fixed && variant == KeyNameVariant::Hook && IsMediaVirtualKey(v))
        fixed = kHookMediaNames[v - kFirstMediaVirtualKey];
    if (!fixed && variant == KeyNameVariant::Dialog) {
        if (v >= 124 && v <= 135)
            return {v, FormatText(L"F%d", static_cast<int>(v - 111))};
        fixed = FindName(kDialogNames, v);
    }
    if (fixed)
        return {v, fixed};
    return {v, names.KeyName(v)};
}

unsigned KeypadCorrectedKey(unsigned virtualKey, unsigned scanCode, unsigned flags)
{
    const bool plain = (flags & ~kHookFlagKeyUp) == 0;
    const bool plainExtended = (flags & ~kHookFlagKeyUp) == kHookFlagExtended;
    if (plain && scanCode >= kKeypadFirstScanCode &&
        scanCode < kKeypadFirstScanCode + kKeypadByScanCode.size()) {
        const unsigned keypad = kKeypadByScanCode[scanCode - kKeypadFirstScanCode];
        if (keypad != 0)
            return keypad;
    }
    if (plainExtended && scanCode == kEnterScanCode)
        return kKeypadEnter;
    return virtualKey;
}
