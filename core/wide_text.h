#pragma once
// The program's text type and its conversions at the UTF-8 boundaries (files, SQLite, X11, pango).

#include <optional>
#include <string>
#include <string_view>

using CString = std::wstring;

// Decodes UTF-8; a malformed sequence becomes U+FFFD so nothing is lost silently past it.
std::wstring Utf8ToWide(std::string_view utf8);

// Decodes UTF-8 strictly: nullopt when any byte sequence is malformed, overlong, a surrogate or past
// U+10FFFF.
std::optional<std::wstring> DecodeUtf8(std::string_view utf8);

// Encodes to UTF-8; code points that cannot be encoded (lone surrogates, past U+10FFFF) become U+FFFD.
std::string WideToUtf8(std::wstring_view text);

// Decodes UTF-16 bytes (little- or big-endian, no byte-order mark). Surrogate pairs join into one code
// point; a lone surrogate becomes U+FFFD; an odd last byte is dropped.
std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian);

// Encodes to UTF-16 bytes without a byte-order mark; code points that cannot be encoded become U+FFFD.
std::string EncodeUtf16(std::wstring_view text, bool bigEndian);

// How many UTF-16 code units the text takes: the length the program's limits ("259 characters",
// "255 bytes") are counted in.
size_t Utf16Length(std::wstring_view text);

// printf-style formatting with the program's own conventions: "%s" takes a wide string (const wchar_t*),
// "%c" a wide character; every other conversion behaves as in swprintf.
CString FormatText(const wchar_t* format, ...);
