#include "keyboard/PilotPosition.h"

#include <cstdint>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

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
