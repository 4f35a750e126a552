#include "keyboard/PilotPosition.h"

#include <cstdint>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();

TEST(PilotPositionTest, TenthsRoundHalvesToEvenFromTheDecimalText) {
    struct Case {
        const char* word;
        std::int32_t tenths;
    };
    for (const Case c : {Case{"12.5", 125},
                         {"-3", -30},
                         {"7.25", 72},
                         {"7.35", 74},
                         {"0.25", 2},
                         {"0.15", 2},
                         {"-0.25", -2},
                         {"0.05", 0},
                         // Exact decimal: 124.5 is a half, not 124.4999... or 124.5000...1.
                         {"12.45", 124},
                         {"12.4500001", 125},
                         {"12.55", 126},
                         {"100", 1000},
                         {"+1", 10},
                         {".5", 5},
                         {"5.", 50},
                         {"-0", 0},
                         {"1e2", 1000},
                         {"1.5E-1", 2},
                         {"000000000000000000001.0", 10},
                         {"1e-400", 0},
                         {"0e99999999999999999999", 0}}) {
        EXPECT_EQ(ParseTenths(c.word), c.tenths) << c.word;
    }
}

TEST(PilotPositionTest, TenthsOutside32BitsOrNotNumbersAreRejected) {
    EXPECT_EQ(ParseTenths("214748364.7"), Max);
    EXPECT_EQ(ParseTenths("214748364.74"), Max);
    EXPECT_EQ(ParseTenths("-214748364.8"), Min);
    for (const char* word : {"214748364.8",
                             "214748364.75",
                             "-214748364.9",
                             "99999999999",
                             "1e400",
                             "1e9",
                             "21474836470000000000000",
                             "",
                             "-",
                             "+",
                             ".",
                             "-.",
                             "1.2.3",
                             "1,5",
                             "x",
                             "1x",
                             "1e",
                             "e5",
                             "1e+",
                             "0x10",
                             "nan",
                             "inf",
                             "1 ",
                             " 1",
                             "--1",
                             "1-",
                             "\r1"}) {
        EXPECT_EQ(ParseTenths(word), std::nullopt) << word;
    }
    EXPECT_EQ(ParseTenths(std::string(100000, '9')), std::nullopt);
    EXPECT_EQ(ParseTenths("0." + std::string(100000, '0') + "1"), 0);
}

TEST(PilotPositionTest, FormattedTenthsReadBackToTheSameValue) {
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

TEST(PilotPositionTest, ChatWordsSkipBlanksAndControlOnlyWords) {
    EXPECT_THAT(ChatWords("\r/lumacor  1   2 3 "), ElementsAre("\r/lumacor", "1", "2", "3"));
    EXPECT_THAT(ChatWords("\r \x01 a"), ElementsAre("a"));
    EXPECT_THAT(ChatWords("\r"), IsEmpty());
    EXPECT_THAT(ChatWords("   "), IsEmpty());
    // A control byte inside a word keeps the word whole: "1\x01" "2" is not "12".
    EXPECT_THAT(ChatWords("x 1\x01"
                          "2"),
                ElementsAre("x", "1\x01"
                                 "2"));
}

TEST(PilotPositionTest, StorePositionKeepsWhatParsedBeforeAFailure) {
    PilotPosition position;
    EXPECT_TRUE(position.StorePosition("/lumacor 12.5 -3 7.25 big rock"));
    EXPECT_EQ(position.PositionX, 125);
    EXPECT_EQ(position.PositionY, -30);
    EXPECT_EQ(position.PositionZ, 72);
    EXPECT_TRUE(position.PositionValid);

    EXPECT_FALSE(position.StorePosition("/lumacor 1 x 3"));
    EXPECT_EQ(position.PositionX, 10);
    EXPECT_EQ(position.PositionY, -30);
    EXPECT_EQ(position.PositionZ, 72);
    EXPECT_FALSE(position.PositionValid);

    EXPECT_TRUE(position.StorePosition("/lumacor 100 200 300"));
    // Missing words and an overflowing one fail the same way.
    EXPECT_FALSE(position.StorePosition("/lumacor 4 5"));
    EXPECT_EQ(position.PositionZ, 3000);
    EXPECT_FALSE(position.PositionValid);
    EXPECT_FALSE(position.StorePosition("/lumacor 99999999999 5 6"));
    EXPECT_EQ(position.PositionX, 40);
    EXPECT_FALSE(position.StorePosition("/lumacor"));
    EXPECT_FALSE(position.StorePosition(""));

    position.Reset();
    EXPECT_EQ(position.PositionX, 0);
    EXPECT_FALSE(position.PositionValid);
}

} // namespace
} // namespace trelk
