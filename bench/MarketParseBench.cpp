// The market parse of a 30,000-record document (25 locations x 10 categories x 120 items, as
// the sample web services generate it); the target is under 50 ms.
//
//   build/bin/bench_marketparsebench

#include "ServiceDocuments.h"
#include "downloads/MarketTables.h"

#include <benchmark/benchmark.h>

namespace trelk {
namespace {

void BM_ParseMarket30k(benchmark::State& state) {
    const std::string document =
        services::MarketDocument({.locations = 25, .categories = 10, .items = 120, .padding = 0});
    const std::string_view records = std::string_view(document).substr(48);
    const MarketTableSizes sizes{.MarketTypes = 15, .ItemTypes = 120, .MarketSectors = 25};
    int stored = 0;
    for (auto _ : state) {
        const MarketParseResult result = ParseMarket(records, sizes);
        stored = result.Records;
        benchmark::DoNotOptimize(result.Tables.Cells.data());
    }
    state.counters["records"] = stored;
    state.counters["document_bytes"] = static_cast<double>(document.size());
}
BENCHMARK(BM_ParseMarket30k)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace trelk
