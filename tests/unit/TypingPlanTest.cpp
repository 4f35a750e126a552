// What to press for each character: the key, its level and group, and the dead-key rule, on the
// sim keyboard's layouts and on a few made-up ones for the rules they alone show.

#include "macros/TypingPlan.h"

#include "platform/ports/VirtualKeys.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

KeyStroke Key(int virtualKey, bool shift = false, bool altGr = false, int group = 0) {
    return {group, virtualKey, 0, shift, altGr};
}

// The strokes without their scan codes, which are the layout's business.
std::vector<KeyStroke> Keys(const TypingPlan::Strokes* strokes) {
    std::vector<KeyStroke> keys;
    if (strokes != nullptr) {
        for (KeyStroke stroke : *strokes) {
            stroke.scanCode = 0;
            keys.push_back(stroke);
        }
    }
    return keys;
}

std::string Describe(const std::vector<KeyStroke>& keys) {
    std::string text;
    for (const KeyStroke& key : keys) {
        text += "[g" + std::to_string(key.group) + " vk" + std::to_string(key.virtualKey) +
                (key.shift ? " shift" : "") + (key.altGr ? " altgr" : "") + "]";
    }
    return text;
}

class TypingPlanTest : public ::testing::Test {
protected:
    TypingPlan planFor(const std::string& layout) {
        EXPECT_TRUE(platform.simKeyboard().setLayout(layout));
        return TypingPlan(*platform.keyboard().layout());
    }
    SimPlatform platform;
};

TEST_F(TypingPlanTest, EachCharacterGetsItsKeyWithTheFewestLevelKeysAndTheMainBlockFirst) {
    const TypingPlan plan = planFor("de");
    const std::vector<std::pair<unsigned char, KeyStroke>> expected = {
        {'z', Key('Z')},                    // where a US keyboard has Y
        {'Z', Key('Z', true)},              //
        {'@', Key('Q', false, true)},       // AltGr
        {'\\', Key(Vk::Oem4, false, true)}, // AltGr on the ß key
        {0xE4, Key(Vk::Oem7)},              // ä
        {0xDF, Key(Vk::Oem4)},              // ß
        {'+', Key(Vk::OemPlus)},            // not the keypad's +
        {'*', Key(Vk::OemPlus, true)},      // Shift on the main block beats the plain keypad *
        {'/', Key('7', true)},              // and the keypad's /
        {'\'', Key(Vk::Oem2, true)},        // its own key, not the acute accent and a blank
        {' ', Key(Vk::Space)},
    };
    for (const auto& [character, key] : expected) {
        const std::vector<KeyStroke> keys = Keys(plan.choose(character, 0, 0));
        EXPECT_EQ(keys, std::vector<KeyStroke>{key})
            << "character " << int(character) << ": " << Describe(keys);
    }
}

TEST_F(TypingPlanTest, ADeadKeyTypesItsAccentWithABlankOrTwiceWhereABlankGivesAnotherCharacter) {
    const TypingPlan plan = planFor("de");
    const std::vector<std::pair<unsigned char, std::vector<KeyStroke>>> expected = {
        {'^', {Key(Vk::Oem5), Key(Vk::Space)}},
        {'`', {Key(Vk::Oem6, true), Key(Vk::Space)}},
        // The acute accent and a blank give an apostrophe: the accent alone is the dead key
        // twice.
        {0xB4, {Key(Vk::Oem6), Key(Vk::Oem6)}},
        // Letters with an accent the layout has no key for.
        {0xEA, {Key(Vk::Oem5), Key('E')}},       // ê
        {0xC9, {Key(Vk::Oem6), Key('E', true)}}, // É
        {0xF2, {Key(Vk::Oem6, true), Key('O')}}, // ò
    };
    for (const auto& [character, keys] : expected) {
        const std::vector<KeyStroke> chosen = Keys(plan.choose(character, 0, 0));
        EXPECT_EQ(chosen, keys) << "character " << int(character) << ": " << Describe(chosen);
    }
    // No dead tilde on this layout, and ~ has a key of its own.
    EXPECT_EQ(plan.choose(0xF1, 0, 0), nullptr); // ñ
    EXPECT_EQ(Keys(plan.choose('~', 0, 0)), std::vector<KeyStroke>{Key(Vk::OemPlus, false, true)});
}

TEST_F(TypingPlanTest, TheGroupInForceStaysWhileItHasTheCharacterThenThePilotsThenTheFirst) {
    const TypingPlan plan = planFor("us,ru");
    ASSERT_EQ(plan.groupCount(), 2);
    // Latin letters exist only in the first group, whatever group is in force.
    EXPECT_EQ(Keys(plan.choose('a', 1, 1)), std::vector<KeyStroke>{Key('A', false, false, 0)});
    // Punctuation that both groups have stays in the group in force: no switch for it.
    EXPECT_EQ(Keys(plan.choose(',', 0, 1)),
              std::vector<KeyStroke>{Key(Vk::OemComma, false, false, 0)});
    EXPECT_EQ(Keys(plan.choose(',', 1, 1)), std::vector<KeyStroke>{Key(Vk::Oem2, true, false, 1)});
    EXPECT_EQ(Keys(plan.choose('!', 1, 1)), std::vector<KeyStroke>{Key('1', true, false, 1)});
    // A group in force that is no group of the layout falls back to the pilot's.
    EXPECT_EQ(Keys(plan.choose('?', 7, 1)), std::vector<KeyStroke>{Key('7', true, false, 1)});
}

TEST_F(TypingPlanTest, NothingForCharactersNoGroupTypesNorForControlBytes) {
    const TypingPlan plan = planFor("us");
    EXPECT_EQ(plan.choose(0xE4, 0, 0), nullptr); // ä
    EXPECT_EQ(plan.choose(0x80, 0, 0), nullptr); // €
    EXPECT_EQ(plan.choose('\r', 0, 0), nullptr);
    EXPECT_EQ(plan.choose(0, 0, 0), nullptr);
    EXPECT_EQ(plan.choose(127, 0, 0), nullptr);
    EXPECT_NE(plan.choose('~', 0, 0), nullptr);
}

TEST(TypingPlanRulesTest, AKeyOfAnotherGroupBeatsADeadKeySequenceOfThePilotsGroup) {
    KeyboardLayout layout;
    layout.groupCount = 2;
    const KeyStroke dead = Key(Vk::Oem5);
    layout.deadKeySequences.push_back({dead, Key(Vk::Space), '^'});
    layout.characters.push_back({Key('6', true, false, 1), '^'});
    // The keypad is used where nothing else types the character.
    layout.characters.push_back({Key(Vk::Multiply), '*'});
    // A sequence whose keys lie in two groups cannot be typed.
    layout.deadKeySequences.push_back({dead, Key('E', false, false, 1), 0xEA});
    const TypingPlan plan(layout);
    EXPECT_EQ(Keys(plan.choose('^', 0, 0)), std::vector<KeyStroke>{Key('6', true, false, 1)});
    EXPECT_EQ(Keys(plan.choose('*', 0, 0)), std::vector<KeyStroke>{Key(Vk::Multiply)});
    EXPECT_EQ(plan.choose(0xEA, 0, 0), nullptr);
}

TEST(TypingPlanRulesTest, ABlankAfterTheDeadKeyBeatsTheDeadKeyTwiceAndBothBeatALetter) {
    KeyboardLayout layout;
    const KeyStroke dead = Key(Vk::Oem6);
    layout.deadKeySequences.push_back({dead, Key('X'), '~'}); // a made-up rule
    layout.deadKeySequences.push_back({dead, dead, '~'});
    layout.deadKeySequences.push_back({dead, Key(Vk::Space), '~'});
    EXPECT_EQ(Keys(TypingPlan(layout).choose('~', 0, 0)),
              (std::vector<KeyStroke>{dead, Key(Vk::Space)}));
    layout.deadKeySequences.pop_back();
    EXPECT_EQ(Keys(TypingPlan(layout).choose('~', 0, 0)), (std::vector<KeyStroke>{dead, dead}));
}

} // namespace
} // namespace trelk
