// Console navigation on a 10 MB Mining Database of 5,000 groups: each key from the hook
// message to the picture handed to the overlay library, through the whole program on the sim
// platform (dispatcher, menu, database pages, redraw, overlay binding).

#include "ConsoleBenchSupport.h"
#include "LargeDatabase.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimDesk.h"

#include <benchmark/benchmark.h>
#include <stdexcept>
#include <thread>

namespace {

using namespace trelk;

class Pilot {
public:
    Pilot() {
        bench::EnsureGuiApplication();
        desk_.folder.write("Data/MyLumacor.dat", bench::LargeDatabase());
        desk_.installLibraries();
        TrelkApp& app = desk_.start();
        if (!app.core().FormCreate().ok) {
            throw std::runtime_error("start-up failed");
        }
        while (app.dataLists().DataListWorkerRunning()) {
            desk_.platform.step(1);
            std::this_thread::yield();
        }
        desk_.platform.step(1);
    }

    // One key, pressed and released, as the hook reports it.
    void press(int virtualKey) { desk_.press(virtualKey); }
    std::size_t pictures() { return static_cast<std::size_t>(desk_.platform.overlay().pictures()); }

private:
    testing::SimDesk desk_;
};

// The console open on the groups page of the Mining Database (5,000 lines).
std::unique_ptr<Pilot> OnGroupsPage() {
    auto pilot = std::make_unique<Pilot>();
    pilot->press(Vk::Insert);
    pilot->press(Vk::Right);
    return pilot;
}

void CheckPictures(benchmark::State& state, Pilot& pilot, std::size_t before,
                   std::size_t perIteration) {
    if (pilot.pictures() - before < perIteration * static_cast<std::size_t>(state.iterations())) {
        state.SkipWithError("a key handed no picture to the overlay");
    }
}

void BM_DownList(benchmark::State& state) {
    auto pilot = OnGroupsPage();
    const std::size_t before = pilot->pictures();
    for (auto _ : state) {
        pilot->press(Vk::Down);
    }
    CheckPictures(state, *pilot, before, 1);
}
BENCHMARK(BM_DownList)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Down into a group's sub-groups, then up to the 5,000 groups again: two keys per iteration.
void BM_DownLevelThenUpLevel(benchmark::State& state) {
    auto pilot = OnGroupsPage();
    const std::size_t before = pilot->pictures();
    for (auto _ : state) {
        pilot->press(Vk::Right);
        pilot->press(Vk::Left);
    }
    CheckPictures(state, *pilot, before, 2);
    state.SetLabel("two keys");
}
BENCHMARK(BM_DownLevelThenUpLevel)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Each of the two alone: the other key runs outside the measured time.
void BM_LevelKeyAlone(benchmark::State& state) {
    auto pilot = OnGroupsPage();
    const bool measureDown = state.range(0) == 1;
    const std::size_t before = pilot->pictures();
    for (auto _ : state) {
        if (!measureDown) {
            state.PauseTiming();
        }
        pilot->press(Vk::Right);
        if (!measureDown) {
            state.ResumeTiming();
        } else {
            state.PauseTiming();
        }
        pilot->press(Vk::Left);
        if (measureDown) {
            state.ResumeTiming();
        }
    }
    CheckPictures(state, *pilot, before, 2);
    state.SetLabel(measureDown ? "down into the sub-groups" : "up to the 5,000 groups");
}
BENCHMARK(BM_LevelKeyAlone)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Groups far down the list: the group's text is found without walking the ones before it.
void BM_DownLevelIntoLastGroups(benchmark::State& state) {
    auto pilot = OnGroupsPage();
    for (int i = 0; i < 11; ++i) {
        pilot->press(Vk::Up); // up from the first line wraps round to the last groups
    }
    const std::size_t before = pilot->pictures();
    for (auto _ : state) {
        pilot->press(Vk::Right); // the sub-groups of a group near the end
        pilot->press(Vk::Right); // its entries
        pilot->press(Vk::Left);
        pilot->press(Vk::Left);
    }
    CheckPictures(state, *pilot, before, 4);
    state.SetLabel("four keys");
}
BENCHMARK(BM_DownLevelIntoLastGroups)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
