#pragma once
// The byte side of XmlDocument: which encoding a file's bytes are in, and turning the document text into
// the bytes of the encoding its declaration names.

#include <optional>
#include <string>
#include <string_view>

// The byte-order mark a file started with; a document remembers it so that saving writes it again.
enum class XmlByteOrderMark { None, Utf8, Utf16LE, Utf16BE };

struct DecodedXml {
    std::wstring text;
    XmlByteOrderMark mark = XmlByteOrderMark::None;
};

// Detects the encoding and decodes. In order: a byte-order mark (UTF-8, UTF-16 LE/BE); UTF-16 without a
// mark when the file starts with "<" as a 16-bit unit; the encoding named in the declaration (looked for
// in the first 1024 bytes); otherwise UTF-8 when the bytes are valid UTF-8 and Windows-1252 when not.
DecodedXml DecodeXmlBytes(std::string_view bytes);

// The encoding named by a declaration at the start of the text, or empty.
std::wstring DeclaredEncoding(std::wstring_view text);

// Encodes the document text for a file: UTF-8 when the encoding is empty or unknown to the system,
// UTF-16 with a mark (big-endian only when the file was read so), else the named encoding. A UTF-8 mark
// is written only when the file had one. nullopt when a character cannot be written in the named
// encoding.
std::optional<std::string> EncodeXmlText(std::wstring_view text, std::wstring_view encoding,
                                         XmlByteOrderMark mark);

// The single-byte Windows code page 1252, which Linux has no "ANSI" setting for; its five unassigned
// bytes map to the C1 control of the same value.
std::wstring DecodeWindows1252(std::string_view bytes);
