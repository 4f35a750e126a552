#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Coordinates as the pilot types them and the data files hold them, counted in tenths: the
// "/lumacor" line, "//dflr" and the entries of the coordinate lists all read them this one way.
namespace trelk {

// One coordinate word ("-12.35", "4", "1e3", ".5"; "." as the decimal point, an optional sign
// and exponent) in tenths, rounded to the nearest with halves to the even neighbour. Read
// exactly from the decimal digits, never through a binary fraction, so 7.25 and 12.45 round as
// their text says. Nothing for anything else (blanks included), or when the tenths do not fit
// a signed 32-bit count.
std::optional<std::int32_t> ParseTenths(std::string_view word);

// Tenths back as the coordinate in its shortest form: 1234 -> "123.4", 1000 -> "100".
std::string FormatTenths(std::int32_t tenths);

} // namespace trelk
