#include "core/InstallCode.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

class FixedClock : public Clock {
public:
    FixedClock(std::int64_t wall, std::int64_t mono) : wall_(wall), mono_(mono) {}
    std::int64_t monotonicMs() const override { return mono_; }
    std::int64_t wallClockMs() const override { return wall_; }

private:
    std::int64_t wall_;
    std::int64_t mono_;
};

TEST(InstallCodeTest, TwentyTwoCharactersFromZeroToSmallY) {
    std::string seen;
    for (std::int64_t t = 0; t < 200; ++t) {
        const std::string code = GenerateInstallCode(FixedClock(1'700'000'000'000 + t, t));
        ASSERT_EQ(code.size(), 22U);
        for (const char c : code) {
            ASSERT_GE(c, '0');
            ASSERT_LE(c, 'y');
        }
        seen += code;
    }
    // 4400 draws from 74 values: both ends of the range must turn up.
    EXPECT_NE(seen.find('0'), std::string::npos);
    EXPECT_NE(seen.find('y'), std::string::npos);
}

TEST(InstallCodeTest, DependsOnBothClockReadings) {
    const std::string base = GenerateInstallCode(FixedClock(1'700'000'000'000, 5000));
    EXPECT_EQ(GenerateInstallCode(FixedClock(1'700'000'000'000, 5000)), base);
    EXPECT_NE(GenerateInstallCode(FixedClock(1'700'000'000'001, 5000)), base);
    EXPECT_NE(GenerateInstallCode(FixedClock(1'700'000'000'000, 5001)), base);
}

} // namespace
} // namespace trelk
