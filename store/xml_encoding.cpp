#include "store/xml_encoding.h"

#include <cerrno>
#include <cstring>
#include <cwctype>
#include <iconv.h>

#include "core/wide_text.h"

namespace {

constexpr size_t kDeclarationWindow = 1024;

bool StartsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

std::string Lower(std::wstring_view text)
{
    std::string out;
    for (wchar_t c : text)
        out += static_cast<char>(c < 0x80 ? std::towlower(static_cast<wint_t>(c)) : '?');
    return out;
}

bool IsUtf8Name(const std::string& name)
{
    return name == "utf-8" || name == "utf8";
}

bool IsUtf16Name(const std::string& name)
{
    return name == "utf-16" || name == "utf16" || name == "utf-16le" || name == "utf-16be" || name == "ucs-2";
}

// Runs iconv over the whole input. A byte sequence it cannot read becomes U+FFFD when decoding; a
// character the target cannot hold fails the conversion. nullopt also when the system does not know the
// encoding.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view input, bool decoding)
{
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out;
    char buffer[4096];
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    bool ok = true;
    for (bool flushing = false;;) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        // With no input left, one more call with a null input writes a stateful encoding's closing shift.
        const size_t result = ::iconv(cd, flushing ? nullptr : &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        out.append(buffer, sizeof buffer - outLeft);
        if (result == static_cast<size_t>(-1) && error != E2BIG) {
            if (!decoding || flushing) {
                ok = false;
                break;
            }
            const wchar_t replacement = 0xFFFD;
            out.append(reinterpret_cast<const char*>(&replacement), sizeof replacement);
            ++in;
            --inLeft;
            continue;
        }
        if (result != static_cast<size_t>(-1) && inLeft == 0) {
            if (flushing)
                break;
            flushing = true;
        }
    }
    ::iconv_close(cd);
    if (!ok)
        return std::nullopt;
    return out;
}

std::wstring FromWcharBytes(const std::string& bytes)
{
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    return text;
}

std::wstring DecodeUndeclared(std::string_view bytes)
{
    if (std::optional<std::wstring> utf8 = DecodeUtf8(bytes))
        return *std::move(utf8);
    return DecodeWindows1252(bytes);
}

} // namespace

std::wstring DeclaredEncoding(std::wstring_view text)
{
    size_t pos = 0;
    while (pos < text.size() && std::iswspace(static_cast<wint_t>(text[pos])))
        ++pos;
    text.remove_prefix(pos);
    if (text.substr(0, 5) != L"<?xml" || text.size() < 6 || !std::iswspace(static_cast<wint_t>(text[5])))
        return {};
    const size_t end = text.find(L"?>");
    if (end == std::wstring_view::npos)
        return {};
    const std::wstring_view declaration = text.substr(0, end);
    for (size_t at = declaration.find(L"encoding"); at != std::wstring_view::npos;
         at = declaration.find(L"encoding", at + 1)) {
        size_t p = at + 8;
        while (p < declaration.size() && std::iswspace(static_cast<wint_t>(declaration[p])))
            ++p;
        if (p >= declaration.size() || declaration[p] != L'=')
            continue;
        ++p;
        while (p < declaration.size() && std::iswspace(static_cast<wint_t>(declaration[p])))
            ++p;
        if (p >= declaration.size() || (declaration[p] != L'"' && declaration[p] != L'\''))
            continue;
        const size_t close = declaration.find(declaration[p], p + 1);
        if (close == std::wstring_view::npos)
            return {};
        return std::wstring(declaration.substr(p + 1, close - p - 1));
    }
    return {};
}

DecodedXml DecodeXmlBytes(std::string_view bytes)
{
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        return {Utf8ToWide(bytes.substr(3)), XmlByteOrderMark::Utf8};
    if (StartsWith(bytes, "\xFF\xFE"))
        return {DecodeUtf16(bytes.substr(2), false), XmlByteOrderMark::Utf16LE};
    if (StartsWith(bytes, "\xFE\xFF"))
        return {DecodeUtf16(bytes.substr(2), true), XmlByteOrderMark::Utf16BE};
    if (StartsWith(bytes, std::string_view("<\0", 2)))
        return {DecodeUtf16(bytes, false), XmlByteOrderMark::None};
    if (StartsWith(bytes, std::string_view("\0<", 2)))
        return {DecodeUtf16(bytes, true), XmlByteOrderMark::None};

    const std::string encoding =
        Lower(DeclaredEncoding(Utf8ToWide(bytes.substr(0, std::min(bytes.size(), kDeclarationWindow)))));
    if (IsUtf8Name(encoding))
        return {Utf8ToWide(bytes), XmlByteOrderMark::None};
    // A declaration readable as 8-bit text cannot sit in a UTF-16 file: the name is wrong, not the bytes.
    if (!encoding.empty() && !IsUtf16Name(encoding)) {
        if (std::optional<std::string> wide = Convert("WCHAR_T", encoding.c_str(), bytes, true))
            return {FromWcharBytes(*wide), XmlByteOrderMark::None};
    }
    return {DecodeUndeclared(bytes), XmlByteOrderMark::None};
}

std::optional<std::string> EncodeXmlText(std::wstring_view text, std::wstring_view encoding,
                                         XmlByteOrderMark mark)
{
    const std::string name = Lower(encoding);
    if (IsUtf16Name(name)) {
        const bool bigEndian =
            name == "utf-16be" || (name != "utf-16le" && mark == XmlByteOrderMark::Utf16BE);
        return std::string(bigEndian ? "\xFE\xFF" : "\xFF\xFE") + EncodeUtf16(text, bigEndian);
    }
    if (!name.empty() && !IsUtf8Name(name)) {
        const std::string_view wide(reinterpret_cast<const char*>(text.data()),
                                    text.size() * sizeof(wchar_t));
        if (iconv_t probe = ::iconv_open(name.c_str(), "WCHAR_T"); probe != reinterpret_cast<iconv_t>(-1)) {
            ::iconv_close(probe);
            return Convert(name.c_str(), "WCHAR_T", wide, false);
        }
    }
    return (mark == XmlByteOrderMark::Utf8 ? std::string("\xEF\xBB\xBF") : std::string()) + WideToUtf8(text);
}

std::wstring DecodeWindows1252(std::string_view bytes)
{
    static constexpr char16_t kHighControls[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::wstring out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += static_cast<wchar_t>(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b);
    }
    return out;
}
