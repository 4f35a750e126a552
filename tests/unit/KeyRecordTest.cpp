// The key record block as the hook library reads it: bytes 0..11 from the current key map and
// debug option, the console flag kept between writes, and a program that runs on without one.

#include "keyboard/KeyRecord.h"

#include "core/SettingsValues.h"
#include "core/TraceOutput.h"
#include "platform/sim/SimPlatform.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

using Bytes = std::vector<std::uint8_t>;

class KeyRecordTest : public ::testing::Test {
protected:
    KeyRecordTest() { trace.setEnabled(true); }

    Bytes head() const {
        const auto block = platform.simSharedMemory().bytes("trlkeymmf");
        return block ? Bytes(block->begin(), block->begin() + 12) : Bytes{};
    }
    const std::vector<std::string>& traces() { return platform.simDebug().lines(); }

    SimPlatform platform;
    TraceOutput trace{platform.debugOutput()};
    std::array<int, 21> keyMap = KeyMapSettings{}.KM;
    bool debugOn = true;
    KeyRecord record{platform.sharedMemory(), trace, [this] { return keyMap; },
                     [this] { return debugOn; }};
};

TEST_F(KeyRecordTest, DefaultMapIsWrittenWithKm9BeforeKm8AndTheRestStaysZero) {
    record.CreateKeyRecord();

    EXPECT_EQ(head(), (Bytes{0, 0, 0x2D, 0x25, 0x27, 0x26, 0x28, 0x13, 0x91, 0x6D, 0x6A, 1}));
    const auto block = *platform.simSharedMemory().bytes("trlkeymmf");
    ASSERT_EQ(block.size(), 200u);
    EXPECT_TRUE(std::all_of(block.begin() + 12, block.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(traces(), std::vector<std::string>{"TrelkPro: KeyMMF created."});
}

TEST_F(KeyRecordTest, EachWriteTakesTheCurrentMapAndDebugStateAndKeepsTheConsoleFlag) {
    record.CreateKeyRecord();
    keyMap[0] = -1;    // unmapped with Escape
    keyMap[1] = 0x1FF; // extended flag and code 255: only the low byte reaches the record
    keyMap[9] = 0x41;  // KM10 and above are not in the record
    debugOn = false;

    record.SetConsoleShownFlag(true);
    EXPECT_EQ(head(), (Bytes{0, 1, 0xFF, 0xFF, 0x27, 0x26, 0x28, 0x13, 0x91, 0x6D, 0x6A, 0}));

    debugOn = true;
    record.WriteKeyRecord();
    EXPECT_EQ(head()[1], 1); // the console flag persists between writes
    EXPECT_EQ(head()[11], 1);

    record.SetConsoleShownFlag(false);
    EXPECT_EQ(head()[1], 0);
    EXPECT_EQ(record.record().bytes()[2], 0xFF);
}

TEST_F(KeyRecordTest, AnExistingBlockIsUsedAndWhatOthersWroteBeyondByte11Stays) {
    SharedBlockResult theirs = platform.sharedMemory().createOrOpen("trlkeymmf", 200);
    const std::uint8_t mark[] = {0xAB, 7, 7}; // a console flag left by an earlier run, and data
    theirs.block->write(1, mark, 1);
    theirs.block->write(100, mark + 1, 2);

    record.CreateKeyRecord();

    EXPECT_EQ(traces(), std::vector<std::string>{"TrkHook: KeyMMF was already created."});
    std::uint8_t seen[12] = {};
    ASSERT_TRUE(theirs.block->read(0, seen, 12));
    EXPECT_EQ(Bytes(seen, seen + 12), head());
    EXPECT_EQ(seen[1], 0); // creation starts with the console hidden
    EXPECT_EQ(seen[2], 0x2D);
    EXPECT_EQ((*platform.simSharedMemory().bytes("trlkeymmf"))[100], 7);
}

TEST_F(KeyRecordTest, WithoutABlockTheProgramRunsOnAndSkipsEveryWrite) {
    platform.simSharedMemory().failCreation("trlkeymmf", "No space left on device");
    record.CreateKeyRecord();
    record.SetConsoleShownFlag(true);
    record.WriteKeyRecord();
    record.CloseKeyRecord();

    EXPECT_FALSE(record.held());
    EXPECT_FALSE(platform.simSharedMemory().exists("trlkeymmf"));
    ASSERT_FALSE(traces().empty());
    EXPECT_EQ(traces().front(), "TrelkPro: KeyMMF create failed.");
}

TEST_F(KeyRecordTest, ABlockOfAnotherSizeIsLeftAloneAndNotUsed) {
    SharedBlockResult theirs = platform.sharedMemory().createOrOpen("trlkeymmf", 16);
    record.CreateKeyRecord();
    record.SetConsoleShownFlag(true);

    EXPECT_FALSE(record.held());
    EXPECT_EQ(*platform.simSharedMemory().bytes("trlkeymmf"), Bytes(16, 0));
    EXPECT_EQ(traces().front(), "TrelkPro: KeyMMF create failed.");
}

TEST_F(KeyRecordTest, CloseReleasesTheBlockAndTheNextRunStartsFresh) {
    record.CreateKeyRecord();
    record.SetConsoleShownFlag(true);
    record.CloseKeyRecord();
    EXPECT_FALSE(record.held());
    EXPECT_FALSE(platform.simSharedMemory().exists("trlkeymmf"));
    record.SetConsoleShownFlag(false); // after close: skipped, no block comes back
    EXPECT_FALSE(platform.simSharedMemory().exists("trlkeymmf"));

    record.CreateKeyRecord();
    EXPECT_EQ(traces().back(), "TrelkPro: KeyMMF created.");
    EXPECT_EQ(head()[1], 0);
}

} // namespace
} // namespace trelk
