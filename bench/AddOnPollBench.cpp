// The add-on poll over the real SQLite store: a poll when nothing changed, a poll that takes a
// full page (read, conditional emptying, page built and drawn), and what an add-on's DataReady
// costs until the picture is handed over.
//
//   build/bin/bench_addonpollbench

#include "ConsoleBenchSupport.h"
#include "addons/AddOnModules.h"
#include "platform/linux/SqliteUserStore.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimTimerFactory.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace trelk;

constexpr const char* Interface = "Software\\TrelkPro\\Interface";

struct PollRig {
    explicit PollRig(bool consoleOpen) {
        bench::EnsureGuiApplication();
        page.SetBackground(bench::GradientBackground());
        // The values the program keeps in the key, as after some use.
        for (const char* name : {"TrelkProStartUp", "AddOnRegList", "ActiveAddon", "Cursor",
                                 "Input", "ProxyURL", "ProxyPort", "Server"}) {
            other.setString(Interface, name, "");
        }
        other.setString(Interface, "AppReg", "Miner");
        addOns.tmrAddonTimer();
        other.setString(Interface, "ActiveAddon", "Miner");
        if (consoleOpen) {
            page.ShowConsole();
        }
        addOns.tmrAddonTimer();
    }
    // What an add-on writes for one page: the title, fifteen lines of 60 characters, the
    // highlight, then DataReady.
    void addOnWritesPage(int n) {
        std::vector<UserStore::ValueWrite> writes;
        writes.push_back({"Title", "Mining report " + std::to_string(n), {}});
        for (int line = 1; line <= 15; ++line) {
            writes.push_back({"Line" + std::to_string(line),
                              (line == 3 ? "&/cargo " : "Rock field ") + std::string(50, 'x'),
                              {}});
        }
        writes.push_back({"ListHighLight", std::to_string(n % 15 + 1), {}});
        writes.push_back({"DataReady", "Miner", {}});
        other.writeValues(Interface, writes);
    }

    testing::TempFolder dir;
    SqliteUserStore store{dir.file("registry.db")};
    // The add-on's own connection.
    SqliteUserStore other{dir.file("registry.db")};
    ManualClock clock;
    SimTimerFactory timers{clock};
    bench::NullOutput output;
    TraceOutput trace{output};
    bench::HoldingOverlay overlay;
    ConsolePage page{overlay, trace, {}};
    AddOnModules addOns{store, timers, page, {}};
};

void PollUnchanged(benchmark::State& state) {
    PollRig rig(false);
    const std::uint64_t reads = rig.addOns.FullReads();
    for (auto _ : state) {
        rig.addOns.tmrAddonTimer();
    }
    if (rig.addOns.FullReads() != reads) {
        state.SkipWithError("an unchanged store was read");
    }
}
BENCHMARK(PollUnchanged)->Unit(benchmark::kMicrosecond);

// Range 0: console closed (the page is built, the picture prepared), 1: open (also handed to
// the overlay).
void PollFullPage(benchmark::State& state) {
    PollRig rig(state.range(0) == 1);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rig.addOnWritesPage(++n);
        state.ResumeTiming();
        rig.addOns.tmrAddonTimer();
    }
    if (rig.addOns.PagesDrawn() < static_cast<std::uint64_t>(n)) {
        state.SkipWithError("a page was not drawn");
    }
}
BENCHMARK(PollFullPage)->Arg(0)->Arg(1)->ArgName("open")->Unit(benchmark::kMicrosecond);

// What of a full-page poll is the picture: the whole console drawn again, as every redraw does.
void RedrawOfTheSamePage(benchmark::State& state) {
    PollRig rig(false);
    rig.addOnWritesPage(1);
    rig.addOns.tmrAddonTimer();
    for (auto _ : state) {
        rig.page.RenderConsole();
    }
}
BENCHMARK(RedrawOfTheSamePage)->Unit(benchmark::kMicrosecond);

// The part of the way from DataReady to the picture that is not waiting for the next poll:
// the add-on's write and the poll that hands the picture over.
void DataReadyToPicture(benchmark::State& state) {
    PollRig rig(true);
    int n = 0;
    for (auto _ : state) {
        rig.addOnWritesPage(++n);
        rig.addOns.tmrAddonTimer();
    }
}
BENCHMARK(DataReadyToPicture)->Unit(benchmark::kMicrosecond);

} // namespace
