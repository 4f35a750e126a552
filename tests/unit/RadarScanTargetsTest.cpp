// Where the radar is looked for on a screen, and which pixels count as a target's blip.

#include "radar/CaptureRectangle.h"
#include "radar/ScanTargets.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

constexpr std::uint32_t Rgb(int r, int g, int b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}

TEST(RadarCaptureRectangle, ScalesWithTheScreenAndRoundsHalvesToEven) {
    // 666.5 becomes 666; on 800 x 600, 341.5 becomes 342 and 520.5 becomes 520.
    EXPECT_EQ(RadarCaptureRectangle(1024, 768, 0, 200), (CaptureRectangle{437, 666, 150, 75}));
    EXPECT_EQ(RadarCaptureRectangle(800, 600, 0, 200), (CaptureRectangle{342, 520, 117, 59}));
    // 281.25 x 105.47 at (819.5, 937.5).
    EXPECT_EQ(RadarCaptureRectangle(1920, 1080, 0, 200), (CaptureRectangle{820, 938, 281, 105}));
    // The offsets count in pixels of a 640 x 480 screen.
    EXPECT_EQ(RadarCaptureRectangle(1280, 960, 10, 0), (CaptureRectangle{566, 433, 188, 94}));
}

TEST(RadarPixelTests, TheThresholdsAreStrict) {
    EXPECT_TRUE(PassesPixelTest(Flux, Rgb(200, 50, 200)));
    EXPECT_FALSE(PassesPixelTest(Flux, Rgb(120, 50, 200)));
    EXPECT_TRUE(PassesPixelTest(Object, Rgb(129, 129, 95)));
    EXPECT_FALSE(PassesPixelTest(Object, Rgb(129, 128, 95)));
    EXPECT_TRUE(PassesPixelTest(Sol, Rgb(95, 95, 129)));
    EXPECT_FALSE(PassesPixelTest(Sol, Rgb(96, 95, 129)));
    EXPECT_TRUE(PassesPixelTest(Oct, Rgb(129, 95, 95)));
    EXPECT_FALSE(PassesPixelTest(Oct, Rgb(129, 95, 96)));
    EXPECT_TRUE(PassesPixelTest(Quan, Rgb(95, 129, 95)));
    EXPECT_FALSE(PassesPixelTest(Quan, Rgb(95, 128, 95)));
    // A stored code outside the targets scans for objects.
    EXPECT_EQ(ValidTargetCode(7), Object);
    EXPECT_EQ(ValidTargetCode(-1), Object);
    EXPECT_TRUE(PassesPixelTest(7, Rgb(129, 129, 95)));
}

TEST(RadarPixelTests, NoColourIsTheBlipOfTwoTargets) {
    for (int r = 0; r < 256; r += 3) {
        for (int g = 0; g < 256; g += 3) {
            for (int b = 0; b < 256; b += 3) {
                int passes = 0;
                for (int target = Flux; target <= Quan; ++target) {
                    passes += PassesPixelTest(target, Rgb(r, g, b)) ? 1 : 0;
                }
                ASSERT_LE(passes, 1) << r << "," << g << "," << b;
            }
        }
    }
}

} // namespace
} // namespace trelk
