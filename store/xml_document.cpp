#include "store/xml_document.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pugixml.hpp>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/native_path.h"
#include "store/xml_encoding.h"

namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                   pugi::parse_pi | pugi::parse_doctype;

constexpr const wchar_t* kLineEnd = L"\r\n";

bool IsNameStart(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' || c == L':' || c >= 0xC0;
}

bool IsXmlName(std::wstring_view name)
{
    if (name.empty() || !IsNameStart(name.front()))
        return false;
    for (wchar_t c : name) {
        if (!IsNameStart(c) && !(c >= L'0' && c <= L'9') && c != L'-' && c != L'.' && c != 0xB7)
            return false;
    }
    return true;
}

void AppendCharacterReference(std::wstring& out, wchar_t c)
{
    out += L"&#";
    out += std::to_wstring(static_cast<unsigned>(c));
    out += L';';
}

// Attribute values take the five entities, and character references for the blanks and controls that a
// reader would otherwise normalise to spaces. Text content keeps its quotes, tabs and line feeds.
void AppendEscaped(std::wstring& out, std::wstring_view text, bool attribute)
{
    for (wchar_t c : text) {
        if (c == L'<')
            out += L"&lt;";
        else if (c == L'&')
            out += L"&amp;";
        else if (c == L'>')
            out += L"&gt;";
        else if (attribute && c == L'\'')
            out += L"&apos;";
        else if (attribute && c == L'"')
            out += L"&quot;";
        else if (c < 0x20 && (attribute || (c != L'\t' && c != L'\n')))
            AppendCharacterReference(out, c);
        else
            out += c;
    }
}

void AppendAttributes(std::wstring& out, const pugi::xml_node& node)
{
    for (const pugi::xml_attribute& attribute : node.attributes()) {
        out += L' ';
        out += Utf8ToWide(attribute.name());
        out += L"=\"";
        AppendEscaped(out, Utf8ToWide(attribute.value()), true);
        out += L'"';
    }
}

bool HasTextChild(const pugi::xml_node& node)
{
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            return true;
    }
    return false;
}

// Block nodes stand on their own line. An element that holds text keeps its content on one line, so
// no line break is added to the text.
void AppendNode(std::wstring& out, const pugi::xml_node& node, bool inLine)
{
    const std::wstring name = Utf8ToWide(node.name());
    const std::wstring value = Utf8ToWide(node.value());
    switch (node.type()) {
    case pugi::node_declaration:
        out += L"<?" + name;
        AppendAttributes(out, node);
        out += L"?>";
        break;
    case pugi::node_element: {
        out += L'<' + name;
        AppendAttributes(out, node);
        if (!node.first_child()) {
            out += L"/>";
            break;
        }
        out += L'>';
        const bool childrenInLine = inLine || HasTextChild(node);
        if (!childrenInLine)
            out += kLineEnd;
        for (const pugi::xml_node& child : node.children())
            AppendNode(out, child, childrenInLine);
        out += L"</" + name + L'>';
        break;
    }
    case pugi::node_pcdata:
        AppendEscaped(out, value, false);
        break;
    case pugi::node_cdata: {
        // "]]>" cannot stand inside a section: split it across two.
        std::wstring content = value;
        for (size_t at = content.find(L"]]>"); at != std::wstring::npos; at = content.find(L"]]>", at + 15))
            content.replace(at, 3, L"]]]]><![CDATA[>");
        out += L"<![CDATA[" + content + L"]]>";
        break;
    }
    case pugi::node_comment:
        out += L"<!--" + value + L"-->";
        break;
    case pugi::node_pi:
        out += L"<?" + name + (value.empty() ? L"" : L" " + value) + L"?>";
        break;
    case pugi::node_doctype:
        out += L"<!DOCTYPE " + value + L'>';
        break;
    default:
        return;
    }
    if (!inLine)
        out += kLineEnd;
}

// Reads a regular file of at most maxBytes whole. The size is looked at first; a file that grows while
// it is read is still cut off at the limit.
XmlLoadResult ReadWholeFile(const std::string& path, uint64_t maxBytes, std::string& bytes)
{
    // Non-blocking, so that a FIFO planted at the path cannot hold the open up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? XmlLoadResult::Missing : XmlLoadResult::Unreadable;
    struct stat st {};
    XmlLoadResult result = XmlLoadResult::Loaded;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        result = XmlLoadResult::Unreadable;
    else if (static_cast<uint64_t>(st.st_size) > maxBytes)
        result = XmlLoadResult::TooLarge;
    if (result == XmlLoadResult::Loaded) {
        bytes.reserve(static_cast<size_t>(st.st_size));
        char buffer[65536];
        while (true) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                result = XmlLoadResult::Unreadable;
                break;
            }
            if (got == 0)
                break;
            if (bytes.size() + static_cast<size_t>(got) > maxBytes) {
                result = XmlLoadResult::TooLarge;
                break;
            }
            bytes.append(buffer, static_cast<size_t>(got));
        }
    }
    ::close(fd);
    if (result != XmlLoadResult::Loaded)
        bytes.clear();
    return result;
}

} // namespace

struct XmlDocument::Impl {
    pugi::xml_document document;
    pugi::xml_node parent;  // the entered element; empty at the top level
    pugi::xml_node current; // the current element of that level; empty when there is none
    XmlByteOrderMark mark = XmlByteOrderMark::None;

    pugi::xml_node Level() const { return parent ? parent : static_cast<pugi::xml_node>(document); }

    int RootCount() const
    {
        int count = 0;
        for (const pugi::xml_node& node : document.children())
            count += node.type() == pugi::node_element;
        return count;
    }

    void Clear()
    {
        document.reset();
        parent = current = pugi::xml_node();
    }

    bool Parse(std::wstring_view text, bool rootRequired)
    {
        Clear();
        const std::string utf8 = WideToUtf8(text);
        const pugi::xml_parse_result result =
            document.load_buffer(utf8.data(), utf8.size(), kParseOptions, pugi::encoding_utf8);
        // pugixml reads "<a/><b/>" without complaint; a second root is our own check.
        const bool ok = (result.status == pugi::status_ok && RootCount() == 1) ||
                        (!rootRequired && result.status == pugi::status_no_document_element);
        if (!ok)
            Clear();
        return ok;
    }
};

XmlDocument::XmlDocument() : m_impl(std::make_unique<Impl>()) {}

XmlDocument::~XmlDocument() = default;

XmlLoadResult XmlDocument::LoadNativeFile(const NativeFilePath& path, uint64_t maxBytes)
{
    m_impl->Clear();
    m_impl->mark = XmlByteOrderMark::None;
    std::string bytes;
    const XmlLoadResult read = ReadWholeFile(path.Native(), maxBytes, bytes);
    if (read != XmlLoadResult::Loaded)
        return read;
    DecodedXml decoded = DecodeXmlBytes(bytes);
    if (!m_impl->Parse(decoded.text, true))
        return XmlLoadResult::NotWellFormed;
    m_impl->mark = decoded.mark;
    return XmlLoadResult::Loaded;
}

bool XmlDocument::LoadFile(const CString& path)
{
    return LoadNativeFile(NativeFilePath(NativePath(path)), kMaxInstallationXmlBytes) ==
           XmlLoadResult::Loaded;
}

bool XmlDocument::SetText(std::wstring_view text)
{
    m_impl->mark = XmlByteOrderMark::None;
    return m_impl->Parse(text, false);
}

CString XmlDocument::GetDocumentText() const
{
    std::wstring out;
    for (const pugi::xml_node& node : m_impl->document.children())
        AppendNode(out, node, false);
    return out;
}

std::optional<std::string> XmlDocument::GetEncodedText() const
{
    const std::wstring text = GetDocumentText();
    return EncodeXmlText(text, DeclaredEncoding(text), m_impl->mark);
}

bool XmlDocument::SaveFile(const CString& path) const
{
    const std::optional<std::string> bytes = GetEncodedText();
    if (!bytes)
        return false;
    std::FILE* file = std::fopen(NativePath(path).c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes->data(), 1, bytes->size(), file) == bytes->size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

bool XmlDocument::FindElement(std::wstring_view name)
{
    const std::string wanted = WideToUtf8(name);
    pugi::xml_node node = m_impl->current ? m_impl->current.next_sibling() : m_impl->Level().first_child();
    for (; node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && wanted == node.name()) {
            m_impl->current = node;
            return true;
        }
    }
    return false;
}

bool XmlDocument::EnterElement()
{
    if (!m_impl->current)
        return false;
    m_impl->parent = m_impl->current;
    m_impl->current = pugi::xml_node();
    return true;
}

bool XmlDocument::LeaveElement()
{
    if (!m_impl->parent)
        return false;
    m_impl->current = m_impl->parent;
    const pugi::xml_node above = m_impl->parent.parent();
    m_impl->parent = above.type() == pugi::node_element ? above : pugi::xml_node();
    return true;
}

CString XmlDocument::GetAttribute(std::wstring_view name) const
{
    if (!m_impl->current)
        return {};
    return Utf8ToWide(m_impl->current.attribute(WideToUtf8(name).c_str()).value());
}

bool XmlDocument::AddElement(std::wstring_view name)
{
    if (!IsXmlName(name))
        return false;
    if (!m_impl->parent && m_impl->RootCount() > 0)
        return false;
    pugi::xml_node level = m_impl->Level();
    pugi::xml_node added = m_impl->current ? level.insert_child_after(pugi::node_element, m_impl->current)
                                           : level.append_child(pugi::node_element);
    if (!added)
        return false;
    added.set_name(WideToUtf8(name).c_str());
    m_impl->current = added;
    return true;
}

bool XmlDocument::SetAttribute(std::wstring_view name, std::wstring_view value)
{
    if (!m_impl->current || !IsXmlName(name))
        return false;
    const std::string key = WideToUtf8(name);
    pugi::xml_attribute attribute = m_impl->current.attribute(key.c_str());
    if (!attribute)
        attribute = m_impl->current.append_attribute(key.c_str());
    return attribute.set_value(WideToUtf8(value).c_str());
}

bool XmlDocument::SetAttribute(std::wstring_view name, int value)
{
    return SetAttribute(name, std::to_wstring(value));
}
