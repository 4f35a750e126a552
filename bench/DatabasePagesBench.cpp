// The database pages on a 10 MB list of 5,000 groups: each navigation key's page built and
// drawn, against counting words from the start of the text as the pages once did.

#include "console/DatabasePages.h"
#include "core/TextHelpers.h"
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

// 5,000 groups of four sub-groups of twelve entries, about 10 MB, as the Mining list holds it.
std::shared_ptr<const DataListSnapshot> LargeList() {
    static const std::shared_ptr<const DataListSnapshot> list = [] {
        std::string text;
        unsigned seed = 17;
        const auto next = [&seed] {
            seed = seed * 1103515245U + 12345U;
            return (seed >> 8) % 100000U;
        };
        for (int group = 1; group <= 5000; ++group) {
            text += "(Sector " + std::to_string(group) + ")";
            for (int sub = 1; sub <= 4; ++sub) {
                text += "[Field " + std::to_string(sub) + "]";
                for (int entry = 0; entry < 12; ++entry) {
                    text += "\\" + std::to_string(next() / 10) + "." + std::to_string(next() % 10) +
                            " -" + std::to_string(next() / 10) + ".5 " +
                            std::to_string(next() / 100) + ".2 Lumacite large, rich";
                }
            }
        }
        const int groups = WordCount(text, "(");
        ListTextIndex index(text);
        return std::make_shared<const DataListSnapshot>(
            DataListSnapshot{std::move(text), groups, false, std::move(index)});
    }();
    return list;
}

// The pages on a visible console, at the middle group of the large list.
struct Rig {
    Rig() : trace(output), page(overlay, trace, {}), pages(nav, page, hooks()) {
        trace.setEnabled(true);
        nav.Menus = {{"Mining Database", 4}, {"Pattern Database", 4}, {"Information Database", 4}};
        nav.CurrentModeName = "Mining Database";
        QImage background(256, 256, QImage::Format_Indexed8);
        background.setColorCount(256);
        for (int i = 0; i < 256; ++i) {
            background.setColor(i, qRgb(i, i / 2, 255 - i));
        }
        background.fill(40);
        page.SetBackground(background);
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

    bool guiReady = (EnsureGuiApplication(), true);
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
