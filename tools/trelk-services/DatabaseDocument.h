#pragma once

#include <string>

namespace trelk::services {

// The coordinate database document: a header line with the date ("Trelk Database: 05-08-17 ;
// ..."), then LF-separated records "id;region;object;x;y;z;category;size" with the coordinates
// in thousandths. Regions hold objects, objects hold records; every category and size the
// program maps appears, and some it does not know; a few names carry the quotes and
// backslashes the program removes. Deterministic for a count.
std::string DatabaseHeader(const std::string& date); // the first line, with its LF
std::string DatabaseRecords(int records);
std::string DatabaseDocument(int records, const std::string& date);

} // namespace trelk::services
