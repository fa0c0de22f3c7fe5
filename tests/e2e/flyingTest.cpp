// Flying with real input: keys, camera switch, mouse buttons, mouse look, and the frame-rate caption.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/harness.h"

namespace {

class Flying : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.waitForWindow());
        program.focus();
    }
    Program program;
};

TEST_F(Flying, CaptionShowsAPlausibleFrameRateAfterTwoSeconds) {
    sleepSeconds(2.6);
    const std::string caption = program.caption();
    const std::optional<double> rate = captionRate(caption);
    ASSERT_TRUE(rate) << caption;
    std::printf("caption \"%s\"\n", caption.c_str());
    EXPECT_GT(*rate, 2.0);
    EXPECT_LT(*rate, 20000.0);
    // The picture changes every frame, so at that rate two grabs a tenth of a second apart differ.
    const Image before = program.grab();
    sleepSeconds(0.1);
    EXPECT_GT(program.grab().difference(before), 0.1);
    // About two seconds later a new measurement replaces it.
    sleepSeconds(2.2);
    EXPECT_NE(program.caption(), caption);
    EXPECT_TRUE(captionRate(program.caption())) << program.caption();
}

// The camera moves half a unit every frame W is held, so at a high frame rate
// it soon flies through the terrain: watch while holding, and let go as soon
// as the terrain has grown.
TEST_F(Flying, HoldingWFliesTowardsTheTerrain) {
    const double before = program.grab().fill();
    double after = before;
    xdotool(program, "keydown w");
    for (int look = 0; look < 60 && after < before + 0.1; ++look) {
        sleepSeconds(0.05);
        after = program.grab().fill();
    }
    xdotool(program, "keyup w");
    std::printf("terrain fill %.3f -> %.3f\n", before, after);
    EXPECT_GT(after, before + 0.1);
}

TEST_F(Flying, CSwitchesToTheTopDownViewWhichFillsTheWindow) {
    // C is level-triggered: every frame it is held flips the camera, so tap
    // until an odd number of frames saw it. A slow build may miss a short tap
    // altogether, so each tap is held a little longer than the one before.
    double fill = 0;
    int tap = 0;
    for (; tap < 30 && fill < 0.999; ++tap) {
        xdotool(program, "keydown c");
        sleepSeconds(0.01 + 0.013 * tap);
        xdotool(program, "keyup c");
        sleepSeconds(0.3);
        fill = program.grab().fill();
    }
    std::printf("top-down fill %.4f after %d taps\n", fill, tap);
    EXPECT_GE(fill, 0.999);
}

TEST_F(Flying, HoldingAMouseButtonRollsThePicture) {
    const Image before = program.grab();
    ASSERT_FALSE(before.covered(5, 5)); // the top corners look over the terrain
    ASSERT_FALSE(before.covered(634, 5));
    // One degree a frame: hold until a top corner dips below the horizon, so
    // a slow build gets as many frames as it needs.
    xdotool(program, "mousedown 1");
    Image rolled = program.grab();
    for (int look = 0; look < 50 && !rolled.covered(5, 5) && !rolled.covered(634, 5); ++look) {
        sleepSeconds(0.1);
        rolled = program.grab();
    }
    xdotool(program, "mouseup 1");
    std::printf("rolled: %.3f of the picture changed between terrain and sky\n", rolled.maskDifference(before));
    EXPECT_GT(rolled.maskDifference(before), 0.05);
    EXPECT_TRUE(rolled.covered(5, 5) || rolled.covered(634, 5)) << "the horizon did not tilt";
}

TEST_F(Flying, MovingThePointerTurnsTheViewAndRecentresIt) {
    const Image before = program.grab();
    xdotool(program, "mousemove --window %w 520 240");
    sleepSeconds(0.5);
    const Image turned = program.grab();
    std::printf("turned: pointer back at (%d, %d), %.3f of the picture changed between terrain and sky\n",
                program.pointer().first, program.pointer().second, turned.maskDifference(before));
    EXPECT_EQ(program.pointer(), std::make_pair(320, 240));
    EXPECT_GT(turned.maskDifference(before), 0.05) << "the view did not turn";
}

} // namespace
