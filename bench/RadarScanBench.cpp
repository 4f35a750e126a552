// One radar scan on a 1920 x 1080 screen (an Xvfb of our own): the capture of the radar's
// rectangle from the X server through the real X11ScreenCapture and the pixel walk, as every
// scan tick does them; beside it the command a pilot would script for the same rectangle,
// ImageMagick's `import -window root -crop WxH+L+T`, so one run gives the ratio.
//
//   build/bin/bench_radarscanbench

#include "platform/linux/X11ScreenCapture.h"
#include "radar/CaptureRectangle.h"
#include "radar/RadarScanner.h"
#include "radar/ScanTargets.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

// Last: it brings Xlib's macros.
#include "support/X11KeyboardTestSupport.h"

namespace {

using namespace trelk;

constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;

CaptureRectangle Radar() {
    return RadarCaptureRectangle(ScreenWidth, ScreenHeight, RadarScanner::DefaultOffsetX,
                                 RadarScanner::DefaultOffsetY);
}

void BM_ScanOnce(benchmark::State& state) {
    x11test::XvfbServer server(280, "1920x1080x24");
    if (server.display().empty()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    x11test::EnvOverride display("DISPLAY", server.display());
    X11ScreenCapture capture;
    ScreenPixels pixels;
    std::string error;
    for (auto _ : state) {
        // What ScanOnce does: the screen's size, the rectangle, the capture, the walk (no
        // target on the screen, so every pixel is visited).
        const ScreenSize size = capture.screenSize();
        const CaptureRectangle area = RadarCaptureRectangle(
            size.width, size.height, RadarScanner::DefaultOffsetX, RadarScanner::DefaultOffsetY);
        if (!capture.captureRectangle(area.Left, area.Top, area.Width, area.Height, pixels,
                                      error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(AnyTargetPixel(Object, pixels.pixels));
    }
    state.counters["pixels"] = static_cast<double>(pixels.pixels.size());
}
BENCHMARK(BM_ScanOnce)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_ImportCrop(benchmark::State& state) {
    x11test::XvfbServer server(280, "1920x1080x24");
    if (server.display().empty()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    const CaptureRectangle area = Radar();
    const std::string command = "DISPLAY=" + server.display() + " import -window root -crop " +
                                std::to_string(area.Width) + "x" + std::to_string(area.Height) +
                                "+" + std::to_string(area.Left) + "+" + std::to_string(area.Top) +
                                " rgb:- >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("import failed");
            return;
        }
    }
}
BENCHMARK(BM_ImportCrop)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly()
    ->UseRealTime();

} // namespace
