// Coordinate words in tenths: the one reading that the "/lumacor" line, "//dflr" and the
// distance texts of the coordinate lists share.

#include "core/CoordinateText.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

namespace trelk {
namespace {

constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();

TEST(CoordinateTextTest, DecimalTextRoundsExactlyHalvesToEven) {
    struct Case {
        const char* word;
        std::int32_t tenths;
    };
    for (const Case c : {Case{"12.5", 125},
                         {"-3", -30},
                         {"+3", 30},
                         {"+1", 10},
                         {"100", 1000},
                         {"7.25", 72},
                         {"7.35", 74},
                         {"-7.75", -78},
                         {"0.25", 2},
                         {"0.35", 4},
                         {"0.15", 2},
                         {"-0.25", -2},
                         {"0.05", 0},
                         {"-0.05", 0},
                         // Exact decimal: 124.5 is a half, not 124.4999... or 124.5000...1.
                         {"12.45", 124},
                         {"12.4500001", 125},
                         {"12.55", 126},
                         {".5", 5},
                         {"5.", 50},
                         {"-0", 0},
                         {"1e2", 1000},
                         {"1e3", 10000},
                         {"1.5E-1", 2},
                         {"25E-2", 2},
                         {"000000000000000000001.0", 10},
                         {"000000000000000000012.3", 123},
                         {"0.0000000000000000000000001", 0},
                         {"1e-400", 0},
                         {"0e99999999999999999999", 0}}) {
        EXPECT_EQ(ParseTenths(c.word), c.tenths) << c.word;
    }
}

TEST(CoordinateTextTest, OnlyNumbersWhoseTenthsFitThirtyTwoBits) {
    EXPECT_EQ(ParseTenths("214748364.7"), Max);
    EXPECT_EQ(ParseTenths("214748364.74"), Max);
    EXPECT_EQ(ParseTenths("-214748364.8"), Min);
    EXPECT_EQ(ParseTenths("-214748364.84"), Min);
    EXPECT_EQ(ParseTenths("-214748364.85"), Min) << "the half goes to the even neighbour";
    for (const char* word :
         {"214748364.8", "214748364.75", "-214748364.86", "-214748364.9", "99999999999", "1e400",
          "1e9", "1e99999999999", "21474836470000000000000"}) {
        EXPECT_EQ(ParseTenths(word), std::nullopt) << word;
    }
    for (const char* word :
         {"",    "-",    "+",    ".",   "-.",  "1.2.3", "1,5", "x",   "1x",  "12k", "1e",  "e5",
          "1e+", "1e-x", "0x10", "nan", "inf", "1 ",    " 1",  "--1", "+-1", "1-",  "\r1", "1\t"}) {
        EXPECT_EQ(ParseTenths(word), std::nullopt) << '"' << word << '"';
    }
}

TEST(CoordinateTextTest, VeryLongWordsAreReadExactly) {
    EXPECT_EQ(ParseTenths(std::string(100000, '9')), std::nullopt);
    EXPECT_EQ(ParseTenths("0." + std::string(100000, '0') + "1"), 0);
    // The exponent is counted past the number of digits after the point: 10^-100001 * 10^100005.
    EXPECT_EQ(ParseTenths("0." + std::string(100000, '0') + "1e100005"), 100000);
    EXPECT_EQ(ParseTenths("1" + std::string(50, '0') + "e-50"), 10);
}

// Spellings a pilot or a data file may use for one value: sign, leading zeros, the point moved
// with an exponent to match, trailing zeros.
std::string Spell(std::int32_t tenths, std::mt19937& random) {
    std::uniform_int_distribution<int> coin(0, 1);
    std::uniform_int_distribution<int> few(0, 3);
    const std::int64_t value = tenths;
    std::string text = value < 0 ? "-" : coin(random) != 0 ? "+" : "";
    const std::string digits = std::to_string(value < 0 ? -value : value);
    text += std::string(static_cast<std::size_t>(few(random)), '0');
    // The digits of the tenths with the point after `at` of them, then exponent e: the value is
    // digits * 10^(e - (size - at)), and must be digits * 10^-1.
    const int at = std::uniform_int_distribution<int>(0, static_cast<int>(digits.size()))(random);
    const int exponent = static_cast<int>(digits.size()) - at - 1;
    text += digits.substr(0, static_cast<std::size_t>(at));
    text += '.';
    text += digits.substr(static_cast<std::size_t>(at));
    text += std::string(static_cast<std::size_t>(few(random)), '0');
    if (exponent != 0 || coin(random) != 0) {
        text += (coin(random) != 0 ? "e" : "E") + std::to_string(exponent);
    }
    return text;
}

TEST(CoordinateTextTest, EverySpellingOfAValueGivesItsTenths) {
    std::mt19937 random(11);
    std::uniform_int_distribution<std::int32_t> any(Min, Max);
    for (int n = 0; n < 20000; ++n) {
        const std::int32_t tenths =
            n < 3 ? std::array{0, Min, Max}[static_cast<std::size_t>(n)] : any(random);
        const std::string word = Spell(tenths, random);
        ASSERT_EQ(ParseTenths(word), tenths) << word;
        // Text around a number is never part of it.
        const std::string noise = " x,\t\r";
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, word.size())(random);
        std::string spoilt = word;
        spoilt.insert(at, 1, noise[static_cast<std::size_t>(n) % noise.size()]);
        ASSERT_EQ(ParseTenths(spoilt), std::nullopt) << '"' << spoilt << '"';
    }
}

TEST(CoordinateTextTest, DigitsBeyondTheTenthsRoundHalfToEven) {
    std::mt19937 random(5);
    std::uniform_int_distribution<std::int32_t> any(-(Max - 1), Max - 1);
    for (int n = 0; n < 20000; ++n) {
        const std::int32_t tenths = any(random);
        const int places = 1 + n % 6;
        std::int64_t scale = 1;
        for (int k = 0; k < places; ++k) {
            scale *= 10;
        }
        // Halves and their neighbours often, anything else otherwise.
        std::int64_t rest = std::uniform_int_distribution<std::int64_t>(0, scale - 1)(random);
        if (n % 4 == 0) {
            rest = scale / 2 + (n % 3) - 1;
        }
        std::string tail = std::to_string(rest);
        tail.insert(0, static_cast<std::size_t>(places) - tail.size(), '0');
        const std::int64_t magnitude = tenths < 0 ? -std::int64_t{tenths} : tenths;
        const std::string word = (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
                                 std::to_string(magnitude % 10) + tail;
        const bool up = 2 * rest > scale || (2 * rest == scale && magnitude % 2 != 0);
        const std::int64_t rounded = magnitude + (up ? 1 : 0);
        ASSERT_EQ(ParseTenths(word), tenths < 0 ? -rounded : rounded) << word;
    }
}

TEST(CoordinateTextTest, FormattedTenthsReadBackToTheSameValue) {
    EXPECT_EQ(FormatTenths(1234), "123.4");
    EXPECT_EQ(FormatTenths(1000), "100");
    EXPECT_EQ(FormatTenths(-5), "-0.5");
    EXPECT_EQ(FormatTenths(0), "0");
    EXPECT_EQ(FormatTenths(Min), "-214748364.8");
    EXPECT_EQ(FormatTenths(Max), "214748364.7");

    std::mt19937 random(7);
    std::uniform_int_distribution<std::int32_t> any(Min, Max);
    for (int n = 0; n < 2000; ++n) {
        const std::int32_t value = any(random);
        EXPECT_EQ(ParseTenths(FormatTenths(value)), value);
    }
}

} // namespace
} // namespace trelk
