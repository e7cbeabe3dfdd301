// The keyboard view of the full-size layout (104 keys, its 940 × 280 picture) where the main window puts
// it, in a 1280 × 720 window: every key's colour changed and the window repainted (per-key colour
// painting, and the music view, which does this at the colour stream's frame rate), and one key's colour
// changed and repainted. Each sample times the colour changes and the paint pass the message loop then
// dispatches, presented to an X display when one can be opened (run under Xvfb), else to the headless
// backend's image. Picture and layout come from the built installation (build/bin).

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "bench/ui/paint_bench_support.h"
#include "core/folders.h"
#include "device/keyboard_layout.h"
#include "ui/framework/m_dialog.h"
#include "ui/keyboard/keyboard_ctrl.h"

namespace {

using KeyboardSetup = paint_bench::Setup<MDialog>;

struct View {
    KeyboardSetup setup;
    KeyboardCtrl* view = nullptr;
    std::vector<unsigned long> keys;
};

void Fill(View& v, int mode)
{
    const std::optional<LayoutFile> layout =
        ReadLayoutFile(ApplicationFolder() + L"\\layouts\\z5_wireless.xml");
    if (!layout || !layout->keyboard)
        return;
    const KeyboardGeometry& g = *layout->keyboard;
    v.view = static_cast<KeyboardCtrl*>(
        v.setup.dialog.CreateControl(L"KeyboardCtrl", 67, g.ViewRect(), L"", 1, 1));
    v.view->SetKeyboardImage(L"keyboard\\" + g.image);
    v.view->SetWidthAndHeight(g.width, g.height);
    for (const LayoutFile::Key& key : layout->keys) {
        v.view->AddKeyItem(key.item.name.c_str(), key.item.description.c_str(), key.item.code, key.item.rect,
                           key.item.icon);
        v.keys.push_back(key.item.code);
    }
    v.view->SetKeyboardCtrlMode(mode);
    paint_bench::Pump();
}

// Times prepare-and-paint per sample; reports the median and the 99th percentile.
template <class Change> void Measure(benchmark::State& state, View& v, Change change)
{
    using SteadyTime = std::chrono::steady_clock;
    state.SetLabel(std::string(v.setup.backend) + (v.view ? "" : " (no layout: nothing measured)"));
    std::vector<double> samples;
    unsigned step = 0;
    for (auto _ : state) {
        const auto start = SteadyTime::now();
        if (v.view)
            change(++step);
        paint_bench::Pump();
        samples.push_back(std::chrono::duration<double, std::milli>(SteadyTime::now() - start).count());
    }
    state.counters["median_ms"] = paint_bench::Percentile(samples, 50);
    state.counters["p99_ms"] = paint_bench::Percentile(samples, 99);
}

void BM_KeyboardViewEveryKeyColour(benchmark::State& state)
{
    setenv(kApplicationFolderVariable, TORVIK_INSTALL_DIR, 0);
    View v;
    Fill(v, static_cast<int>(state.range(0)));
    Measure(state, v, [&](unsigned step) {
        // A colour per key that differs from the last sample's, as a music frame would.
        for (size_t i = 0; i < v.keys.size(); ++i)
            v.view->SetKeyColor(v.keys[i], RGB(static_cast<uint8_t>(step * 7 + i),
                                               static_cast<uint8_t>(i * 3), static_cast<uint8_t>(step)));
    });
}
BENCHMARK(BM_KeyboardViewEveryKeyColour)
    ->Arg(KeyboardCtrl::kModePaint)
    ->Arg(KeyboardCtrl::kModeMusic)
    ->Iterations(2000)
    ->Unit(benchmark::kMillisecond);

void BM_KeyboardViewOneKeyColour(benchmark::State& state)
{
    setenv(kApplicationFolderVariable, TORVIK_INSTALL_DIR, 0);
    View v;
    Fill(v, KeyboardCtrl::kModePaint);
    Measure(state, v, [&](unsigned step) {
        // Each round over the keys flips them between two colours, so every sample changes one.
        const bool odd = (step / v.keys.size()) & 1;
        v.view->SetKeyColor(v.keys[step % v.keys.size()], odd ? RGB(0xFF, 0, 0) : RGB(0, 0, 0xFF));
    });
}
BENCHMARK(BM_KeyboardViewOneKeyColour)->Iterations(5000)->Unit(benchmark::kMillisecond);

} // namespace
