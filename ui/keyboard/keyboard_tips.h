#pragma once
// CKeyboardTips: the bubble the keyboard view shows over a key: a title and two lines of text, centred
// and not wrapped, on a skinned background. A real popup window owned by the view's window: a tool
// window placed by us (override-redirect on X11), shown without activation and transparent to the
// pointer, so it never takes the focus or the hover from the view beneath.
//
// SetAirBladderMsg places it 190 × 100 with its anchor in the middle of its bottom edge, moved inside
// the work area of the monitor nearest the anchor; showing and hiding are the caller's.

#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/font_collection.h"
#include "ui/framework/m_window.h"
#include "ui/framework/render_types.h"
#include "ui/framework/surface.h"

class CKeyboardTips : public MWindow {
public:
    static constexpr int kWidth = 190;
    static constexpr int kHeight = 100;
    // Nine-slice corner of the background picture, and the corner rounding of the window's shape.
    static constexpr int kBackCorner = 6;
    static constexpr int kShapeCorner = 3;
    static constexpr ARGB kTitleColour = 0xFFC8C8C8;
    static constexpr ARGB kLineColour = 0xFFFFFFFF;
    static constexpr float kTextSize = 14.0f;
    static constexpr float kLine2Size = 18.0f;

    CKeyboardTips();

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Takes the library's embedded font for its texts.
    int OnInitDialog() override;

    // Stores the texts and anchor (a screen point); with a title, the window moves there and repaints.
    // The same texts and anchor again change nothing. Always 1.
    int SetAirBladderMsg(const wchar_t* title, const wchar_t* line1, const wchar_t* line2, CPoint anchor);
    // The background: a skin picture, or a picture resource of the program's module; 1 when it loads.
    int LoadBKImage(const CString& file);
    int LoadBKImage(unsigned resId, const CString& type);
    // BACK_MODE_FRAME (the default) nine-slices the picture over the window; BACK_MODE_NORMAL draws it
    // at its natural size. The parameter is kept with the mode.
    void SetBackMode(enumBackMode mode, int param);
    // Posts a close request.
    void CloseWindow();

    const CString& GetTitle() const { return m_title; }
    const CString& GetLine1() const { return m_line1; }
    const CString& GetLine2() const { return m_line2; }
    CPoint GetAnchor() const { return m_anchor; }
    enumBackMode GetBackMode() const { return m_backMode; }
    int GetBackModeParam() const { return m_backParam; }
    const CString& GetFontFamilyName() const { return m_family; }
    bool HasBackImage() const { return m_back != nullptr; }
    int PaintCount() const { return m_paints; }
    // Where a tip for this anchor goes (screen coordinates), inside workArea.
    static CRect PlaceFor(CPoint anchor, const CRect& workArea);

private:
    void Paint();

    CString m_title;
    CString m_line1;
    CString m_line2;
    CPoint m_anchor;
    FontCollection m_fonts;
    CString m_family;
    ImagePtr m_back;
    enumBackMode m_backMode = BACK_MODE_FRAME;
    int m_backParam = 18;
    Surface m_surface;
    int m_paints = 0;
};
