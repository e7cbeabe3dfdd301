#include "ui/controls/edit_text.h"

#include <algorithm>
#include <cwctype>

namespace {

bool IsWordChar(wchar_t c)
{
    return std::iswalnum(static_cast<wint_t>(c)) || c == L'_';
}

bool IsSpace(wchar_t c)
{
    return std::iswspace(static_cast<wint_t>(c)) != 0;
}

} // namespace

void EditText::SetText(const CString& text)
{
    m_text = text;
    m_caret = m_anchor = m_text.size();
}

void EditText::SetLimit(int limit)
{
    m_limit = limit > 0 ? static_cast<size_t>(limit) : kDefaultLimit;
}

size_t EditText::SelectionStart() const
{
    return std::min(m_caret, m_anchor);
}

size_t EditText::SelectionEnd() const
{
    return std::max(m_caret, m_anchor);
}

CString EditText::SelectedText() const
{
    return m_text.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

void EditText::Select(size_t anchor, size_t caret)
{
    m_anchor = std::min(anchor, m_text.size());
    m_caret = std::min(caret, m_text.size());
}

void EditText::MoveTo(size_t pos, bool extend)
{
    m_caret = std::min(pos, m_text.size());
    if (!extend)
        m_anchor = m_caret;
}

size_t EditText::WordBefore(size_t pos) const
{
    pos = std::min(pos, m_text.size());
    while (pos > 0 && IsSpace(m_text[pos - 1]))
        --pos;
    if (pos > 0 && IsWordChar(m_text[pos - 1])) {
        while (pos > 0 && IsWordChar(m_text[pos - 1]))
            --pos;
    } else {
        while (pos > 0 && !IsWordChar(m_text[pos - 1]) && !IsSpace(m_text[pos - 1]))
            --pos;
    }
    return pos;
}

size_t EditText::WordAfter(size_t pos) const
{
    const size_t n = m_text.size();
    pos = std::min(pos, n);
    if (pos < n && IsWordChar(m_text[pos])) {
        while (pos < n && IsWordChar(m_text[pos]))
            ++pos;
    } else {
        while (pos < n && !IsWordChar(m_text[pos]) && !IsSpace(m_text[pos]))
            ++pos;
    }
    while (pos < n && IsSpace(m_text[pos]))
        ++pos;
    return pos;
}

void EditText::SelectWordAt(size_t pos)
{
    const size_t n = m_text.size();
    pos = std::min(pos, n);
    if (n == 0)
        return;
    // A click just after a word's last character takes that word.
    const size_t at = (pos == n || (pos > 0 && !IsWordChar(m_text[pos]) && IsWordChar(m_text[pos - 1])))
                          ? (pos > 0 ? pos - 1 : 0)
                          : pos;
    const bool word = IsWordChar(m_text[at]);
    auto same = [&](wchar_t c) { return word ? IsWordChar(c) : (!IsWordChar(c) && c != L'\n'); };
    size_t start = at;
    size_t end = at;
    while (start > 0 && same(m_text[start - 1]))
        --start;
    while (end < n && same(m_text[end]))
        ++end;
    Select(start, end);
}

CString EditText::Filter(const CString& text) const
{
    CString out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            if (!m_multiLine)
                break;
            // "\r\n" and a lone "\r" are one line break each.
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
            if (!m_numberOnly)
                out += L'\n';
            continue;
        }
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
            continue;
        if (m_numberOnly && (c < L'0' || c > L'9'))
            continue;
        out += c;
    }
    return out;
}

bool EditText::Insert(const CString& text)
{
    if (m_readOnly)
        return false;
    CString add = Filter(text);
    // Input refused whole (a letter in a digits-only field) leaves the selection where it was.
    if (add.empty() && !text.empty())
        return false;
    const size_t start = SelectionStart();
    const size_t end = SelectionEnd();
    const size_t kept = m_text.size() - (end - start);
    const size_t room = kept < m_limit ? m_limit - kept : 0;
    if (add.size() > room)
        add.resize(room);
    if (add.empty() && start == end)
        return false;
    m_text.replace(start, end - start, add);
    m_caret = m_anchor = start + add.size();
    return true;
}

bool EditText::DeleteSelection()
{
    if (m_readOnly || !HasSelection())
        return false;
    const size_t start = SelectionStart();
    m_text.erase(start, SelectionEnd() - start);
    m_caret = m_anchor = start;
    return true;
}

bool EditText::Backspace(bool word)
{
    if (m_readOnly)
        return false;
    if (HasSelection())
        return DeleteSelection();
    if (m_caret == 0)
        return false;
    m_anchor = word ? WordBefore(m_caret) : m_caret - 1;
    return DeleteSelection();
}

bool EditText::Delete(bool word)
{
    if (m_readOnly)
        return false;
    if (HasSelection())
        return DeleteSelection();
    if (m_caret >= m_text.size())
        return false;
    m_anchor = word ? WordAfter(m_caret) : m_caret + 1;
    return DeleteSelection();
}
