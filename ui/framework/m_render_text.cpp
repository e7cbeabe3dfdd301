// MRender's text: layout, drawing and measuring with pango on the library's font configuration.

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <pango/pangocairo.h>

#include "ui/framework/font_collection.h"
#include "ui/framework/m_render.h"

namespace {

cairo_font_options_t* OptionsFor(TextRenderingHint hint)
{
    cairo_font_options_t* options = cairo_font_options_create();
    switch (hint) {
    case TextRenderingHintSingleBitPerPixelGridFit:
    case TextRenderingHintSingleBitPerPixel:
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
        break;
    case TextRenderingHintAntiAlias:
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        break;
    default:
        // Grid-fitted anti-aliasing. Subpixel colour fringes would be wrong on surfaces that are later
        // blended or shown with per-pixel alpha, so grey anti-aliasing stands in for ClearType.
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        break;
    }
    return options;
}

PangoFontDescription* DescriptionFor(const CString& family, double sizePx, int style)
{
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, WideToUtf8(family).c_str());
    pango_font_description_set_absolute_size(desc, std::max(sizePx, 1.0) * PANGO_SCALE);
    pango_font_description_set_weight(desc,
                                      (style & FontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(desc,
                                     (style & FontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return desc;
}

// A layout of the text in the shared context; the caller holds the font configuration's lock.
class Layout {
public:
    Layout(const CString& family, double sizePx, int style, const CString& text, TextRenderingHint hint)
    {
        PangoContext* context = FontConfiguration::Context();
        cairo_font_options_t* options = OptionsFor(hint);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        m_layout = pango_layout_new(context);
        m_desc = DescriptionFor(family, sizePx, style);
        pango_layout_set_font_description(m_layout, m_desc);
        if (style & (FontStyleUnderline | FontStyleStrikeout)) {
            PangoAttrList* attrs = pango_attr_list_new();
            if (style & FontStyleUnderline)
                pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
            if (style & FontStyleStrikeout)
                pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
            pango_layout_set_attributes(m_layout, attrs);
            pango_attr_list_unref(attrs);
        }
        const std::string utf8 = WideToUtf8(text);
        pango_layout_set_text(m_layout, utf8.c_str(), static_cast<int>(utf8.size()));
    }
    ~Layout()
    {
        g_object_unref(m_layout);
        pango_font_description_free(m_desc);
    }
    Layout(const Layout&) = delete;
    Layout& operator=(const Layout&) = delete;

    PangoLayout* get() const { return m_layout; }
    const PangoFontDescription* Description() const { return m_desc; }

    void Wrap(int width, bool wrap, bool ellipsis)
    {
        if (wrap && width > 0) {
            pango_layout_set_width(m_layout, width * PANGO_SCALE);
            pango_layout_set_wrap(m_layout, PANGO_WRAP_WORD_CHAR);
        } else if (ellipsis && width > 0) {
            pango_layout_set_width(m_layout, width * PANGO_SCALE);
            pango_layout_set_ellipsize(m_layout, PANGO_ELLIPSIZE_END);
        }
    }

    void Align(StringAlignment alignment)
    {
        pango_layout_set_alignment(m_layout, alignment == StringAlignmentCenter ? PANGO_ALIGN_CENTER
                                             : alignment == StringAlignmentFar  ? PANGO_ALIGN_RIGHT
                                                                                : PANGO_ALIGN_LEFT);
    }

    // Draws the layout in a rectangle, aligned inside it (horizontally by the layout's own alignment when it
    // has a width, else here) and clipped to it.
    void Show(Graphics* g, const CRect& rect, StringAlignment horizontal, StringAlignment vertical,
              ARGB colour)
    {
        PangoRectangle logical;
        pango_layout_get_pixel_extents(m_layout, nullptr, &logical);
        double x = rect.left;
        if (pango_layout_get_width(m_layout) < 0) {
            if (horizontal == StringAlignmentCenter)
                x += (rect.Width() - logical.width) / 2.0;
            else if (horizontal == StringAlignmentFar)
                x += rect.Width() - logical.width;
        }
        double y = rect.top;
        if (vertical == StringAlignmentCenter)
            y += (rect.Height() - logical.height) / 2.0;
        else if (vertical == StringAlignmentFar)
            y += rect.Height() - logical.height;
        cairo_save(g);
        cairo_rectangle(g, rect.left, rect.top, rect.Width(), rect.Height());
        cairo_clip(g);
        SetSourceARGB(g, colour);
        cairo_move_to(g, std::round(x), std::round(y));
        pango_cairo_update_context(g, pango_layout_get_context(m_layout));
        pango_layout_context_changed(m_layout);
        pango_cairo_show_layout(g, m_layout);
        cairo_restore(g);
    }

private:
    PangoLayout* m_layout = nullptr;
    PangoFontDescription* m_desc = nullptr;
};

CString FamilyOrDefault(const CString& family)
{
    return family.empty() ? CString(L"Arial") : family;
}

} // namespace

void MRender::DrawString(Graphics* g, const CString& text, const TextFont& font, const CRect& layout,
                         const StringFormat& format, ARGB colour, TextRenderingHint hint)
{
    if (!g || text.empty() || layout.IsRectEmpty() || (colour >> 24) == 0)
        return;
    auto lock = FontConfiguration::Lock();
    Layout l(FamilyOrDefault(font.family), font.size, font.style, text, hint);
    l.Wrap(layout.Width(), !(format.flags & StringFormatFlagsNoWrap), format.ellipsis);
    l.Align(format.alignment);
    l.Show(g, layout, format.alignment, format.lineAlignment, colour);
}

void MRender::DrawMarkedString(Graphics* g, const CString& text, const TextFont& font, const CRect& layout,
                               const StringFormat& format, ARGB colour, size_t markStart, size_t markLength,
                               ARGB markColour, TextRenderingHint hint)
{
    if (markStart >= text.size() || markLength == 0) {
        DrawString(g, text, font, layout, format, colour, hint);
        return;
    }
    if (!g || text.empty() || layout.IsRectEmpty())
        return;
    markLength = std::min(markLength, text.size() - markStart);
    auto lock = FontConfiguration::Lock();
    Layout l(FamilyOrDefault(font.family), font.size, font.style, text, hint);
    // Pango counts bytes of the UTF-8 text.
    const auto start = static_cast<guint>(WideToUtf8(text.substr(0, markStart)).size());
    const auto end = start + static_cast<guint>(WideToUtf8(text.substr(markStart, markLength)).size());
    auto channel = [](ARGB c, int shift) { return static_cast<guint16>(((c >> shift) & 0xFF) * 257); };
    PangoAttrList* attrs = pango_layout_get_attributes(l.get());
    attrs = attrs ? pango_attr_list_copy(attrs) : pango_attr_list_new();
    PangoAttribute* fg =
        pango_attr_foreground_new(channel(markColour, 16), channel(markColour, 8), channel(markColour, 0));
    PangoAttribute* alpha = pango_attr_foreground_alpha_new(channel(markColour, 24));
    for (PangoAttribute* a : {fg, alpha}) {
        a->start_index = start;
        a->end_index = end;
        pango_attr_list_insert(attrs, a);
    }
    pango_layout_set_attributes(l.get(), attrs);
    pango_attr_list_unref(attrs);
    l.Wrap(layout.Width(), !(format.flags & StringFormatFlagsNoWrap), format.ellipsis);
    l.Align(format.alignment);
    l.Show(g, layout, format.alignment, format.lineAlignment, colour);
}

void MRender::DrawTextW(HDC dest, CRect& rect, const wchar_t* text, COLORREF colour, HFONT font,
                        unsigned format)
{
    if (!text || !*text)
        return;
    const LogicalFont fallback;
    const LogicalFont& f = font ? *font : fallback;
    int style = FontStyleRegular;
    if (f.weight >= 600)
        style |= FontStyleBold;
    if (f.italic)
        style |= FontStyleItalic;
    if (f.underline)
        style |= FontStyleUnderline;
    auto lock = FontConfiguration::Lock();
    Layout l(FamilyOrDefault(f.faceName), std::abs(f.height), style, text, TextRenderingHintClearTypeGridFit);
    const bool single = (format & DT_SINGLELINE) != 0;
    l.Wrap(rect.Width(), !single && (format & DT_WORDBREAK), (format & DT_END_ELLIPSIS) != 0);
    if (single)
        pango_layout_set_single_paragraph_mode(l.get(), TRUE);
    const StringAlignment horizontal = (format & DT_CENTER)  ? StringAlignmentCenter
                                       : (format & DT_RIGHT) ? StringAlignmentFar
                                                             : StringAlignmentNear;
    StringAlignment vertical = StringAlignmentNear;
    if (single && (format & DT_VCENTER))
        vertical = StringAlignmentCenter;
    else if (single && (format & DT_BOTTOM))
        vertical = StringAlignmentFar;
    l.Align(horizontal);
    if (format & DT_CALCRECT) {
        PangoRectangle logical;
        pango_layout_get_pixel_extents(l.get(), nullptr, &logical);
        rect.right = rect.left + logical.width;
        rect.bottom = rect.top + logical.height;
        return;
    }
    if (!dest || !dest->IsValid())
        return;
    GraphicsOn g(*dest);
    l.Show(g, rect, horizontal, vertical, ColorRefToARGB(colour));
}

CSize MRender::GetTextBounds(const TextFont& font, const CString& text)
{
    StringFormat format;
    format.flags = StringFormatFlagsNoWrap | StringFormatFlagsMeasureTrailingSpaces;
    return GetTextBounds(font, format, 0, text);
}

CSize MRender::GetTextBounds(const TextFont& font, const StringFormat& format, const CString& text)
{
    return GetTextBounds(font, format, 0, text);
}

CSize MRender::GetTextBounds(const TextFont& font, const StringFormat& format, int maxWidth,
                             const CString& text)
{
    auto lock = FontConfiguration::Lock();
    Layout l(FamilyOrDefault(font.family), font.size, font.style, text, TextRenderingHintAntiAlias);
    l.Wrap(maxWidth, maxWidth > 0 && !(format.flags & StringFormatFlagsNoWrap), false);
    PangoRectangle ink;
    pango_layout_get_extents(l.get(), &ink, nullptr);
    const double inkWidth = text.empty() ? 0.0 : static_cast<double>(ink.width) / PANGO_SCALE;
    PangoFontMetrics* metrics =
        pango_context_get_metrics(pango_layout_get_context(l.get()), l.Description(), nullptr);
    const double lineHeight = static_cast<double>(pango_font_metrics_get_height(metrics)) / PANGO_SCALE;
    pango_font_metrics_unref(metrics);
    const double whole = std::floor(lineHeight);
    const int height = static_cast<int>(whole) + (lineHeight != whole ? 4 : 1);
    return {static_cast<int>(std::ceil(inkWidth)), height};
}

CSize MRender::MeasureString(const TextFont& font, const CString& text, int maxWidth)
{
    if (text.empty())
        return {};
    auto lock = FontConfiguration::Lock();
    Layout l(FamilyOrDefault(font.family), font.size, font.style, text, TextRenderingHintClearTypeGridFit);
    l.Wrap(maxWidth, maxWidth > 0, false);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(l.get(), nullptr, &logical);
    return {logical.width, logical.height};
}
