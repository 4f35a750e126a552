#include "DatabaseDocument.h"

#include "SampleNumbers.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace trelk::services {

namespace {

constexpr std::array<const char*, 12> Regions = {"Sector A",      "Sector B",       "Sector C",
                                                 "Kessel Reach",  "Outer Rim",      "Core Worlds",
                                                 "Halcyon Drift", "Vega Expanse",   "Corva Belt",
                                                 "Tarsis Deep",   "Lumen Frontier", "Brisk Nebula"};
constexpr std::array<const char*, 14> Objects = {
    "Field", "Belt",       "Moon",      "Ring", "Cluster",     "Drift",     "O'Malley's Rock",
    "Shoal", "Wreck Site", "Ice Shelf", "Spur", "Twins\\Gate", "`Old` Pit", "Reef"};
// What the program maps, and some it does not (written as "---").
constexpr std::array<const char*, 8> Categories = {
    "prec. metals", "semifluxor", "radioactive", "ice", "custom", "ore", "gas", "Ice"};
constexpr std::array<const char*, 6> Sizes = {"chip", "small", "med.", "big", "large", "huge"};

} // namespace

std::string DatabaseHeader(const std::string& date) {
    return "Trelk Database: " + date + " ; sample service\n";
}

std::string DatabaseRecords(int records) {
    std::string text;
    text.reserve(static_cast<std::size_t>(std::max(records, 0)) * 64);
    Numbers numbers{20051208u};
    int id = 1000;
    int n = 0;
    while (n < records) {
        // An object of a region: its records lie together around one place.
        const char* region = Regions[numbers.next() % Regions.size()];
        const std::string object = std::string(Objects[numbers.next() % Objects.size()]) + " " +
                                   std::to_string(numbers.between(1, 40));
        const int x = numbers.between(-900000, 900000);
        const int y = numbers.between(-900000, 900000);
        const int z = numbers.between(-90000, 90000);
        for (int rock = numbers.between(1, 12); rock > 0 && n < records; --rock, ++n) {
            text += std::to_string(++id);
            text += ';';
            text += region;
            text += ';';
            text += object;
            text += ';';
            text += std::to_string(x + numbers.between(-5000, 5000));
            text += ';';
            text += std::to_string(y + numbers.between(-5000, 5000));
            text += ';';
            text += std::to_string(z + numbers.between(-500, 500));
            text += ';';
            text += Categories[numbers.next() % Categories.size()];
            text += ';';
            text += Sizes[numbers.next() % Sizes.size()];
            text += '\n';
        }
    }
    return text;
}

std::string DatabaseDocument(int records, const std::string& date) {
    return DatabaseHeader(date) + DatabaseRecords(records);
}

} // namespace trelk::services
