#include "platform/private_profile.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>

#include "core/native_path.h"

namespace {

std::wstring Decode(const std::string& bytes)
{
    const std::string_view view(bytes);
    if (view.starts_with("\xEF\xBB\xBF"))
        return Utf8ToWide(view.substr(3));
    if (view.starts_with("\xFF\xFE"))
        return DecodeUtf16(view.substr(2), false);
    if (view.starts_with("\xFE\xFF"))
        return DecodeUtf16(view.substr(2), true);
    return Utf8ToWide(view);
}

std::wstring_view Trim(std::wstring_view text)
{
    const auto blank = [](wchar_t c) {
        return c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\f';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
    });
}

// The longest prefix of the text that fits in the given number of UTF-16 units.
CString CutToUtf16Units(std::wstring_view text, size_t units)
{
    size_t used = 0;
    size_t length = 0;
    for (; length < text.size(); ++length) {
        const size_t width = Utf16Length(text.substr(length, 1));
        if (used + width > units)
            break;
        used += width;
    }
    return CString(text.substr(0, length));
}

} // namespace

CString ReadProfileString(const CString& path, const CString& section, const CString& key, size_t bufferChars)
{
    if (bufferChars == 0)
        return {};
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in)
        return {};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::wstring text = Decode(bytes);

    bool inSection = false;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring_view line = Trim(std::wstring_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == L';')
            continue;
        if (line.front() == L'[') {
            // Only the first section of that name counts.
            if (inSection)
                break;
            const size_t close = line.find(L']');
            const std::wstring_view name =
                Trim(line.substr(1, close == std::wstring_view::npos ? line.size() - 1 : close - 1));
            inSection = SameName(name, section);
            continue;
        }
        if (!inSection)
            continue;
        const size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos || !SameName(Trim(line.substr(0, equals)), key))
            continue;
        std::wstring_view value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return CutToUtf16Units(value, bufferChars - 1);
    }
    return {};
}
