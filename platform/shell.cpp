#include "platform/shell.h"

#include <cwctype>
#include <string_view>

bool IsOpenableAddress(const CString& address)
{
    for (const wchar_t c : address) {
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    const auto startsWith = [&address](std::wstring_view prefix) {
        if (address.size() <= prefix.size())
            return false;
        for (size_t i = 0; i < prefix.size(); ++i) {
            if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(address[i]))) != prefix[i])
                return false;
        }
        return true;
    };
    return startsWith(L"http://") || startsWith(L"https://") || startsWith(L"mailto:");
}
