#pragma once
// MControlFont: the text and picture attributes nearly every visible control has: a title, a font (the
// library-wide family at the control's own size and style), a text colour, alignment, a text rendering
// hint, and an image strip from the paint manager's image cache with its frame size and count.
//
// Helpers for concrete controls: DrawFont() and TitleFormat() give what DrawString needs, DrawTitle()
// draws the title in a rectangle, DrawImageFrameAt() draws one frame of the strip.

#include <memory>

#include "ui/framework/m_control.h"
#include "ui/framework/render_types.h"

struct ImgResInfo;

class MControlFont : public MControl {
public:
    MControlFont(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled,
                 int response);
    ~MControlFont() override;

    // --- Virtual additions ---
    virtual void SetTextFont(CString name);
    virtual void SetTextColor(ARGB colour);
    // A picture resource of the program's module, cut into count frames; 1 when it loads.
    virtual int SetImage(unsigned resId, CString type, int count);
    // A skin file cut into count frames; 1 when it loads (the cache keeps the first count asked for).
    virtual int SetImage(const wchar_t* file, int count);
    virtual void SetControlTitle(const wchar_t* title);
    virtual CString GetControlTitle();

    // --- Title, alignment, font ---
    // Drops the cached logical font, stores the title and asks for a repaint when visible.
    void SetTitle(const wchar_t* title);
    const CString& GetTitle() const { return m_title; }
    // Horizontal 0 left, 1 centre, 2 right; vertical 0 top, 4 centre, 8 bottom. Each asks for a repaint
    // only when the value changes and the control is visible.
    void SetAlignment(int h);
    void SetVAlignment(int v);
    void SetAlignment(int h, int v);
    void GetAlignment(int& h, int& v) const;
    void SetFont(const wchar_t* name, int size, FontStyle style);
    void SetFontStyle(int style);
    int GetFontStyle() const { return m_fontStyle; }
    int GetFontSize() const { return m_fontSize; }
    const CString& GetTextFont() const { return m_fontName; }
    ARGB GetTextColor() const { return m_textColor; }
    // The family text is drawn with: the paint manager's lookup of the library-wide family.
    const FontFamily* GetFontFamily(const wchar_t* name = nullptr);
    // The logical font for plain text calls: library-wide face, height −size, bold, italic, underline.
    HFONT GetGDIFont();
    void ClearGDIFont();
    void SetTextRenderingHint(TextRenderingHint hint) { m_hint = hint; }
    TextRenderingHint GetTextRenderingHint() const { return m_hint; }

    // --- Image strip ---
    void SetImageCount(int count);
    int GetImageCount() const { return m_imageCount; }
    // One frame's size.
    CSize GetImageSize() const { return {m_imageWidth, m_imageHeight}; }
    CString GetImagePath() const { return m_imagePath; }
    const ImagePtr& GetImage() const { return m_image; }

    // --- Drawing helpers ---
    TextFont DrawFont();
    StringFormat TitleFormat() const;
    void DrawTitle(Graphics* g, const CRect& rect);
    // Frame `frame` of the strip stretched into dest.
    void DrawImageFrameAt(Graphics* g, int frame, const CRect& dest) const;

protected:
    bool TakeImage(const ImgResInfo* info);

    CString m_title;
    CString m_fontName;
    int m_fontSize;
    ARGB m_textColor = 0xFFFFFFFF;
    int m_fontStyle = FontStyleRegular;
    CString m_fontFamily; // resolved family name, empty until looked up
    int m_hAlign = 0;
    int m_vAlign = 4;
    TextRenderingHint m_hint = TextRenderingHintClearTypeGridFit;
    std::unique_ptr<LogicalFont> m_gdiFont;
    ImagePtr m_image;
    CString m_imagePath;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    int m_imageCount = 4;
};
