#include "core/TextHelpers.h"

#include <climits>
#include <gtest/gtest.h>

namespace trelk {
namespace {

TEST(TextHelpersTest, WordsIgnoreLeadingTrailingAndRepeatedDelimiters) {
    const std::string line = "  ,alpha,, beta  gamma,";
    EXPECT_EQ(WordCount(line, " ,"), 3);
    EXPECT_EQ(ExtractWord(1, line, " ,"), "alpha");
    EXPECT_EQ(ExtractWord(2, line, " ,"), "beta");
    EXPECT_EQ(ExtractWord(3, line, " ,"), "gamma");
    EXPECT_EQ(ExtractWord(4, line, " ,"), "");
    EXPECT_EQ(ExtractWord(0, line, " ,"), "");
    EXPECT_EQ(ExtractWord(-1, line, " ,"), "");
    EXPECT_EQ(WordCount("", " "), 0);
    EXPECT_EQ(WordCount("   ", " "), 0);
    EXPECT_EQ(WordCount("one", ""), 1);
}

TEST(TextHelpersTest, FieldsCountEveryDelimiterIncludingEmptyOnes) {
    const std::string line = ";a;;b;";
    EXPECT_EQ(ExtractField(1, line, ";"), "");
    EXPECT_EQ(ExtractField(2, line, ";"), "a");
    EXPECT_EQ(ExtractField(3, line, ";"), "");
    EXPECT_EQ(ExtractField(4, line, ";"), "b");
    EXPECT_EQ(ExtractField(5, line, ";"), "");
    EXPECT_EQ(ExtractField(6, line, ";"), "");
    EXPECT_EQ(ExtractField(0, line, ";"), "");
    EXPECT_EQ(ExtractField(2, "x,y;z", ",;"), "y");
    EXPECT_EQ(ExtractField(3, "x,y;z", ",;"), "z");
    EXPECT_EQ(ExtractField(1, "whole", ";"), "whole");
}

TEST(TextHelpersTest, CutAtTakesTextBeforeCharAndOptionallyConsumesIt) {
    std::string source = "RoidA.txt;RoidB.txt;";
    EXPECT_EQ(CutAt(source, ';', false), "RoidA.txt");
    EXPECT_EQ(source, "RoidA.txt;RoidB.txt;");
    EXPECT_EQ(CutAt(source, ';', true), "RoidA.txt");
    EXPECT_EQ(source, "RoidB.txt;");
    EXPECT_EQ(CutAt(source, ';', true), "RoidB.txt");
    EXPECT_EQ(source, "");

    std::string noDelimiter = "last entry";
    EXPECT_EQ(CutAt(noDelimiter, ';', false), "last entry");
    EXPECT_EQ(noDelimiter, "last entry");
    EXPECT_EQ(CutAt(noDelimiter, ';', true), "last entry");
    EXPECT_EQ(noDelimiter, "");

    std::string leading = ";rest";
    EXPECT_EQ(CutAt(leading, ';', true), "");
    EXPECT_EQ(leading, "rest");
}

TEST(TextHelpersTest, BlankHandling) {
    EXPECT_EQ(CollapseSpaces("  a   b c  "), " a b c ");
    EXPECT_EQ(CollapseSpaces("a\t\tb"), "a\t\tb");
    EXPECT_EQ(TabsToSpaces("a\tb\t", 3), "a   b   ");
    EXPECT_EQ(TabsToSpaces("a\tb", 0), "ab");
    EXPECT_EQ(TrimSpaces("   x y  "), "x y");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimSpaces(" \tx\r "), "\tx\r");
    EXPECT_EQ(RemoveChar("a-b--c-", '-'), "abc");
    EXPECT_EQ(PadRight("ab", 5), "ab   ");
    EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
    EXPECT_EQ(PadRight("ab", -2), "ab");
}

TEST(TextHelpersTest, ParseIntegerAcceptsDecimalAndBothHexForms) {
    EXPECT_EQ(ParseInteger("42"), 42);
    EXPECT_EQ(ParseInteger("  -17 \t"), -17);
    EXPECT_EQ(ParseInteger("+8"), 8);
    EXPECT_EQ(ParseInteger("$1F"), 31);
    EXPECT_EQ(ParseInteger("0x1f"), 31);
    EXPECT_EQ(ParseInteger("0XFFFFFF"), 16777215);
    EXPECT_EQ(ParseInteger("-$10"), -16);
    EXPECT_EQ(ParseInteger("007"), 7);
    EXPECT_EQ(ParseInteger("2147483647"), INT_MAX);
    EXPECT_EQ(ParseInteger("-2147483648"), INT_MIN);
}

TEST(TextHelpersTest, ParseIntegerRejectsEverythingElse) {
    for (const char* text :
         {"", "  ", "-", "+", "$", "0x", "12abc", "1 2", "1.5", "- 5", "$G", "0x1G", "abc",
          "2147483648", "-2147483649", "$100000000", "99999999999999999999999"}) {
        EXPECT_EQ(ParseInteger(text), std::nullopt) << '"' << text << '"';
    }
}

} // namespace
} // namespace trelk
