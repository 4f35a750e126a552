#include "downloads/MarketTables.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

// Records as the document carries them once its first 48 characters are gone: each preceded
// by the LF of the line before and ended by CR.
std::string Records(std::initializer_list<const char*> records) {
    std::string text;
    for (const char* record : records) {
        text += '\n';
        text += record;
        text += '\r';
    }
    return text + '\n';
}

TEST(MarketTablesTest, CellLineShortensEveryWordAndPadsTheColumns) {
    EXPECT_EQ(MarketCellLine("North Trade Station", "120", "45"), "Nort Trad Stat  Q120     c45");
    // Two blanks in a row give an empty word, so one blank more.
    EXPECT_EQ(MarketCellLine("Ab  Cd", "1", "2"), "Ab  Cd          Q1       c2");
    // Texts longer than their columns are not cut.
    EXPECT_EQ(MarketCellLine("Abcd Efgh Ijkl Mnop", "123456789", "7"),
              "Abcd Efgh Ijkl Mnop Q123456789c7");
}

TEST(MarketTablesTest, PivotsRecordsByCategoryItemAndLocation) {
    const std::string text = Records({
        "North Trade Station,Ores,Iron,120,45",
        "North Trade Station,Ores,Copper,5,9,ignored,fields",
        "North Trade Station,Fuels,Helium,7,300",
        "Vega Prime Outpost,Ores,Iron,1,2",
        "Vega Prime Outpost,Ores,Copper,3,4",
        "Vega Prime Outpost,Fuels,Helium,5,6",
    });
    const MarketParseResult result = ParseMarket(text, {});
    ASSERT_EQ(result.End, MarketParseEnd::Complete);
    const MarketTables& t = result.Tables;
    EXPECT_EQ(result.Records, 6);
    EXPECT_EQ(t.LocationCount, 2);
    EXPECT_EQ(t.CategoryCount, 2);
    EXPECT_EQ(t.Categories, (std::vector<std::string>{"Ores", "Fuels"}));
    EXPECT_EQ(t.ItemCount(0), 2);
    EXPECT_EQ(t.ItemCount(1), 1);
    EXPECT_EQ(t.Item(0, 1), "Copper");
    EXPECT_EQ(t.Cell(0, 1, 0), "Nort Trad Stat  Q5       c9");
    // The second location starts its categories again: its cells land beside the first's.
    EXPECT_EQ(t.Cell(0, 0, 1), "Vega Prim Outp  Q1       c2");
    EXPECT_EQ(t.Cell(1, 0, 1), "Vega Prim Outp  Q5       c6");
    EXPECT_EQ(t.Cell(5, 5, 5), "") << "outside the data";
}

TEST(MarketTablesTest, OneCharacterLeftHoldsNoRecord) {
    const MarketParseResult one = ParseMarket("\n", {});
    EXPECT_EQ(one.End, MarketParseEnd::Complete);
    EXPECT_EQ(one.Records, 0);
    EXPECT_EQ(one.Tables.CategoryCount, 0);
    EXPECT_EQ(one.Tables.LocationCount, 0);
    // Without the final LF the last record is still read.
    const MarketParseResult unterminated = ParseMarket("\nA,B,C,1,2", {});
    EXPECT_EQ(unterminated.Records, 1);
    EXPECT_EQ(unterminated.Tables.Cell(0, 0, 0), "A               Q1       c2");
}

TEST(MarketTablesTest, DataBeyondTheTableSizesStopsAtTheFirstRecordThatDoesNotFit) {
    MarketTableSizes sizes;
    sizes.ItemTypes = 2;
    sizes.MarketSectors = 2;
    const MarketParseResult items =
        ParseMarket(Records({"L1,C,I1,1,1", "L1,C,I2,1,1", "L1,C,I3,1,1", "L1,C,I4,1,1"}), sizes);
    EXPECT_EQ(items.End, MarketParseEnd::DoesNotFit);
    EXPECT_EQ(items.Records, 2);

    const MarketParseResult locations =
        ParseMarket(Records({"L1,C,I,1,1", "L2,C,I,1,1", "L3,C,I,1,1"}), sizes);
    EXPECT_EQ(locations.End, MarketParseEnd::DoesNotFit);
    EXPECT_EQ(locations.Records, 2);

    // Ten category names at most, whatever the settings allow.
    std::string eleven;
    for (int c = 1; c <= 11; ++c) {
        eleven += "\nL,C" + std::to_string(c) + ",I,1,1\r";
    }
    const MarketParseResult categories = ParseMarket(eleven + "\n", {});
    EXPECT_EQ(categories.End, MarketParseEnd::DoesNotFit);
    EXPECT_EQ(categories.Records, 10);
    MarketTableSizes fewTypes;
    fewTypes.MarketTypes = 3;
    EXPECT_EQ(ParseMarket(eleven + "\n", fewTypes).Records, 3);

    // A setting of any size allocates only what the document holds.
    MarketTableSizes vast{.MarketTypes = 1 << 30, .ItemTypes = 1 << 30, .MarketSectors = 1 << 30};
    EXPECT_EQ(ParseMarket(Records({"L,C,I,1,1"}), vast).End, MarketParseEnd::Complete);
    MarketTableSizes none{.MarketTypes = -5, .ItemTypes = 0, .MarketSectors = -1};
    EXPECT_EQ(ParseMarket(Records({"L,C,I,1,1"}), none).End, MarketParseEnd::DoesNotFit);
}

TEST(MarketTablesTest, RecordsWithMissingFieldsAndStopRequests) {
    const MarketParseResult sparse = ParseMarket(Records({"Only", ",,,", "L,C"}), {});
    EXPECT_EQ(sparse.End, MarketParseEnd::Complete);
    EXPECT_EQ(sparse.Records, 3);
    EXPECT_EQ(sparse.Tables.Cell(0, 0, 0), "Only            Q        c");

    const MarketParseResult stopped = ParseMarket(Records({"L,C,I,1,1"}), {}, [] { return true; });
    EXPECT_EQ(stopped.End, MarketParseEnd::Stopped);
}

} // namespace
} // namespace trelk
