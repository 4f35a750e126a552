#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trelk {

// The table sizes of the market: what the settings allow ("NumOfMarketTypes",
// "NumOfItemTypes", "NumOfMarketSectors") and the fixed sizes of the name tables.
struct MarketTableSizes {
    static constexpr int CategoryNames = 10; // MarketCategories
    static constexpr int ItemCounts = 20;    // MarketItemCounts
    int MarketTypes = 15;                    // categories of MarketCells
    int ItemTypes = 80;                      // items per category
    int MarketSectors = 25;                  // locations per item; categories of MarketItems

    // The most categories every table has room for.
    int MaxCategories() const;
};

// The market pivoted by category, item and location. Only what the document held is stored,
// so the sizes bound the data, never the memory a setting could ask for.
struct MarketTables {
    std::vector<std::string> Categories;                      // MarketCategories, first location's
    std::vector<std::vector<std::string>> Items;              // MarketItems[c][i], first location's
    std::vector<int> ItemCounts;                              // MarketItemCounts[c]
    std::vector<std::vector<std::vector<std::string>>> Cells; // MarketCells[c][i][l]
    int CategoryCount = 0;                                    // of the last location read
    int LocationCount = 0;                                    // MarketLocationCount

    // The cell line of (c, i, l), empty where the document had none.
    const std::string& Cell(int c, int i, int l) const;
    const std::string& Item(int c, int i) const;
    int ItemCount(int c) const;
};

enum class MarketParseEnd {
    Complete,   // every record read
    DoesNotFit, // a record beyond the table sizes: parsing stopped there
    Stopped,    // the stop flag was raised
};

struct MarketParseResult {
    MarketTables Tables;
    MarketParseEnd End = MarketParseEnd::Complete;
    int Records = 0; // records stored
};

// The records of a market document whose first 48 characters were already removed: skip one
// character (the LF of the line before), take the text up to the next CR; repeat while more
// than one character remains.
// stop is asked every few hundred records.
MarketParseResult ParseMarket(std::string_view text, const MarketTableSizes& sizes,
                              const std::function<bool()>& stop = {});

// The location name shortened word by word (each word cut to 4 characters and followed by a
// blank), padded to 16, then "Q" and the quantity padded to 8, then "c" and the price.
std::string MarketCellLine(std::string_view location, std::string_view quantity,
                           std::string_view price);

} // namespace trelk
