#include "core/number_text.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// The blanks that C's conversion functions skip.
bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

int DigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return 99;
}

int LeadingNumber(std::wstring_view text, int base)
{
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
        negative = text[pos] == L'-';
        ++pos;
    }
    // "0x" counts as a prefix only when a hex digit follows; "0xZ" is the number 0 followed by text.
    if (base == 16 && pos + 2 < text.size() && text[pos] == L'0' &&
        (text[pos + 1] == L'x' || text[pos + 1] == L'X') && DigitValue(text[pos + 2]) < 16)
        pos += 2;
    // Accumulate in 64 bits and stop growing once past the int range, so long digit runs cannot overflow.
    constexpr int64_t kLimit = static_cast<int64_t>(INT_MAX) + 1;
    int64_t value = 0;
    for (; pos < text.size() && DigitValue(text[pos]) < base; ++pos)
        value = std::min<int64_t>(value * base + DigitValue(text[pos]), kLimit);
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(std::min<int64_t>(value, INT_MAX));
}

} // namespace

int LeadingDecimal(std::wstring_view text)
{
    return LeadingNumber(text, 10);
}

int LeadingHex(std::wstring_view text)
{
    return LeadingNumber(text, 16);
}
