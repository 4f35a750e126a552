#pragma once

#include <cstdint>
#include <string>

namespace trelk::services {

// The size of the generated market: locations × categories × items records.
struct MarketShape {
    int locations = 8;
    int categories = 6;
    int items = 12;
    // Extra characters after the fifth field of every record (ignored by readers), to make big
    // documents of few records.
    int padding = 0;
};

// The market document: a header line of 47 characters and CR, then one record per line
// (LF before, CR after): location, category, item, quantity, price. Every location lists the
// same categories and items in the same order. Deterministic for a shape.
std::string MarketDocument(const MarketShape& shape);

// Bytes of every value, deterministic for a seed.
std::string BinaryGarbage(std::size_t size, std::uint32_t seed);

// The web pages: a start page linking the others, one 900 pixels wide and one long enough to
// scroll.
std::string IndexPage();
std::string WidePage();
std::string LongPage();

} // namespace trelk::services
