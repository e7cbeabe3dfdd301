#pragma once
// The laid-out text of an editor: where each character index sits (caret, selection, line of a click)
// and how the text is drawn. One line without wrapping, or wrapped at a width for several lines.
// Character indexes are those of the text laid out (one per code point); coordinates are relative to
// the layout's top-left corner.

#include <memory>
#include <vector>

#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/render_types.h"

class EditLayout {
public:
    // wrapWidth > 0 wraps the text at that width (several lines); 0 keeps it on one line.
    EditLayout(const CString& text, const TextFont& font, int wrapWidth);
    ~EditLayout();
    EditLayout(const EditLayout&) = delete;
    EditLayout& operator=(const EditLayout&) = delete;

    // The logical extent of all lines (one empty line has the font's line height).
    CSize Size() const;
    // The caret before character index at (x, top) with the line's height.
    CRect CaretRect(size_t index) const;
    // The character index nearest a point (the trailing side of a glyph counts as after it).
    size_t HitTest(CPoint point) const;
    // The rectangles that cover characters [start, end), one or more per line.
    std::vector<CRect> RangeRects(size_t start, size_t end) const;
    // The first index of the visual line holding index, and the index just past its last character.
    size_t LineStart(size_t index) const;
    size_t LineEnd(size_t index) const;
    // The index on the line `lines` below (above, when negative) nearest x; the same index when there
    // is no such line.
    size_t LineMove(size_t index, int lines, int x) const;
    // Draws the text with its top-left corner at origin.
    void Draw(Graphics* g, CPoint origin, ARGB colour) const;

    // The pixel size of the font whose line (ascent + descent) is cellHeight high, as a logical font's
    // positive height means.
    static float EmSizeForCellHeight(const CString& family, int cellHeight, int style);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
