#pragma once
// The text of an in-place editor with its caret and selection, and the rules its options put on edits:
// a length limit, digits only, read-only, one line or several. Positions are character indexes from 0 to
// the length (a wchar_t holds a whole code point here). Every edit replaces the selection; a change that
// the rules refuse leaves text, caret and selection as they were.

#include <cstddef>

#include "core/wide_text.h"

class EditText {
public:
    // What a limit of 0 or less means: the largest text an editor takes.
    static constexpr size_t kDefaultLimit = 32767;

    void SetText(const CString& text);
    const CString& Text() const { return m_text; }
    size_t Length() const { return m_text.size(); }

    // --- Options ---
    // At most this many characters can be typed or pasted (0 or less: the default); a longer text set
    // with SetText stays as it is.
    void SetLimit(int limit);
    size_t Limit() const { return m_limit; }
    void SetNumberOnly(bool on) { m_numberOnly = on; }
    bool IsNumberOnly() const { return m_numberOnly; }
    void SetReadOnly(bool on) { m_readOnly = on; }
    bool IsReadOnly() const { return m_readOnly; }
    // Several lines: Enter starts a new line and pasted line breaks stay.
    void SetMultiLine(bool on) { m_multiLine = on; }
    bool IsMultiLine() const { return m_multiLine; }

    // --- Caret and selection ---
    size_t Caret() const { return m_caret; }
    size_t Anchor() const { return m_anchor; }
    bool HasSelection() const { return m_caret != m_anchor; }
    size_t SelectionStart() const;
    size_t SelectionEnd() const;
    CString SelectedText() const;
    // Both clamped to the text.
    void Select(size_t anchor, size_t caret);
    void SelectAll() { Select(0, m_text.size()); }
    // The caret to pos; with extend the anchor stays, so the selection grows or shrinks.
    void MoveTo(size_t pos, bool extend);
    // Where Ctrl+Left / Ctrl+Right go from pos: the start of the word before, the start of the next word.
    size_t WordBefore(size_t pos) const;
    size_t WordAfter(size_t pos) const;
    // The word (or run of other characters) around pos, as a double click selects it.
    void SelectWordAt(size_t pos);

    // --- Edits: true when the text changed ---
    // Replaces the selection with what the rules let through: control characters go (line breaks stay
    // in a multi-line text, as "\n"; a one-line text takes the first line only), digits only when so
    // set, and no more than the limit leaves room for. Input of which nothing passes changes nothing.
    bool Insert(const CString& text);
    // Deletes the selection, else the character (word) before / after the caret.
    bool Backspace(bool word);
    bool Delete(bool word);
    bool DeleteSelection();

private:
    CString Filter(const CString& text) const;

    CString m_text;
    size_t m_caret = 0;
    size_t m_anchor = 0;
    size_t m_limit = kDefaultLimit;
    bool m_numberOnly = false;
    bool m_readOnly = false;
    bool m_multiLine = false;
};
