#include "ServiceDocuments.h"

#include "SampleNumbers.h"

#include <algorithm>
#include <array>

namespace trelk::services {

namespace {

constexpr std::array<const char*, 10> LocationFirst = {
    "North", "Vega", "Orion", "Kessel", "Lumen", "Tarsis", "Delta", "Halcyon", "Brisk", "Corva"};
constexpr std::array<const char*, 6> LocationMiddle = {"Trade", "Prime", "Deep",
                                                       "Outer", "Iron",  "Silver"};
constexpr std::array<const char*, 5> LocationLast = {"Station", "Outpost", "Exchange", "Depot",
                                                     "Harbour"};
constexpr std::array<const char*, 10> Categories = {"Ores",     "Metals",      "Fuels",   "Food",
                                                    "Medical",  "Electronics", "Weapons", "Shields",
                                                    "Luxuries", "Machinery"};
constexpr std::array<const char*, 12> ItemWords = {"Iron",  "Copper",  "Helium", "Grain",
                                                   "Serum", "Circuit", "Plasma", "Field",
                                                   "Spice", "Gear",    "Quartz", "Cobalt"};

template <typename Words> const char* Pick(const Words& words, std::size_t n) {
    return words[n % words.size()];
}

std::string LocationName(std::size_t n) {
    const std::size_t first = LocationFirst.size();
    const std::size_t middle = LocationMiddle.size();
    std::string name = Pick(LocationFirst, n);
    name += ' ';
    name += Pick(LocationMiddle, n / first);
    name += ' ';
    name += Pick(LocationLast, n / (first * middle));
    const std::size_t round = n / (first * middle * LocationLast.size());
    if (round > 0) {
        name += ' ' + std::to_string(round + 1);
    }
    return name;
}

std::string CategoryName(std::size_t c) {
    std::string name = Pick(Categories, c);
    if (c >= Categories.size()) {
        name += ' ' + std::to_string(c / Categories.size() + 1);
    }
    return name;
}

std::string ItemName(std::size_t c, std::size_t i) {
    return std::string(Pick(ItemWords, c + i)) + " Grade " + std::to_string(i + 1);
}

} // namespace

std::string MarketDocument(const MarketShape& shape) {
    std::string header = "Voidline market inventory (sample service)";
    header.resize(47, '.');
    std::string text = header + "\r";
    Numbers numbers{12345u};
    const std::string padding =
        shape.padding > 0 ? "," + std::string(static_cast<std::size_t>(shape.padding), 'x') : "";
    const auto locations = static_cast<std::size_t>(std::max(shape.locations, 0));
    const auto categories = static_cast<std::size_t>(std::max(shape.categories, 0));
    const auto items = static_cast<std::size_t>(std::max(shape.items, 0));
    text.reserve(locations * categories * items * (48 + padding.size()));
    for (std::size_t l = 0; l < locations; ++l) {
        const std::string location = LocationName(l);
        for (std::size_t c = 0; c < categories; ++c) {
            const std::string category = CategoryName(c);
            for (std::size_t i = 0; i < items; ++i) {
                text += '\n';
                text += location;
                text += ',';
                text += category;
                text += ',';
                text += ItemName(c, i);
                text += ',';
                text += std::to_string(numbers.between(0, 5000));
                text += ',';
                text += std::to_string(numbers.between(1, 900));
                text += padding;
                text += '\r';
            }
        }
    }
    text += '\n';
    return text;
}

std::string BinaryGarbage(std::size_t size, std::uint32_t seed) {
    Numbers numbers{seed};
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(numbers.next() & 0xFF);
    }
    return bytes;
}

std::string IndexPage() {
    return "<!DOCTYPE html><html><head><title>Subspace relay</title></head>"
           "<body style=\"background:#102030;color:#e0e8f0;font-family:sans-serif\">"
           "<h1>Subspace relay</h1><ul><li><a href=\"/web/wide.html\">Wide chart</a></li>"
           "<li><a href=\"/web/long.html\">Long bulletin</a></li></ul></body></html>";
}

std::string WidePage() {
    std::string page = "<!DOCTYPE html><html><head><title>Wide chart</title></head>"
                       "<body style=\"margin:0;background:#000010\">"
                       "<table style=\"width:900px;border-collapse:collapse;color:#c0ffc0\"><tr>";
    for (int column = 0; column < 9; ++column) {
        page += "<td style=\"width:100px;height:60px;border:1px solid #40a040\">Sector " +
                std::to_string(column + 1) + "</td>";
    }
    page += "</tr></table></body></html>";
    return page;
}

std::string LongPage() {
    std::string page = "<!DOCTYPE html><html><head><title>Long bulletin</title></head>"
                       "<body style=\"background:#201010;color:#ffe0c0\">";
    for (int line = 1; line <= 120; ++line) {
        page += "<p>Bulletin line " + std::to_string(line) + ": convoy schedules and prices.</p>";
    }
    page += "</body></html>";
    return page;
}

} // namespace trelk::services
