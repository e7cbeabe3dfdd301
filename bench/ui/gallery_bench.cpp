// The control gallery's pages at 1280 × 720: a full repaint of each page (the whole window invalidated,
// every control copied from its cache), and the same with every control drawn anew. Each sample is one
// paint pass dispatched by the message loop, presented to an X display when one can be opened (run
// under Xvfb), else to the headless backend's image. The gallery's pictures are those of the built
// installation (build/bin), or the stand-in looks when it has none.

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <functional>

#include "bench/ui/paint_bench_support.h"
#include "core/folders.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/examples/gallery_dialog.h"

namespace {

using GallerySetup = paint_bench::Setup<GalleryDialog>;

void MarkStale(const ControlList& list)
{
    list.ForEach([](MControl* c) {
        c->SetUpdate(0);
        MarkStale(c->GetAreas());
        MarkStale(c->GetControls());
    });
}

void MeasurePage(benchmark::State& state, const std::function<void(GallerySetup&)>& prepare)
{
    // Pictures from the built installation, unless the caller chose another folder.
    setenv(kApplicationFolderVariable, TORVIK_INSTALL_DIR, 0);
    GallerySetup setup;
    // Only paint is measured: the animation tick stays quiet.
    setup.dialog.GetPaintManager().KillMTimer();
    setup.dialog.GetTabBar()->SetSelectItem(static_cast<int>(state.range(0)));
    paint_bench::Pump();
    paint_bench::Measure(state, setup, prepare);
}

void BM_GalleryPageFullRepaint(benchmark::State& state)
{
    MeasurePage(state, [](GallerySetup& s) { s.dialog.InvalidateRect(nullptr, 0); });
}
BENCHMARK(BM_GalleryPageFullRepaint)->DenseRange(0, 4)->Iterations(1000)->Unit(benchmark::kMillisecond);

void BM_GalleryPageEveryControlRedrawn(benchmark::State& state)
{
    MeasurePage(state, [](GallerySetup& s) {
        MarkStale(s.dialog.GetPaintManager().GetAreas());
        MarkStale(s.dialog.GetPaintManager().GetControls());
        s.dialog.InvalidateRect(nullptr, 0);
    });
}
BENCHMARK(BM_GalleryPageEveryControlRedrawn)
    ->DenseRange(0, 4)
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

} // namespace
