// The database pages on a 10 MB list of 5,000 groups: each navigation key's page built and
// drawn, against counting words from the start of the text as the pages once did.

#include "ConsoleBenchSupport.h"
#include "LargeDatabase.h"
#include "console/DatabasePages.h"
#include "core/TextHelpers.h"
#include "core/TraceOutput.h"
#include "platform/sim/SimEventLoop.h"
#include "support/SimFolder.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace trelk;
using bench::HoldingOverlay;
using bench::NullOutput;

// 5,000 groups of four sub-groups of twelve entries, about 10 MB, built from the data file as
// the Mining list is.
std::shared_ptr<const DataListSnapshot> LargeList() {
    static const std::shared_ptr<const DataListSnapshot> list = [] {
        SimFileSystem files;
        const testing::SimFolder app{files};
        app.write("MyLumacor.dat", bench::LargeDatabase());
        SimEventLoop loop;
        DataLists lists(loop, files, app.dir(), app.file("trelkpro.ini"), {}, {}, {}, {});
        lists.AddFile(1, "MyLumacor.dat");
        lists.LoadDataList(1);
        return lists.List(1);
    }();
    return list;
}

// The pages on a visible console, at the middle group of the large list.
struct Rig {
    Rig() : trace(output), page(overlay, trace, {}), pages(nav, page, hooks()) {
        trace.setEnabled(true);
        nav.Menus = {{"Mining Database", 4}, {"Pattern Database", 4}, {"Information Database", 4}};
        nav.CurrentModeName = "Mining Database";
        page.SetBackground(bench::GradientBackground());
        page.ShowConsole();
        nav.CurrentLevel = 1;
        nav.LevelSelection[1] = 2500;
        nav.SavedGroup = 2500;
        pages.SelectDatabase(0);
    }
    DatabasePages::Hooks hooks() {
        DatabasePages::Hooks h;
        h.list = [](int) { return LargeList(); };
        h.formatDflr = [this](const std::string& entry) {
            ShowDistance(entry);
            return std::string();
        };
        // The menu's ListStep on the entries page: the next line and its distance.
        h.listStep = [this](bool) {
            nav.LevelSelection[3] = (nav.LevelSelection[3] + 1) % 12;
            const std::string& line = page.Lines().At(nav.LevelSelection[3]);
            ShowDistance(line.empty() ? line : line.substr(1));
        };
        return h;
    }
    // Stands in for FormatDflr: a status line, then the selection redrawn.
    void ShowDistance(const std::string& entry) {
        page.SetPageStatus(" (DFLR " + std::to_string(entry.size()) + "k)");
        page.SelectLine(nav.LevelSelection[3]);
    }

    bool guiReady = (bench::EnsureGuiApplication(), true);
    NullOutput output;
    TraceOutput trace;
    HoldingOverlay overlay;
    ConsolePage page;
    ConsoleNavigation nav;
    DatabasePages pages;
};

// Down to (or up to) the groups page: 5,000 titles listed.
void BM_GroupsPage(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        rig.pages.SelectDatabase(0);
        rig.pages.GroupsPage(false);
    }
}
BENCHMARK(BM_GroupsPage)->Unit(benchmark::kMicrosecond);

// Down to the sub-groups page of group 2,501: the group found and parsed.
void BM_SubgroupsPageDown(benchmark::State& state) {
    Rig rig;
    rig.nav.CurrentLevel = 2;
    for (auto _ : state) {
        rig.pages.SelectDatabase(0);
        rig.pages.SubgroupsPage(false);
    }
}
BENCHMARK(BM_SubgroupsPageDown)->Unit(benchmark::kMicrosecond);

// Down to the entries page: the sub-group parsed, its entries listed, the distance shown.
void BM_EntriesPageDown(benchmark::State& state) {
    Rig rig;
    rig.nav.CurrentLevel = 2;
    rig.pages.SubgroupsPage(false);
    rig.nav.CurrentLevel = 3;
    rig.nav.LevelSelection[2] = 2;
    for (auto _ : state) {
        rig.pages.SelectDatabase(0);
        rig.pages.EntriesPage(false);
    }
}
BENCHMARK(BM_EntriesPageDown)->Unit(benchmark::kMicrosecond);

// The next-entry key with the console closed: step, distance, entry typed (sending is free).
void BM_NextEntry(benchmark::State& state) {
    Rig rig;
    rig.nav.CurrentLevel = 2;
    rig.pages.SubgroupsPage(false);
    rig.nav.CurrentLevel = 3;
    rig.pages.EntriesPage(false);
    rig.nav.CurrentLevel = 4;
    rig.pages.DatabaseLevel(false);
    rig.page.HideConsole();
    for (auto _ : state) {
        rig.pages.NextEntry(false);
    }
}
BENCHMARK(BM_NextEntry)->Unit(benchmark::kMicrosecond);

// For comparison: finding group 2,501 and its sub-group by counting words from the start.
void BM_CountingWordsFromTheStart(benchmark::State& state) {
    const std::string& text = LargeList()->text;
    for (auto _ : state) {
        std::string group = ExtractWord(2501, text, "(");
        benchmark::DoNotOptimize(ExtractWord(3, group, "["));
    }
}
BENCHMARK(BM_CountingWordsFromTheStart)->Unit(benchmark::kMicrosecond);

// Indexing the list once, as the list worker does after building it.
void BM_IndexList(benchmark::State& state) {
    const std::string& text = LargeList()->text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ListTextIndex(text).Count());
    }
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_IndexList)->Unit(benchmark::kMillisecond);

} // namespace
