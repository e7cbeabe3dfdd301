#pragma once
// The XML document through which every XML file of the program is read and written: exchange files,
// config.xml and the keyboard layouts.
//
// The document has a position: a level (the top level, or the inside of an entered element) and a
// current element on that level. Walking is a forward search among siblings:
//
//   doc.FindElement(L"config");   // current = <config>
//   doc.EnterElement();           // level = inside <config>, no current element
//   doc.FindElement(L"software"); // first <software> child of <config>
//   doc.FindElement(L"software"); // the next one after it, or false (position unchanged)
//   doc.LeaveElement();           // current = <config> again, level = top
//
// Names and attribute lookups are case-sensitive. Written files have a fixed layout: CR LF line ends,
// no indentation, every element on its own line, childless elements in the short form "<b x="1"/>",
// attributes in the order they were first set, and < & > ' " written as entities in attribute values.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/native_path.h"
#include "core/wide_text.h"

// The installation's XML files (config.xml, layouts) are a few kilobytes; anything far larger is not
// one of them and is refused before it is read.
inline constexpr uint64_t kMaxInstallationXmlBytes = 1024 * 1024;

enum class XmlLoadResult {
    Loaded,
    Missing,       // no such file (or a folder on the way is missing)
    Unreadable,    // not a regular file, no permission, or a read failed
    TooLarge,      // larger than the limit the caller gave
    NotWellFormed, // not XML, or not exactly one root element
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Reads and parses a file (UTF-8, UTF-16 LE/BE with or without a byte-order mark, a declared
    // encoding, or Windows-1252 for bytes that are not UTF-8). Only regular files are read, and the
    // size is checked before anything is read, so a huge file costs nothing to refuse. On anything but
    // Loaded the document is empty. The position goes to the top level either way.
    XmlLoadResult LoadNativeFile(const NativeFilePath& path, uint64_t maxBytes);
    // The same for an installation file given in the program's own path form, up to
    // kMaxInstallationXmlBytes. True when loaded.
    bool LoadFile(const CString& path);

    // Replaces the document with the text, e.g. the declaration that starts a new file. False when the
    // text has a syntax error or more than one root element (the document is then empty).
    bool SetText(std::wstring_view text);

    // Writes the document in the encoding its declaration names (UTF-8 without one), with no byte-order
    // mark unless the loaded file had one. False when the file cannot be written completely or a
    // character has no form in the named encoding.
    bool SaveFile(const CString& path) const;

    // The document as SaveFile lays it out, before encoding.
    CString GetDocumentText() const;
    // The bytes SaveFile writes; nothing when a character has no form in the declared encoding.
    std::optional<std::string> GetEncodedText() const;

    // The next element of that name on the current level after the current element (from the first
    // when there is none); it becomes current. False and no change when there is none.
    bool FindElement(std::wstring_view name);
    // The current element becomes the level; the search inside starts at its first child.
    bool EnterElement();
    // Back to the level above, with the element that was left as the current one.
    bool LeaveElement();

    // The decoded attribute value of the current element; empty when it or the element is missing.
    CString GetAttribute(std::wstring_view name) const;

    // A new childless element after the current one (at the end of the level when there is none); it
    // becomes current. False for a name that is not an XML name, and for a second root element.
    bool AddElement(std::wstring_view name);
    // Adds the attribute to the current element, or replaces its value in place. False without a
    // current element or for a name that is not an XML name.
    bool SetAttribute(std::wstring_view name, std::wstring_view value);
    // The same with the number written as decimal text ("%d").
    bool SetAttribute(std::wstring_view name, int value);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
