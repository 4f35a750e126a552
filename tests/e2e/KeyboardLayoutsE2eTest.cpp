// A long text typed by the program's own injection into the stand-in game on the keyboard
// layouts pilots use, with and without Caps Lock: every character of printable ASCII and of the
// layout's own letters arrives as stored, none lost, none wrong, none out of order, and the
// pilot's group and locks are as they were. The game composes dead keys as a text input does.

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// Last: it brings Xlib's macros.
#include "support/VoidlineGameRig.h"

namespace trelk {
namespace {

using namespace std::chrono_literals;
using x11test::LayoutCase;
using x11test::VoidlineGameRig;

// Characters lost and characters that should not be there, when a line differs: the longest
// sequence both have in order is what arrived right.
std::string Difference(const std::string& expected, const std::string& received) {
    std::vector<std::vector<int>> common(expected.size() + 1,
                                         std::vector<int>(received.size() + 1, 0));
    for (std::size_t i = 1; i <= expected.size(); ++i) {
        for (std::size_t j = 1; j <= received.size(); ++j) {
            common[i][j] = expected[i - 1] == received[j - 1]
                               ? common[i - 1][j - 1] + 1
                               : std::max(common[i - 1][j], common[i][j - 1]);
        }
    }
    const int inOrder = common[expected.size()][received.size()];
    return std::to_string(static_cast<int>(expected.size()) - inOrder) + " lost or misplaced, " +
           std::to_string(static_cast<int>(received.size()) - inOrder) +
           " wrong or misplaced; expected \"" + expected + "\", received \"" + received + "\"";
}

class KeyboardLayoutsE2eTest : public ::testing::TestWithParam<LayoutCase> {
protected:
    // Types the lines, each one send ending with Enter, on channel 3; every line must arrive
    // exactly and the keyboard be as the pilot had it.
    static void typeAndCheck(const LayoutCase& each, bool capsLock, std::size_t length) {
        VoidlineGameRig game(each.layout, capsLock);
        ASSERT_EQ(game.error(), "");
        const VoidlineGameRig::KeyboardState before = game.keyboardState();
        const std::vector<std::string> lines = x11test::LayoutTextLines(each, length);
        game.sender.SendKeyString(
            std::string(1, static_cast<char>(KeyStringSender::ChannelCode(3))));
        std::size_t wrong = 0;
        for (const std::string& line : lines) {
            game.sender.TypeText(line + "\r");
            const std::optional<std::string> received = game.nextLine(10s);
            if (!received) {
                ADD_FAILURE() << "no line for \"" << line << "\"";
                ++wrong;
                break;
            }
            if (*received != "3\t" + line) {
                ADD_FAILURE() << Difference("3\t" + line, *received);
                if (++wrong == 3) {
                    break;
                }
            }
        }
        EXPECT_EQ(wrong, 0u);
        EXPECT_EQ(game.keyboardState(), before) << "group, locks or keys changed by the sends";
        EXPECT_TRUE(game.reports.empty()) << game.reports.front();
    }
};

TEST_P(KeyboardLayoutsE2eTest, TenThousandCharactersArriveExactly) {
    typeAndCheck(GetParam(), false, 10000);
}

TEST_P(KeyboardLayoutsE2eTest, TheTextArrivesExactlyWithCapsLockOn) {
    typeAndCheck(GetParam(), true, 10000);
}

INSTANTIATE_TEST_SUITE_P(Layouts, KeyboardLayoutsE2eTest,
                         ::testing::ValuesIn(x11test::PilotLayoutCases()),
                         [](const ::testing::TestParamInfo<LayoutCase>& param) {
                             return x11test::Identifier(param.param);
                         });

} // namespace
} // namespace trelk
