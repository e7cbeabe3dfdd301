// Opens a KelvoUI dialog on the user's display: drag it by any empty spot, close it with its button,
// Escape or the window manager's close. Prints the dialog's result.

#include <cairo.h>
#include <clocale>
#include <cstdio>

#include "core/wide_text.h"
#include "ui/framework/m_dialog.h"
#include "ui/framework/manager.h"
#include "ui/framework/surface.h"
#include "ui/framework/window_system.h"

namespace {

class DemoDialog : public MDialog {
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (msg == WM_LBUTTONDOWN && CloseBox().PtInRect(point))
            return 0; // a press on the button must not start a window drag
        if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
            DoCancel();
            return 0;
        }
        return MDialog::OnWindowMessage(msg, wParam, lParam);
    }

    int OnLButtonUp(unsigned, CPoint point) override
    {
        if (CloseBox().PtInRect(point))
            DoOK();
        return 0;
    }

    int OnMouseMove(unsigned, CPoint point) override
    {
        const bool hot = CloseBox().PtInRect(point);
        if (hot != m_hot) {
            m_hot = hot;
            InvalidateRect(CloseBox(), 0);
            WindowSystem::SetCursor(WindowSystem::LoadCursorW(nullptr, hot ? IDC_HAND : IDC_ARROW));
        }
        return 0;
    }

    int OnPaint() override
    {
        const PaintPass pass = WindowSystem::BeginPaint(m_hWnd);
        if (pass.region.IsEmpty())
            return 0;
        m_surface.Resize(m_rcClient.Width(), m_rcClient.Height());
        cairo_t* cr = m_surface.CreateContext();
        if (!cr)
            return 0;
        cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, m_rcClient.Height());
        cairo_pattern_add_color_stop_rgb(gradient, 0, 0.13, 0.05, 0.25);
        cairo_pattern_add_color_stop_rgb(gradient, 1, 0.04, 0.03, 0.08);
        cairo_set_source(cr, gradient);
        cairo_paint(cr);
        cairo_pattern_destroy(gradient);

        cairo_set_source_rgb(cr, 0.38, 0.0, 0.27);
        cairo_set_line_width(cr, 2);
        cairo_rectangle(cr, 1, 1, m_rcClient.Width() - 2, m_rcClient.Height() - 2);
        cairo_stroke(cr);

        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 28);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_move_to(cr, 32, 70);
        cairo_show_text(cr, WideToUtf8(Manager::GetDeviceName()).c_str());
        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 14);
        cairo_set_source_rgb(cr, 0.8, 0.8, 0.85);
        cairo_move_to(cr, 32, 100);
        cairo_show_text(cr, "A KelvoUI dialog. Drag it by any empty spot.");

        const CRect box = CloseBox();
        cairo_set_source_rgb(cr, m_hot ? 0.55 : 0.38, 0.0, m_hot ? 0.38 : 0.27);
        cairo_rectangle(cr, box.left, box.top, box.Width(), box.Height());
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_move_to(cr, box.left + 30, box.top + 25);
        cairo_show_text(cr, "Close");
        cairo_destroy(cr);

        WindowSystem::Present(m_hWnd, m_surface, pass.rcPaint);
        WindowSystem::EndPaint(m_hWnd);
        return 0;
    }

private:
    CRect CloseBox() const
    {
        return {m_rcClient.right - 140, m_rcClient.bottom - 60, m_rcClient.right - 20,
                m_rcClient.bottom - 20};
    }

    Surface m_surface;
    bool m_hot = false;
};

} // namespace

int main()
{
    // Typed characters reach the input method in the user's encoding.
    std::setlocale(LC_ALL, "");
    if (!WindowSystem::Backend().IsAvailable()) {
        std::fprintf(stderr, "kelvo_demo: no display to open a window on\n");
        return 1;
    }
    DemoDialog dialog;
    if (!dialog.Create(nullptr, L"KelvoUI demo", WS_POPUP, 0, CRect(0, 0, 520, 300))) {
        std::fprintf(stderr, "kelvo_demo: the window could not be created\n");
        return 1;
    }
    dialog.CenterWindow();
    const unsigned result = dialog.ShowModal(SW_SHOW);
    std::printf("dialog result: %u\n", result);
    return 0;
}
