#include "platform/us_key_names.h"

#include <string>

namespace {

struct Entry {
    unsigned virtualKey;
    const wchar_t* name;
};

// Keys outside the runs of digits, letters, keypad digits and function keys.
constexpr Entry kNames[] = {
    {8, L"Backspace"},
    {9, L"Tab"},
    {12, L"Num 5"},
    {13, L"Enter"},
    {16, L"Left Shift"},
    {17, L"Left Ctrl"},
    {18, L"Left Alt"},
    {19, L"Pause"},
    {20, L"Caps Lock"},
    {27, L"Esc"},
    {32, L"Space"},
    {33, L"Page Up"},
    {34, L"Page Down"},
    {35, L"End"},
    {36, L"Home"},
    {37, L"Left"},
    {38, L"Up"},
    {39, L"Right"},
    {40, L"Down"},
    {44, L"Print Screen"},
    {45, L"Insert"},
    {46, L"Delete"},
    {91, L"Left Windows"},
    {92, L"Right Windows"},
    {93, L"Application"},
    {106, L"Num *"},
    {107, L"Num +"},
    {108, L"Num Enter"},
    {109, L"Num -"},
    {110, L"Num ."},
    {111, L"Num /"},
    {144, L"Num Lock"},
    {145, L"Scroll Lock"},
    {160, L"Left Shift"},
    {161, L"Right Shift"},
    {162, L"Left Ctrl"},
    {163, L"Right Ctrl"},
    {164, L"Left Alt"},
    {165, L"Right Alt"},
    {166, L"Browser Back"},
    {167, L"Browser Forward"},
    {168, L"Browser Refresh"},
    {169, L"Browser Stop"},
    {170, L"Browser Search"},
    {171, L"Browser Favorites"},
    {172, L"Browser Home"},
    {173, L"Mute"},
    {174, L"Volume Down"},
    {175, L"Volume Up"},
    {176, L"Next Track"},
    {177, L"Previous Track"},
    {178, L"Stop"},
    {179, L"Play/Pause"},
    {180, L"Mail"},
    {181, L"Media"},
    {182, L"My Computer"},
    {183, L"Calculator"},
    {186, L";"},
    {187, L"="},
    {188, L","},
    {189, L"-"},
    {190, L"."},
    {191, L"/"},
    {192, L"`"},
    {219, L"["},
    {220, L"\\"},
    {221, L"]"},
    {222, L"'"},
    {226, L"<"},
};

} // namespace

CString UsKeyName(unsigned virtualKey)
{
    const unsigned v = virtualKey;
    if ((v >= '0' && v <= '9') || (v >= 'A' && v <= 'Z'))
        return CString(1, static_cast<wchar_t>(v));
    if (v >= 96 && v <= 105)
        return L"Num " + std::to_wstring(v - 96);
    if (v >= 112 && v <= 135)
        return L"F" + std::to_wstring(v - 111);
    for (const Entry& entry : kNames) {
        if (entry.virtualKey == v)
            return entry.name;
    }
    return {};
}

bool IsLayoutIndependentKey(unsigned virtualKey)
{
    return (virtualKey >= 112 && virtualKey <= 135) || (virtualKey >= 166 && virtualKey <= 183);
}
