// What the add-on exchange makes of the texts add-ons write.

#include "addons/AddOnText.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

using namespace addontext;

TEST(AddOnTextTest, Utf8IsConvertedAndOtherBytesAreTakenAsTheyAre) {
    EXPECT_EQ(LineFromStore("Erz \xC3\xA4 \xE2\x82\xAC \xE2\x84\xA2"), "Erz \xE4 \x80 \x99");
    EXPECT_EQ(LineFromStore("\xF0\x9F\x9A\x80 go"), "? go") << "beyond the code page";
    // Not UTF-8: a lone continuation byte, an overlong form, a cut sequence.
    EXPECT_EQ(LineFromStore("\xE4rger"), "\xE4rger");
    EXPECT_EQ(LineFromStore("\xC0\xAF"), "\xC0\xAF");
    EXPECT_EQ(LineFromStore("ab\xE2\x82"), "ab\xE2\x82");
    EXPECT_EQ(LineFromStore("tab\there\x7F"), "tab here ");
    EXPECT_EQ(LineFromStore(std::string(2000, '\xE4')).size(), MaxLineLength);
    EXPECT_EQ(LineFromStore(std::string(1000, 'a') + "\xC3\xA4").size(), MaxLineLength);
}

TEST(AddOnTextTest, OnlyADecimalFromZeroToFifteenIsAHighlight) {
    EXPECT_EQ(HighlightFromStore("15"), 15);
    EXPECT_EQ(HighlightFromStore(" 3 "), 3);
    EXPECT_EQ(HighlightFromStore("07"), 7);
    for (const char* bad : {"", "16", "-1", "+2", "1.5", "0x3", "3 4", "999"}) {
        EXPECT_EQ(HighlightFromStore(bad), 0) << bad;
    }
}

TEST(AddOnTextTest, NamesThatWouldBreakTheListOrACaptionAreRefused) {
    EXPECT_EQ(NameProblem("Cargo Hold \xE4"), "");
    EXPECT_NE(NameProblem("a,b"), "");
    EXPECT_NE(NameProblem("a\nb"), "");
    EXPECT_NE(NameProblem("   "), "");
    EXPECT_NE(NameProblem(std::string(MaxNameLength + 1, 'n')), "");
    EXPECT_EQ(NameProblem(std::string(MaxNameLength, 'n')), "");
    EXPECT_EQ(RegListText({"Miner", "Radar"}), "Miner,Radar,");
    EXPECT_EQ(RegListText({}), "");
}

} // namespace
} // namespace trelk
