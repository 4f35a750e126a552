#include "LargeDatabase.h"
#include "data/DataLists.h"
#include "platform/sim/SimEventLoop.h"
#include "support/SimFolder.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

void BM_LoadDataList(benchmark::State& state) {
    trelk::SimFileSystem files;
    const trelk::testing::SimFolder app{files};
    app.write("MyLumacor.dat", trelk::bench::LargeDatabase());
    trelk::SimEventLoop loop;
    trelk::DataLists lists(loop, files, app.dir(), app.file("trelkpro.ini"), {}, {}, {}, {});
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
