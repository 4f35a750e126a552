// RenderConsole alone: the background laid out, the margins filled, a full page of fifteen
// rows of text drawn, and the picture handed to the overlay, in the normal and wide layouts.

#include "ConsoleBenchSupport.h"
#include "console/ConsolePage.h"
#include "core/TraceOutput.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace trelk;
using bench::HoldingOverlay;
using bench::NullOutput;

void RenderConsole(benchmark::State& state) {
    bench::EnsureGuiApplication();
    NullOutput output;
    TraceOutput trace(output);
    trace.setEnabled(true);
    HoldingOverlay overlay;
    ConsolePage page(overlay, trace, {});
    page.SetBackground(bench::GradientBackground());

    page.SetPageStatus("Distance: 1234.5 km");
    page.SetPageTitle("[Mining Database] (Sector 7) [Outer Belt]");
    page.ClearPage();
    page.SizeLines(100);
    for (int i = 0; i < 100; ++i) {
        page.AddPageLine("Asteroid " + std::to_string(i) +
                             " Lumacor rich field 12345.6 -2345.7 890.1",
                         i % 9 == 0 ? '\x03' : '\x05');
    }
    page.SetWideMode(state.range(0) != 0);
    page.SelectLine(50);
    page.ShowConsole();
    for (auto _ : state) {
        page.RenderConsole();
    }
}
BENCHMARK(RenderConsole)->Arg(0)->Arg(1)->ArgName("wide")->Unit(benchmark::kMicrosecond);

} // namespace
