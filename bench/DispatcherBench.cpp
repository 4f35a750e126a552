// HandleHookKey for an ordinary character on the sim platform: the press (classification,
// the pressed checks, the key-to-character translation into TypedLine) and the release.

#include "core/CheckOption.h"
#include "core/SettingsValues.h"
#include "core/TraceOutput.h"
#include "keyboard/KeyDispatcher.h"
#include "keyboard/KeyMap.h"
#include "macros/KeyStringSender.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimScreenCapture.h"

#include <atomic>
#include <benchmark/benchmark.h>

namespace {

using namespace trelk;

struct Dispatcher {
    explicit Dispatcher(DispatcherActions wired) : actions(std::move(wired)) {}

    DispatcherActions actions;
    SimPlatform platform;
    Settings settings = DefaultSettings("/opt/trelk/");
    std::atomic<bool> shuttingDown{false};
    TraceOutput trace{platform.debugOutput()};
    KeyStringSender sender{platform.keyboard(),
                           platform.eventLoop(),
                           {.onSendKeyString = [this] { dispatcher.DisarmMacroKey(); },
                            .onSendToChannel = [this] { dispatcher.SetEntrySent(false); }}};
    KeyMap keyMap{settings.KeyMap.KM, platform.keyboard(), platform.eventLoop(), shuttingDown};
    CheckOption photoEnabled;
    SimScreenCapture screen;
    KeyDispatcher dispatcher{keyMap,
                             platform.keyboard(),
                             sender,
                             platform.timers(),
                             platform.clock(),
                             platform.desktop(),
                             screen,
                             platform.fileSystem(),
                             trace,
                             photoEnabled,
                             "/opt/trelk/Photo/",
                             KeyStringSender::ClearLineString(),
                             actions};
};

// 'a' as the hook reports it: scan code 0x1E, repeat count 1.
constexpr std::uint32_t PressFlags = 0x001E0001;
constexpr std::uint32_t ReleaseFlags = 0xC01E0001;

void BM_HandleHookKeyOrdinaryCharacter(benchmark::State& state) {
    // Every subsystem wired, as in the running program: each check asks its question.
    Dispatcher d({.ConsoleVisible = [] { return false; },
                  .StopAlarmRepeat = [] {},
                  .Docked = [] { return false; }});
    std::size_t n = 0;
    for (auto _ : state) {
        d.dispatcher.HandleHookKey('A', PressFlags);
        d.dispatcher.HandleHookKey('A', ReleaseFlags);
        // A chat line is short: Enter empties it long before it grows.
        if (++n % 200 == 0) {
            d.dispatcher.ClearTypedLine();
        }
    }
    benchmark::DoNotOptimize(d.dispatcher.TypedLine());
    state.SetLabel("press + release");
}
BENCHMARK(BM_HandleHookKeyOrdinaryCharacter)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_HandleHookKeyPressOnly(benchmark::State& state) {
    Dispatcher d({});
    std::size_t n = 0;
    for (auto _ : state) {
        d.dispatcher.HandleHookKey('A', PressFlags);
        if (++n % 200 == 0) {
            d.dispatcher.ClearTypedLine();
        }
    }
    benchmark::DoNotOptimize(d.dispatcher.TypedLine());
}
BENCHMARK(BM_HandleHookKeyPressOnly)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
