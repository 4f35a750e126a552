// Replaying a 255-character macro on the sim platform, as the pilot's hot key does: the key
// string sender types it into the stand-in game and every key comes back through the hook to
// the dispatcher. The sim's Delay moves the manual clock instead of waiting, so the time
// measured is the program's own work, without the required pauses after channel keys.
//
// pumps_per_key: how often the event loop ran per key of the key strings (60 Backspaces, the
// channel key, the text, Enter). At least one means the interface and the timers keep running
// while a macro is typed.

#include "macros/MacroTable.h"
#include "support/SimFolder.h"
#include "unit/KeyDispatcherRig.h"

#include <benchmark/benchmark.h>
#include <stdexcept>

namespace {

using namespace trelk;
using trelk::testing::KeyDispatcherRig;

// Mixed case and punctuation: Shift around many keys, as a real chat line.
std::string MacroText() {
    const std::string pattern = "Pilot Kara to Sector 7-G: dock at Base #42 (fuel 98%)! ";
    std::string text;
    while (text.size() < 255) {
        text += pattern;
    }
    text.resize(255);
    return text;
}

void BM_ReplayMacro255(benchmark::State& state) {
    KeyDispatcherRig rig;
    trelk::testing::SimFolder folder{rig.keys.platform.simFiles()};
    MacroTable table{rig.keys.platform.fileSystem(),
                     folder.file("trelkpro.ini"),
                     rig.sender,
                     rig.keys.platform.timers(),
                     rig.dispatcher,
                     nullptr};
    rig.onPlayMacro = [&table](int n) { table.PlayMacro(n); };
    const std::string text = MacroText();
    if (!table.StoreMacro(1, "3:" + text, true).stored()) {
        state.SkipWithError("the macro could not be stored");
        return;
    }
    auto& loop = rig.keys.platform.simLoop();
    auto& keyboard = rig.keys.platform.simKeyboard();
    std::size_t keys = 0;
    std::size_t events = 0;
    long pumps = 0;
    for (auto _ : state) {
        const std::size_t injectedBefore = keyboard.injected().size();
        const int pumpsBefore = loop.pumpCount();
        table.ReplayMacro(1);
        keys += KeyStringSender::ClearLineLength + table.entry(1).size();
        events += keyboard.injected().size() - injectedBefore;
        pumps += loop.pumpCount() - pumpsBefore;
        state.PauseTiming();
        if (rig.game().transcript().back() != "3\t" + text) {
            state.SkipWithError("the game did not receive the macro");
            break;
        }
        rig.wait(MacroTable::LockoutMs);
        state.ResumeTiming();
    }
    state.counters["keys_per_replay"] =
        benchmark::Counter(static_cast<double>(keys), benchmark::Counter::kAvgIterations);
    state.counters["events_per_replay"] =
        benchmark::Counter(static_cast<double>(events), benchmark::Counter::kAvgIterations);
    state.counters["pumps_per_key"] =
        keys == 0 ? 0.0 : static_cast<double>(pumps) / static_cast<double>(keys);
}
BENCHMARK(BM_ReplayMacro255)->Unit(benchmark::kMillisecond);

} // namespace
