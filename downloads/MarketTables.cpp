#include "MarketTables.h"

#include <algorithm>

namespace trelk {

namespace {

const std::string& Empty() {
    static const std::string empty;
    return empty;
}

// Field n (1-based) of a comma-separated record; every comma separates, empty fields count.
struct Fields {
    std::string_view parts[5];
};

Fields SplitRecord(std::string_view record) {
    Fields fields;
    std::size_t at = 0;
    for (int n = 0; n < 5; ++n) {
        if (at > record.size()) {
            break;
        }
        const std::size_t comma = record.find(',', at);
        const std::size_t end = comma == std::string_view::npos ? record.size() : comma;
        fields.parts[n] = record.substr(at, end - at);
        at = comma == std::string_view::npos ? record.size() + 1 : comma + 1;
    }
    return fields;
}

void PadTo(std::string& text, std::size_t start, std::size_t width) {
    if (text.size() - start < width) {
        text.append(width - (text.size() - start), ' ');
    }
}

} // namespace

int MarketTableSizes::MaxCategories() const {
    return std::max(0, std::min({CategoryNames, ItemCounts, MarketTypes, MarketSectors}));
}

const std::string& MarketTables::Cell(int c, int i, int l) const {
    if (c < 0 || i < 0 || l < 0 || c >= static_cast<int>(Cells.size())) {
        return Empty();
    }
    const auto& items = Cells[static_cast<std::size_t>(c)];
    if (i >= static_cast<int>(items.size())) {
        return Empty();
    }
    const auto& locations = items[static_cast<std::size_t>(i)];
    return l < static_cast<int>(locations.size()) ? locations[static_cast<std::size_t>(l)]
                                                  : Empty();
}

const std::string& MarketTables::Item(int c, int i) const {
    if (c < 0 || i < 0 || c >= static_cast<int>(Items.size())) {
        return Empty();
    }
    const auto& items = Items[static_cast<std::size_t>(c)];
    return i < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(i)] : Empty();
}

int MarketTables::ItemCount(int c) const {
    return c >= 0 && c < static_cast<int>(ItemCounts.size())
               ? ItemCounts[static_cast<std::size_t>(c)]
               : 0;
}

std::string MarketCellLine(std::string_view location, std::string_view quantity,
                           std::string_view price) {
    std::string line;
    line.reserve(40);
    // Split at single blanks: two blanks in a row give an empty word, and so a blank more.
    std::size_t at = 0;
    while (true) {
        const std::size_t blank = location.find(' ', at);
        const std::string_view word = location.substr(
            at, blank == std::string_view::npos ? std::string_view::npos : blank - at);
        line.append(word.substr(0, 4));
        line.push_back(' ');
        if (blank == std::string_view::npos) {
            break;
        }
        at = blank + 1;
    }
    PadTo(line, 0, 16);
    line.push_back('Q');
    const std::size_t quantityAt = line.size();
    line.append(quantity);
    PadTo(line, quantityAt, 8);
    line.push_back('c');
    line.append(price);
    return line;
}

MarketParseResult ParseMarket(std::string_view text, const MarketTableSizes& sizes,
                              const std::function<bool()>& stop) {
    MarketParseResult result;
    MarketTables& tables = result.Tables;
    const int maxCategories = sizes.MaxCategories();
    const int maxItems = std::max(0, sizes.ItemTypes);
    const int maxLocations = std::max(0, sizes.MarketSectors);

    int location = 0;
    int category = 0;
    int row = 0;
    std::string_view previousLocation = "NULL";
    bool anyLocation = false;
    std::string_view previousCategory;

    std::size_t at = 0;
    while (text.size() - at > 1) {
        if (stop && (result.Records & 0xFF) == 0 && stop()) {
            result.End = MarketParseEnd::Stopped;
            return result;
        }
        ++at; // the LF that ended the line before
        const std::size_t cr = text.find('\r', at);
        const std::size_t end = cr == std::string_view::npos ? text.size() : cr;
        const std::string_view record = text.substr(at, end - at);
        at = cr == std::string_view::npos ? text.size() : cr + 1;

        const Fields fields = SplitRecord(record);
        const std::string_view name = fields.parts[0];
        if (!anyLocation || name != previousLocation) {
            anyLocation = true;
            ++location;
            category = 0;
            row = 0;
            previousLocation = name;
            previousCategory = {};
            tables.CategoryCount = 0;
        }
        if (location > maxLocations) {
            result.End = MarketParseEnd::DoesNotFit;
            break;
        }
        const bool firstLocation = location == 1;
        if (category == 0 || fields.parts[1] != previousCategory) {
            if (category + 1 > maxCategories) {
                result.End = MarketParseEnd::DoesNotFit;
                break;
            }
            ++category;
            previousCategory = fields.parts[1];
            // A later location with more categories than the first adds them without names.
            const auto count = static_cast<std::size_t>(category);
            if (tables.Categories.size() < count) {
                tables.Categories.resize(count);
                tables.Items.resize(count);
                tables.ItemCounts.resize(count);
                tables.Cells.resize(count);
            }
            if (firstLocation) {
                tables.Categories[count - 1] = std::string(fields.parts[1]);
            }
            row = 0;
        }
        if (row + 1 > maxItems) {
            result.End = MarketParseEnd::DoesNotFit;
            break;
        }
        ++row;
        const auto c = static_cast<std::size_t>(category - 1);
        const auto i = static_cast<std::size_t>(row - 1);
        if (firstLocation) {
            tables.Items[c].emplace_back(fields.parts[2]);
        }
        auto& items = tables.Cells[c];
        if (items.size() <= i) {
            items.resize(i + 1);
        }
        auto& locations = items[i];
        const auto l = static_cast<std::size_t>(location - 1);
        if (locations.size() <= l) {
            locations.resize(l + 1);
        }
        locations[l] = MarketCellLine(name, fields.parts[3], fields.parts[4]);
        tables.ItemCounts[c] = row;
        tables.CategoryCount = category;
        ++result.Records;
    }
    tables.LocationCount = location;
    return result;
}

} // namespace trelk
