#include "data/DflrText.h"

#include <gtest/gtest.h>
#include <limits>

namespace trelk {
namespace {

constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();

TEST(FormatDflrTextTest, DistanceFromTheStoredPosition) {
    const LumacorOrigin origin{.X = 0, .Y = 0, .Z = 0, .Valid = true};
    EXPECT_EQ(FormatDflrText("3 4 0", origin), " (DFLR 5k)");
    EXPECT_EQ(FormatDflrText("0.25 0 0", origin), " (DFLR 0.2k)");
    EXPECT_EQ(FormatDflrText("  3   4  0 big rock", origin), " (DFLR 5k)");
    // sqrt(2) and sqrt(3) tenths: to the nearest tenth.
    EXPECT_EQ(FormatDflrText("0.1 0.1 0", origin), " (DFLR 0.1k)");
    EXPECT_EQ(FormatDflrText("0.1 0.1 0.1", origin), " (DFLR 0.2k)");
    const LumacorOrigin away{.X = 12345, .Y = -20, .Z = 7, .Valid = true};
    EXPECT_EQ(FormatDflrText("1234.5 -2 0.7", away), " (DFLR 0k)");
    EXPECT_EQ(FormatDflrText("1234.5 -2 1.9", away), " (DFLR 1.2k)");
}

TEST(FormatDflrTextTest, NoPositionOrNoCoordinates) {
    EXPECT_EQ(FormatDflrText("3 4 0", LumacorOrigin{}), " (DFLR ---)");
    const LumacorOrigin origin{.Valid = true};
    for (const char* entry : {"", "3 4", "3 4 x", "Sector A", "3 4 0.0.1"}) {
        EXPECT_EQ(FormatDflrText(entry, origin), "") << entry;
        EXPECT_EQ(FormatDflrText(entry, LumacorOrigin{}), "") << entry;
    }
}

TEST(FormatDflrTextTest, ExactAtTheFarthestPositions) {
    // Beyond 4634.1 the squares no longer fit 32 bits; at the extremes not even 64.
    const LumacorOrigin origin{.Valid = true};
    EXPECT_EQ(FormatDflrText("5000 0 0", origin), " (DFLR 5000k)");
    EXPECT_EQ(FormatDflrText("-214748364.8 0 0", LumacorOrigin{.X = Max, .Valid = true}),
              " (DFLR 429496729.5k)");
    const LumacorOrigin corner{.X = Max, .Y = Max, .Z = Max, .Valid = true};
    EXPECT_EQ(FormatDflrText("-214748364.8 -214748364.8 -214748364.8", corner),
              " (DFLR 743910157.2k)");
    EXPECT_EQ(FormatDflrText("0 0 0", corner), " (DFLR 371955078.5k)");
}

} // namespace
} // namespace trelk
