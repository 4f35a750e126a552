#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trelk {

// What ConvertDatabase made of a downloaded coordinate database document.
struct DatabaseConversion {
    bool ok = false;
    std::string date;     // the header's database date ("05-08-17")
    std::string fileText; // "MyLumacor.dat": group, sub-group and entry lines, CR LF each
    std::size_t records = 0;
    std::string error; // why not, in the pilot's words, when !ok
};

// The document as the database service publishes it: a header line whose second ':' or ';'
// field is the date, then one record per LF-separated line, "key;region;object;x;y;z;category;
// size" with the coordinates in thousandths. An empty line ends the records.
//
// The records are sorted without regard to case (equal ones newest first, as the list that
// stayed sorted on every insertion kept them), then written as the data file. Time grows with
// the records as a sort does; the document is read once, from a view.
//
// A record whose coordinate is not a whole number stops the conversion: nothing is made, so the
// file and its date stay as they were. So does a header without a date (an error page, say).
DatabaseConversion ConvertDatabase(std::string_view document);

// Field 7 and 8 as the entry lines write them; anything else is "---".
std::string_view CategoryText(std::string_view category);
std::string_view SizeText(std::string_view size);

// Thousandths as a coordinate with one decimal, halves away from zero: 12340 "12.3", -6790
// "-6.8", 12350 "12.4", -12350 "-12.4", -40 "0.0".
std::string Thousandths(std::int64_t value);

// A database date as a number: "05-08-17" is 50817. Blanks and line ends around it are
// ignored; nullopt when what remains without its '-' is not a run of digits (or too long).
std::optional<std::int64_t> DateNumber(std::string_view date);

} // namespace trelk
