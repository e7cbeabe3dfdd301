#pragma once
// The message bubble of a window ("AirBladder Window"): a topmost popup with a skinned background
// ("img_tip_bk.png", nine-sliced) and an arrow picture on the side that points at its anchor, showing a
// multi-line text in the library's font at 14 pixels. It sizes itself to the text and hides after
// 5000 ms unless its type is AIRBLADDER_STAY. A request equal to the one showing changes nothing.
//
// PaintBubbleBody is the bubble drawing shared with the keyboard view's key tips.
//
// FIXME: the loading window (LoadingWnd: "logo\logo_loading.png", "loading\loading.gif" and a close
// button) is not built; no window of the program uses it.

#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/m_window.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/render_types.h"
#include "ui/framework/surface.h"

struct ImgResInfo;

// Draws a bubble's body: the background picture nine-sliced with the given corner over rect, or, without
// a picture, a dark rounded rectangle.
void PaintBubbleBody(Graphics* g, const CRect& rect, const Image* background, int corner);

class MAirBladder : public MWindow {
public:
    static constexpr unsigned kHideTimer = 1;
    static constexpr unsigned kHideAfterMs = 5000;
    static constexpr DWORD kStyle = 0x96000080;
    static constexpr float kFontSize = 14.0f;
    static constexpr int kCorner = 6;

    // The bubble takes its pictures from the owner's image cache.
    explicit MAirBladder(PaintManager* owner);

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Shows text by a screen point; 1 when shown (or already showing the same), 0 for an empty text.
    int SetAirBladderMsg(const wchar_t* text, CPoint screenPoint, AIRBLADDER_TYPE type, int mode);
    void Hide();

    bool IsShown() const;
    const CString& GetText() const { return m_text; }
    AIRBLADDER_TYPE GetType() const { return m_type; }
    int PaintCount() const { return m_paints; }

private:
    void Layout(CRect& window, CRect& body, CRect& arrow) const;
    ImgResInfo* ArrowPicture() const;
    void Paint();

    PaintManager* m_owner;
    CString m_text;
    CPoint m_point;
    AIRBLADDER_TYPE m_type = AIRBLADDER_TOP;
    int m_mode = 0;
    CRect m_body;
    CRect m_arrow;
    Surface m_surface;
    int m_paints = 0;
};
