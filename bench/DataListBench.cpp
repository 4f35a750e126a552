#include "data/DataLists.h"
#include "platform/sim/SimEventLoop.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace {

// A 10 MB coordinate database: 5,000 groups of four sub-groups, CR LF lines as the download
// conversion writes them, with the runs of blanks and tabs hand-made files have.
void WriteLargeDatabase(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "SEND=NO\r\n";
    unsigned seed = 17;
    const auto next = [&seed] {
        seed = seed * 1103515245U + 12345U;
        return (seed >> 8) % 100000U;
    };
    for (int group = 1; group <= 5000; ++group) {
        out << "(Sector " << group << ")\r\n";
        for (int sub = 1; sub <= 4; ++sub) {
            out << "[Field " << sub << "]\r\n";
            for (int entry = 0; entry < 12; ++entry) {
                out << next() / 10 << '.' << next() % 10 << "  -" << next() / 10 << ".5\t"
                    << next() / 100 << ".2 Lumacite large, rich\r\n";
            }
        }
    }
}

void BM_LoadDataList(benchmark::State& state) {
    const trelk::testing::TempFolder app;
    WriteLargeDatabase(app.file("MyLumacor.dat"));
    trelk::SimEventLoop loop;
    trelk::DataLists lists(loop, app.dir(), app.file("trelkpro.ini"), {}, {}, {});
    const int kind = static_cast<int>(state.range(0));
    lists.AddFile(kind, "MyLumacor.dat");
    for (auto _ : state) {
        lists.LoadDataList(kind);
    }
    state.counters["groups"] = lists.GroupCount(kind);
    state.counters["MB"] = static_cast<double>(lists.ListText(kind)->size()) / 1e6;
}
// Kind 1 collapses blanks (Mining Database), kind 3 keeps them (Information Database).
BENCHMARK(BM_LoadDataList)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace
