// Painting a 1280 × 720 dialog with 100 controls (tinted areas, pictures, texts): a full repaint, a full
// repaint with every control redrawn, and the repaint after one control changed. Each sample is one
// paint pass dispatched by the message loop, presented to an X display when one can be opened (run
// under Xvfb), else to the headless backend's image. Reports the median and the 99th percentile.

#include <benchmark/benchmark.h>

#include "bench/ui/paint_bench_support.h"
#include "ui/framework/c_area.h"
#include "ui/framework/image.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/m_dialog.h"
#include "ui/framework/m_render.h"

namespace {

// A label: its title in its font, cached.
class Text : public MControlFont {
public:
    Text(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int size)
        : MControlFont(parent, id, rect, title, 1, 0, 1)
    {
        m_fontSize = size;
    }
    void DrawControl(HDC& hdc, CRect clip) override
    {
        if (UpdateMemDC(hdc, m_rect.Width(), m_rect.Height())) {
            GraphicsOn g(m_memDC);
            DrawTitle(g, CRect(0, 0, m_rect.Width(), m_rect.Height()));
        }
        CopyMemDC(hdc, clip);
    }
};

// A picture stretched over the control, cached.
class Picture : public MControlFont {
public:
    Picture(MObject* parent, unsigned id, CRect rect, ImagePtr image)
        : MControlFont(parent, id, rect, L"", 1, 1, 1)
    {
        m_image = std::move(image);
    }
    void DrawControl(HDC& hdc, CRect clip) override
    {
        if (UpdateMemDC(hdc, m_rect.Width(), m_rect.Height())) {
            GraphicsOn g(m_memDC);
            MRender::DrawImageFrame(g, m_image.get(), CRect(0, 0, m_rect.Width(), m_rect.Height()), 0, 0,
                                    m_image->Width(), m_image->Height(), 6);
        }
        CopyMemDC(hdc, clip);
    }
};

ImagePtr MakePicture()
{
    Surface s(32, 32);
    GraphicsOn g(s);
    MRender::DrawRoundRectange(g, 0.5f, 0.5f, 31, 31, 4, 0xFFB48CE6, 1, true, 0xC0402060);
    return Image::FromSurface(std::move(s));
}

class BenchDialog : public MDialog {
public:
    int InitUI(CRect) override
    {
        const ImagePtr picture = MakePicture();
        // A grid of 10 × 10 cells: every third an area, every third a picture, the rest texts.
        for (int i = 0; i < 100; ++i) {
            const int col = i % 10;
            const int row = i / 10;
            const CRect cell(20 + col * 124, 20 + row * 68, 20 + col * 124 + 116, 20 + row * 68 + 60);
            const auto id = static_cast<unsigned>(100 + i);
            if (i % 3 == 0) {
                auto* area = static_cast<CArea*>(CreateArea(L"CArea", id, cell));
                area->SetTransparent(85, 60, RGB(180, 140, 230));
            } else if (i % 3 == 1) {
                m_paintManager.AddControl(std::make_unique<Picture>(this, id, cell, picture));
            } else {
                m_paintManager.AddControl(
                    std::make_unique<Text>(this, id, cell, L"Lighting mode", 12 + i % 4 * 2));
            }
        }
        return 0;
    }
};

using paint_bench::Measure;
using BenchSetup = paint_bench::Setup<BenchDialog>;

template <class Prepare> void Measure(benchmark::State& state, Prepare prepare)
{
    BenchSetup setup;
    Measure(state, setup, prepare);
}

void BM_FullRepaint(benchmark::State& state)
{
    Measure(state, [](BenchSetup& s) { s.dialog.InvalidateRect(nullptr, 0); });
}
BENCHMARK(BM_FullRepaint)->Iterations(2000)->Unit(benchmark::kMillisecond);

void BM_FullRepaintEveryControlRedrawn(benchmark::State& state)
{
    Measure(state, [](BenchSetup& s) {
        s.dialog.GetPaintManager().GetAreas().ForEach([](MControl* c) { c->SetUpdate(0); });
        s.dialog.GetPaintManager().GetControls().ForEach([](MControl* c) { c->SetUpdate(0); });
        s.dialog.InvalidateRect(nullptr, 0);
    });
}
BENCHMARK(BM_FullRepaintEveryControlRedrawn)->Iterations(300)->Unit(benchmark::kMillisecond);

void BM_RepaintAfterOneControlChanged(benchmark::State& state)
{
    int next = 0;
    Measure(state, [&next](BenchSetup& s) {
        // A different text each time, so no cache can hide the work.
        s.dialog.GetControl(static_cast<unsigned>(100 + (next++ % 33) * 3 + 2))->UpdateControl(1, 0);
    });
}
BENCHMARK(BM_RepaintAfterOneControlChanged)->Iterations(3000)->Unit(benchmark::kMillisecond);

} // namespace
