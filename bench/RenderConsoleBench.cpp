// RenderConsole alone: the background laid out, the margins filled, a full page of fifteen
// rows of text drawn, and the picture handed to the overlay, in the normal and wide layouts.

#include "console/ConsolePage.h"
#include "core/TraceOutput.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace trelk;

class NullOutput final : public DebugOutput {
public:
    void write(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
};

// Holds the picture as the overlay library does, so a redraw pays for the copy it forces.
class HoldingOverlay final : public ConsoleOverlaySink {
public:
    void SetConsoleMode(int) override {}
    void SetConsolePosition(std::uint8_t, std::uint8_t) override {}
    void SetColorValue(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {}
    void SetNewBitmap(const QImage& picture) override { held_ = picture; }
    void ShowConsole(bool) override {}
    void SetPopupSpeed(std::uint8_t) override {}

private:
    QImage held_;
};

void EnsureGuiApplication() {
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench";
        static char* argv[] = {name, nullptr};
        static auto* app = new QGuiApplication(argc, argv);
        (void)app;
    }
}

void RenderConsole(benchmark::State& state) {
    EnsureGuiApplication();
    NullOutput output;
    TraceOutput trace(output);
    trace.setEnabled(true);
    HoldingOverlay overlay;
    ConsolePage page(overlay, trace, {});
    QImage background(256, 256, QImage::Format_Indexed8);
    background.setColorCount(256);
    for (int i = 0; i < 256; ++i) {
        background.setColor(i, qRgb(i, i / 2, 255 - i));
    }
    background.fill(40);
    page.SetBackground(background);

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
