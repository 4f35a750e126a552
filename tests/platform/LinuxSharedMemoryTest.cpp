// LinuxSharedMemory against real POSIX shared memory, under a block-name suffix of this
// process so that parallel runs never meet.

#include "platform/linux/LinuxSharedMemory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

// Last: it brings Xlib's macros.
#include "support/X11KeyboardTestSupport.h"

namespace trelk {
namespace {

class LinuxSharedMemoryTest : public ::testing::Test {
protected:
    LinuxSharedMemoryTest()
        : suffix_("TRELK_SHM_SUFFIX", ".shmtest" + std::to_string(::getpid())) {}
    void SetUp() override { memory_.unlink(Name); }
    void TearDown() override { memory_.unlink(Name); }

    static constexpr const char* Name = "TrelkBlockTest";
    x11test::EnvOverride suffix_;
    LinuxSharedMemory memory_;
};

TEST_F(LinuxSharedMemoryTest, NewBlockIsZeroFilledAndPrivateToTheUser) {
    SharedBlockResult result = memory_.createOrOpen(Name, 200);
    ASSERT_NE(result.block, nullptr) << result.error;
    EXPECT_FALSE(result.alreadyExisted);
    EXPECT_EQ(result.block->size(), 200u);
    std::vector<std::uint8_t> bytes(200, 0xAA);
    ASSERT_TRUE(result.block->read(0, bytes.data(), bytes.size()));
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(200, 0));

    struct stat status {};
    ASSERT_EQ(::stat(("/dev/shm" + LinuxSharedMemory::ObjectName(Name)).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(LinuxSharedMemoryTest, ExistingBlockIsOpenedAndSharesItsBytes) {
    SharedBlockResult first = memory_.createOrOpen(Name, 12);
    ASSERT_NE(first.block, nullptr) << first.error;
    const std::uint8_t written[3] = {1, 2, 3};
    ASSERT_TRUE(first.block->write(9, written, 3));

    SharedBlockResult second = memory_.createOrOpen(Name, 12);
    ASSERT_NE(second.block, nullptr) << second.error;
    EXPECT_TRUE(second.alreadyExisted);
    std::uint8_t read[3] = {};
    ASSERT_TRUE(second.block->read(9, read, 3));
    EXPECT_EQ(std::vector<std::uint8_t>(read, read + 3), std::vector<std::uint8_t>({1, 2, 3}));

    const std::uint8_t back = 7;
    ASSERT_TRUE(second.block->write(0, &back, 1));
    std::uint8_t seen = 0;
    ASSERT_TRUE(first.block->read(0, &seen, 1));
    EXPECT_EQ(seen, 7);
}

TEST_F(LinuxSharedMemoryTest, BlockOfAnotherSizeIsRefusedWithTheSizes) {
    ASSERT_NE(memory_.createOrOpen(Name, 4).block, nullptr);
    SharedBlockResult result = memory_.createOrOpen(Name, 200);
    EXPECT_EQ(result.block, nullptr);
    EXPECT_NE(result.error.find("4 bytes"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("200"), std::string::npos) << result.error;
}

TEST_F(LinuxSharedMemoryTest, AccessOutsideTheBlockIsRefused) {
    SharedBlockResult result = memory_.createOrOpen(Name, 4);
    ASSERT_NE(result.block, nullptr);
    std::uint8_t bytes[8] = {};
    EXPECT_FALSE(result.block->write(3, bytes, 2));
    EXPECT_FALSE(result.block->read(0, bytes, 5));
    EXPECT_FALSE(result.block->read(SIZE_MAX, bytes, 2)); // offset + count wraps
    EXPECT_TRUE(result.block->read(4, bytes, 0));
    EXPECT_TRUE(result.block->write(0, bytes, 4));
}

TEST_F(LinuxSharedMemoryTest, UnlinkLetsTheNextRunStartFresh) {
    SharedBlockResult old = memory_.createOrOpen(Name, 4);
    ASSERT_NE(old.block, nullptr);
    const std::uint8_t one = 1;
    ASSERT_TRUE(old.block->write(0, &one, 1));
    memory_.unlink(Name);

    SharedBlockResult fresh = memory_.createOrOpen(Name, 4);
    ASSERT_NE(fresh.block, nullptr) << fresh.error;
    EXPECT_FALSE(fresh.alreadyExisted);
    std::uint8_t value = 0xFF;
    ASSERT_TRUE(fresh.block->read(0, &value, 1));
    EXPECT_EQ(value, 0);
    // The old block stays usable for whoever holds it.
    ASSERT_TRUE(old.block->read(0, &value, 1));
    EXPECT_EQ(value, 1);
}

TEST_F(LinuxSharedMemoryTest, BadNamesAndSizesGiveAnError) {
    for (const std::string& name : {std::string(), std::string("a/b")}) {
        SharedBlockResult result = memory_.createOrOpen(name, 4);
        EXPECT_EQ(result.block, nullptr);
        EXPECT_FALSE(result.error.empty());
    }
    SharedBlockResult empty = memory_.createOrOpen(Name, 0);
    EXPECT_EQ(empty.block, nullptr);
    EXPECT_FALSE(empty.error.empty());
}

} // namespace
} // namespace trelk
