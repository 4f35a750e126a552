#include "macros/MacroLine.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

TEST(MacroLineTest, ChannelIsTheNumberBeforeTheFirstColonAndTheTextAllThatFollows) {
    struct Case {
        const char* macroLine;
        int channel;
        const char* text;
    };
    for (const Case& c :
         {Case{"3:hello", 3, "hello"}, Case{"5", 5, ""}, Case{"1:", 1, ""},
          Case{"2:a:b: c ", 2, "a:b: c "}, Case{"::4:x", 4, "x"}, Case{"004:x", 4, "x"}}) {
        const auto parsed = MacroLine::Parse(c.macroLine);
        ASSERT_TRUE(parsed) << c.macroLine;
        EXPECT_EQ(parsed->channel, c.channel) << c.macroLine;
        EXPECT_EQ(parsed->text, c.text) << c.macroLine;
    }
    for (const char* bad : {"", ":::", "x:gg", "9:gg", "0:gg", "6", "-1:x", "3 :x", "+3:x",
                            "99999999999999999999:x"}) {
        EXPECT_FALSE(MacroLine::Parse(bad)) << bad;
    }
}

TEST(MacroLineTest, EntrySplitsBackIntoChannelTextAndReturn) {
    EXPECT_EQ(BuildMacroEntry(2, "gg", true), "\xE5gg\r");
    const auto parts = SplitMacroEntry("\xE8/who\r");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->channel, 5);
    EXPECT_EQ(parts->text, "/who");
    EXPECT_TRUE(parts->addReturn);
    EXPECT_FALSE(SplitMacroEntry(""));
    EXPECT_FALSE(SplitMacroEntry("plain"));
    const auto bare = SplitMacroEntry("\xE4");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->text, "");
    EXPECT_FALSE(bare->addReturn);
}

TEST(MacroLineTest, LettersThatAreKeyCodesBecomePlainLettersAndAreNamedOnce) {
    const TypableText plain = MakeTypable("Hello \xDF\xC4\xE3 #1");
    EXPECT_EQ(plain.text, "Hello \xDF\xC4\xE3 #1");
    EXPECT_EQ(plain.replaced, "");
    EXPECT_TRUE(IsTypable(plain.text));

    const TypableText mixed = MakeTypable("gr\xFC\xDF\xFC \xE6\xF7\xFE\xFF");
    EXPECT_EQ(mixed.text, "gru\xDFu aethy");
    EXPECT_EQ(mixed.replaced, "\xFC -> u, \xE6 -> ae, \xF7 left out, \xFE -> th, \xFF -> y");
    EXPECT_FALSE(IsTypable("gr\xFC"));
    // Every byte from 228 up is replaced by bytes below it.
    for (int b = 228; b <= 255; ++b) {
        EXPECT_TRUE(IsTypable(MakeTypable(std::string(1, static_cast<char>(b))).text)) << b;
    }
}

} // namespace
} // namespace trelk
