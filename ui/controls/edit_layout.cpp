#include "ui/controls/edit_layout.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <pango/pangocairo.h>

#include "ui/framework/font_collection.h"
#include "ui/framework/m_render.h"

namespace {

PangoFontDescription* Describe(const CString& family, double sizePx, int style)
{
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, WideToUtf8(family.empty() ? CString(L"Sans") : family).c_str());
    pango_font_description_set_absolute_size(desc, std::max(sizePx, 1.0) * PANGO_SCALE);
    pango_font_description_set_weight(desc,
                                      (style & FontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(desc,
                                     (style & FontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return desc;
}

int ToPixels(int pangoUnits)
{
    return static_cast<int>(std::lround(static_cast<double>(pangoUnits) / PANGO_SCALE));
}

} // namespace

struct EditLayout::Impl {
    PangoLayout* layout = nullptr;
    std::vector<int> byteOf; // byte offset of each character index, and of the end
    std::unique_lock<std::recursive_mutex> lock;

    int ByteIndex(size_t index) const { return byteOf[std::min(index, byteOf.size() - 1)]; }
    size_t CharIndex(int byte) const
    {
        const auto it = std::lower_bound(byteOf.begin(), byteOf.end(), byte);
        return static_cast<size_t>(it - byteOf.begin());
    }
    // The line holding a byte index and its number.
    PangoLayoutLine* LineOf(int byte, int* number) const
    {
        int line = 0;
        int x = 0;
        pango_layout_index_to_line_x(layout, byte, FALSE, &line, &x);
        if (number)
            *number = line;
        return pango_layout_get_line_readonly(layout, line);
    }
};

EditLayout::EditLayout(const CString& text, const TextFont& font, int wrapWidth)
    : m_impl(std::make_unique<Impl>())
{
    // The text context is shared by every layout of the process; it is held for this layout's life.
    m_impl->lock = FontConfiguration::Lock();
    PangoContext* context = FontConfiguration::Context();
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    m_impl->layout = pango_layout_new(context);
    PangoFontDescription* desc = Describe(font.family, font.size, font.style);
    pango_layout_set_font_description(m_impl->layout, desc);
    pango_font_description_free(desc);
    if (font.style & FontStyleUnderline) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(m_impl->layout, attrs);
        pango_attr_list_unref(attrs);
    }
    if (wrapWidth > 0) {
        pango_layout_set_width(m_impl->layout, wrapWidth * PANGO_SCALE);
        pango_layout_set_wrap(m_impl->layout, PANGO_WRAP_WORD_CHAR);
    } else {
        pango_layout_set_single_paragraph_mode(m_impl->layout, TRUE);
    }
    std::string utf8;
    m_impl->byteOf.reserve(text.size() + 1);
    for (wchar_t c : text) {
        m_impl->byteOf.push_back(static_cast<int>(utf8.size()));
        utf8 += WideToUtf8(std::wstring_view(&c, 1));
    }
    m_impl->byteOf.push_back(static_cast<int>(utf8.size()));
    pango_layout_set_text(m_impl->layout, utf8.c_str(), static_cast<int>(utf8.size()));
}

EditLayout::~EditLayout()
{
    g_object_unref(m_impl->layout);
}

CSize EditLayout::Size() const
{
    PangoRectangle logical;
    pango_layout_get_pixel_extents(m_impl->layout, nullptr, &logical);
    return {logical.width, logical.height};
}

CRect EditLayout::CaretRect(size_t index) const
{
    PangoRectangle strong;
    pango_layout_get_cursor_pos(m_impl->layout, m_impl->ByteIndex(index), &strong, nullptr);
    const int x = ToPixels(strong.x);
    const int y = ToPixels(strong.y);
    return {x, y, x + 1, y + std::max(ToPixels(strong.height), 1)};
}

size_t EditLayout::HitTest(CPoint point) const
{
    int byte = 0;
    int trailing = 0;
    pango_layout_xy_to_index(m_impl->layout, point.x * PANGO_SCALE, point.y * PANGO_SCALE, &byte, &trailing);
    return m_impl->CharIndex(byte) + static_cast<size_t>(trailing);
}

std::vector<CRect> EditLayout::RangeRects(size_t start, size_t end) const
{
    std::vector<CRect> rects;
    if (start >= end)
        return rects;
    const int from = m_impl->ByteIndex(start);
    const int to = m_impl->ByteIndex(end);
    PangoLayoutIter* iter = pango_layout_get_iter(m_impl->layout);
    do {
        PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
        const int lineStart = line->start_index;
        const int lineEnd = line->start_index + line->length;
        if (to < lineStart || from > lineEnd)
            continue;
        int yTop = 0;
        int yBottom = 0;
        pango_layout_iter_get_line_yrange(iter, &yTop, &yBottom);
        PangoRectangle lineRect;
        pango_layout_iter_get_line_extents(iter, nullptr, &lineRect);
        int* ranges = nullptr;
        int count = 0;
        pango_layout_line_get_x_ranges(line, std::max(from, lineStart), std::min(to, lineEnd), &ranges,
                                       &count);
        for (int i = 0; i < count; ++i) {
            const int left = ToPixels(lineRect.x + ranges[2 * i]);
            const int right = ToPixels(lineRect.x + ranges[2 * i + 1]);
            if (right > left)
                rects.emplace_back(left, ToPixels(yTop), right, ToPixels(yBottom));
        }
        g_free(ranges);
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    return rects;
}

size_t EditLayout::LineStart(size_t index) const
{
    const PangoLayoutLine* line = m_impl->LineOf(m_impl->ByteIndex(index), nullptr);
    return line ? m_impl->CharIndex(line->start_index) : 0;
}

size_t EditLayout::LineEnd(size_t index) const
{
    const PangoLayoutLine* line = m_impl->LineOf(m_impl->ByteIndex(index), nullptr);
    if (!line)
        return index;
    size_t end = m_impl->CharIndex(line->start_index + line->length);
    // A wrapped line ends before the space it broke at; a paragraph's line before its line break.
    const char* text = pango_layout_get_text(m_impl->layout);
    const int endByte = m_impl->ByteIndex(end);
    if (end > m_impl->CharIndex(line->start_index) && endByte > 0 &&
        (text[endByte - 1] == '\n' || (text[endByte - 1] == ' ' && text[endByte] != '\0')))
        --end;
    return end;
}

size_t EditLayout::LineMove(size_t index, int lines, int x) const
{
    int number = 0;
    m_impl->LineOf(m_impl->ByteIndex(index), &number);
    const int target = number + lines;
    if (target < 0 || target >= pango_layout_get_line_count(m_impl->layout))
        return index;
    PangoLayoutLine* line = pango_layout_get_line_readonly(m_impl->layout, target);
    PangoRectangle lineRect;
    pango_layout_line_get_extents(line, nullptr, &lineRect);
    int byte = 0;
    int trailing = 0;
    pango_layout_line_x_to_index(line, x * PANGO_SCALE - lineRect.x, &byte, &trailing);
    size_t moved = m_impl->CharIndex(byte) + static_cast<size_t>(trailing);
    // Past the end of a line that breaks: stay on that line.
    const size_t lineEnd = LineEnd(m_impl->CharIndex(line->start_index));
    if (moved > lineEnd && target + 1 < pango_layout_get_line_count(m_impl->layout))
        moved = lineEnd;
    return moved;
}

void EditLayout::Draw(Graphics* g, CPoint origin, ARGB colour) const
{
    if (!g)
        return;
    cairo_save(g);
    SetSourceARGB(g, colour);
    cairo_move_to(g, origin.x, origin.y);
    pango_cairo_update_context(g, pango_layout_get_context(m_impl->layout));
    pango_layout_context_changed(m_impl->layout);
    pango_cairo_show_layout(g, m_impl->layout);
    cairo_restore(g);
}

float EditLayout::EmSizeForCellHeight(const CString& family, int cellHeight, int style)
{
    constexpr double kProbePx = 100.0;
    auto lock = FontConfiguration::Lock();
    PangoFontDescription* desc = Describe(family, kProbePx, style);
    PangoFontMetrics* metrics = pango_context_get_metrics(FontConfiguration::Context(), desc, nullptr);
    const double line = static_cast<double>(pango_font_metrics_get_ascent(metrics) +
                                            pango_font_metrics_get_descent(metrics)) /
                        PANGO_SCALE;
    pango_font_metrics_unref(metrics);
    pango_font_description_free(desc);
    if (line <= 0)
        return static_cast<float>(cellHeight);
    return static_cast<float>(cellHeight * kProbePx / line);
}
