#include "core/wide_text.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at text[pos]; advances pos. Returns false for a malformed sequence
// (pos then moves past the first byte only, so decoding resynchronises on the next lead byte).
bool DecodeOne(std::string_view text, size_t& pos, char32_t& out)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        out = lead;
        ++pos;
        return true;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return false;
    }
    if (pos + extra >= text.size()) {
        ++pos;
        return false;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char c = byte(pos + i);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return false;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return false;
    }
    pos += extra + 1;
    out = cp;
    return true;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Rewrites the program's "%s"/"%c" (wide arguments) into swprintf's "%ls"/"%lc".
std::wstring ToSwprintfFormat(const wchar_t* format)
{
    std::wstring out;
    for (const wchar_t* p = format; *p; ++p) {
        out += *p;
        if (*p != L'%')
            continue;
        if (p[1] == L'%') {
            out += *++p;
            continue;
        }
        // flags, width, precision and length modifiers
        bool hasLength = false;
        while (p[1] && std::wcschr(L"-+ #0123456789.*hlLqjzt", p[1])) {
            if (std::wcschr(L"hlLqjzt", p[1]))
                hasLength = true;
            out += *++p;
        }
        if ((p[1] == L's' || p[1] == L'c') && !hasLength)
            out += L'l';
    }
    return out;
}

} // namespace

std::wstring Utf8ToWide(std::string_view utf8)
{
    std::wstring out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        out += static_cast<wchar_t>(DecodeOne(utf8, pos, cp) ? cp : kReplacement);
    }
    return out;
}

std::optional<std::wstring> DecodeUtf8(std::string_view utf8)
{
    std::wstring out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        if (!DecodeOne(utf8, pos, cp))
            return std::nullopt;
        out += static_cast<wchar_t>(cp);
    }
    return out;
}

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        AppendUtf8(out, static_cast<char32_t>(c));
    return out;
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    const auto unit = [&](size_t i) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    };
    std::wstring out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        out += static_cast<wchar_t>(u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
    }
    return out;
}

std::string EncodeUtf16(std::wstring_view text, bool bigEndian)
{
    std::string out;
    out.reserve(text.size() * 2);
    const auto put = [&](char32_t u) {
        const char high = static_cast<char>(u >> 8);
        const char low = static_cast<char>(u & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    for (wchar_t c : text) {
        char32_t cp = static_cast<char32_t>(c);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = kReplacement;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

size_t Utf16Length(std::wstring_view text)
{
    size_t length = 0;
    for (wchar_t c : text)
        length += static_cast<char32_t>(c) >= 0x10000 && static_cast<char32_t>(c) <= 0x10FFFF ? 2 : 1;
    return length;
}

CString FormatText(const wchar_t* format, ...)
{
    if (!format)
        return {};
    const std::wstring converted = ToSwprintfFormat(format);
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = std::vswprintf(buffer.data(), buffer.size(), converted.c_str(), args);
        va_end(args);
        if (written >= 0 && static_cast<size_t>(written) < buffer.size())
            return CString(buffer.data(), static_cast<size_t>(written));
        // vswprintf reports neither the needed size nor the cause; grow until it fits.
        if (buffer.size() > (1u << 24))
            return {};
        buffer.resize(buffer.size() * 4);
    }
}
