#include "core/native_path.h"

#include "core/wide_text.h"

std::string NativePath(std::wstring_view path)
{
    std::wstring out;
    out.reserve(path.size());
    for (wchar_t c : path) {
        if (c == L'\\')
            c = L'/';
        if (c == L'/' && !out.empty() && out.back() == L'/')
            continue;
        out += c;
    }
    return WideToUtf8(out);
}

NativeFilePath NativeFilePath::FromWide(std::wstring_view path)
{
    return NativeFilePath(WideToUtf8(path));
}
