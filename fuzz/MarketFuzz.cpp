// The market document as the market service sends it, after the characters the download
// skips: parsed into the tables within small and within the default sizes, every stored cell
// read back the way the market pages read it.

#include "FuzzInput.h"
#include "downloads/MarketTables.h"

namespace {

using namespace trelk;

// Every stored cell and the first one past each table's end, which reads as empty.
void ReadBack(const MarketTables& tables) {
    const int categories = static_cast<int>(tables.Cells.size());
    for (int c = 0; c <= categories; ++c) {
        (void)tables.ItemCount(c);
        const int items =
            c < categories ? static_cast<int>(tables.Cells[std::size_t(c)].size()) : 0;
        for (int i = 0; i <= items; ++i) {
            (void)tables.Item(c, i);
            for (int l = 0; l <= tables.LocationCount; ++l) {
                (void)tables.Cell(c, i, l);
            }
        }
    }
    fuzz::Expect(tables.Cell(categories, 0, 0).empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::Text(data, size);
    const MarketTableSizes small{.MarketTypes = 3, .ItemTypes = 4, .MarketSectors = 2};
    for (const MarketTableSizes& sizes : {small, MarketTableSizes{}}) {
        const MarketParseResult parsed = ParseMarket(text, sizes);
        ReadBack(parsed.Tables);
    }
    return 0;
}
