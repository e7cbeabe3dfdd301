#include "platform/fake/fixed_key_names.h"

namespace {

struct Entry {
    unsigned virtualKey;
    const wchar_t* name;
};

constexpr Entry kUsNames[] = {
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

FixedKeyNames::FixedKeyNames()
{
    for (const Entry& entry : kUsNames)
        m_names[entry.virtualKey] = entry.name;
    for (wchar_t c = L'0'; c <= L'9'; ++c) {
        m_names[c] = CString(1, c);
        m_names[96 + (c - L'0')] = L"Num " + CString(1, c);
    }
    for (wchar_t c = L'A'; c <= L'Z'; ++c)
        m_names[c] = CString(1, c);
    for (unsigned n = 1; n <= 24; ++n)
        m_names[111 + n] = L"F" + std::to_wstring(n);
}

CString FixedKeyNames::KeyName(unsigned virtualKey) const
{
    const auto it = m_names.find(virtualKey);
    return it == m_names.end() ? CString() : it->second;
}

void FixedKeyNames::SetName(unsigned virtualKey, const CString& name)
{
    if (name.empty())
        m_names.erase(virtualKey);
    else
        m_names[virtualKey] = name;
}
