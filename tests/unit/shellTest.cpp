// Controls and the frame-rate caption, driven with fabricated key states,
// button masks and counter readings.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "app/shell.h"
#include "tests/unit/startState.h"

namespace {

class Controls : public ::testing::Test {
  protected:
    void SetUp() override {
        resetToStartState();
        std::memset(keys, 0, sizeof keys);
    }
    void hold(std::initializer_list<int> symbols) {
        for (int symbol : symbols)
            keys[symbol] = 1;
    }
    uint8_t keys[512];
};

float distance(const Vector3 &a, const Vector3 &b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

TEST_F(Controls, EachMovementKeyMovesTheCurrentCamera) {
    struct Row {
        int key;
        Vector3 position; // after one frame from preset 0
    };
    const Row rows[] = {{KEY_UP, {0, 24.7763939f, 49.5527878f}},
                        {KEY_W, {0, 24.7763939f, 49.5527878f}},
                        {KEY_RIGHT, {0.5f, 25, 50}},
                        {KEY_D, {0.5f, 25, 50}},
                        {KEY_LEFT, {-0.5f, 25, 50}},
                        {KEY_A, {-0.5f, 25, 50}}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.key);
        SetUp();
        hold({r.key});
        handleMovementKeys(keys);
        EXPECT_EQ(cameras[0].position.x, r.position.x);
        EXPECT_EQ(cameras[0].position.y, r.position.y);
        EXPECT_EQ(cameras[0].position.z, r.position.z);
    }
    for (int key : {KEY_DOWN, KEY_S}) {
        SetUp();
        hold({key});
        handleMovementKeys(keys);
        EXPECT_NEAR(cameras[0].position.z, 50.4472136, 1e-5) << key;
    }
}

TEST_F(Controls, HeldKeysAddUpInOneFrame) {
    hold({KEY_UP, KEY_W});
    handleMovementKeys(keys);
    EXPECT_NEAR(distance(cameras[0].position, Vector3{0, 25, 50}), 1.0, 1e-5);

    SetUp();
    hold({KEY_UP, KEY_DOWN}); // forward 0.5 then back 0.5: exactly where it was
    handleMovementKeys(keys);
    EXPECT_EQ(cameras[0].position.y, 25);
    EXPECT_EQ(cameras[0].position.z, 50);

    SetUp();
    hold({KEY_LEFT, KEY_D, KEY_RIGHT, KEY_A});
    handleMovementKeys(keys);
    EXPECT_EQ(cameras[0].position.x, 0);
}

TEST_F(Controls, CameraSwitchIsLevelTriggeredAndReloadsPresets) {
    cameras[0].roll = cameras[1].roll = 45;
    hold({KEY_C});
    for (int frame = 0; frame < 3; ++frame)
        handleCameraSwitch(keys); // 0 -> 1 -> 0 -> 1
    EXPECT_EQ(currentCamera, 1);
    EXPECT_EQ(cameras[1].position.y, 45);
    EXPECT_EQ(cameras[1].roll, 45);

    // Back to camera 0: whatever it did before is lost.
    keys[KEY_C] = 0;
    cameras[1].position.x = 7;
    cameras[0].position.x = 9;
    keys[KEY_C] = 1;
    handleCameraSwitch(keys);
    EXPECT_EQ(currentCamera, 0);
    EXPECT_EQ(cameras[0].position.x, 0);
    EXPECT_EQ(cameras[0].position.z, 50);
}

TEST_F(Controls, SwitchAndMoveInOneFrameMovesTheNewCamera) {
    hold({KEY_C, KEY_RIGHT});
    handleCameraSwitch(keys);
    handleMovementKeys(keys);
    EXPECT_EQ(currentCamera, 1);
    // Camera 1's preset up is parallel to its view until mouse look rolls it:
    // no sideways direction, so this frame's strafe does nothing.
    EXPECT_EQ(cameras[1].position.x, 0);
    EXPECT_EQ(cameras[1].position.y, 45);
    EXPECT_EQ(cameras[0].position.x, 0);
    EXPECT_EQ(cameras[0].position.z, 50);

    SetUp();
    hold({KEY_C, KEY_W});
    handleCameraSwitch(keys);
    handleMovementKeys(keys);
    EXPECT_EQ(cameras[1].position.y, 44.5f);
    EXPECT_EQ(cameras[0].position.y, 25);
}

TEST_F(Controls, MouseButtonsRollAndWrap) {
    handleMouseButtons(BUTTON_LEFT_MASK);
    EXPECT_EQ(rollAngle, 91);
    handleMouseButtons(BUTTON_RIGHT_MASK);
    handleMouseButtons(BUTTON_RIGHT_MASK);
    EXPECT_EQ(rollAngle, 89);
    handleMouseButtons(BUTTON_LEFT_MASK | BUTTON_RIGHT_MASK);
    EXPECT_EQ(rollAngle, 89);
    handleMouseButtons(2); // the middle button does nothing
    EXPECT_EQ(rollAngle, 89);

    rollAngle = INT32_MAX;
    handleMouseButtons(BUTTON_LEFT_MASK);
    EXPECT_EQ(rollAngle, INT32_MIN);
    handleMouseButtons(BUTTON_RIGHT_MASK);
    EXPECT_EQ(rollAngle, INT32_MAX);
}

class FpsCaption : public ::testing::Test {
  protected:
    void SetUp() override {
        frameCount = 0;
        lastFpsTicks = 0;
        elapsed = 0;
        fps = 0;
    }
    static std::string format(float rate) {
        char caption[FPS_CAPTION_CAPACITY];
        formatFpsCaption(rate, caption);
        return caption;
    }
};

TEST_F(FpsCaption, TextHasAtMostEightSignificantDigits) {
    EXPECT_EQ(format(121 / 2.017f), "Vantrell FPS:59.990086");
    EXPECT_EQ(format(60), "Vantrell FPS:60");
    EXPECT_EQ(format(59.9f), "Vantrell FPS:59.900002");
    EXPECT_EQ(format(59.93602f), "Vantrell FPS:59.93602");
    EXPECT_EQ(format(1234.5f), "Vantrell FPS:1234.5");
    EXPECT_EQ(format(0.4f), "Vantrell FPS:0.40000001");
    EXPECT_EQ(format(123456789.0f), "Vantrell FPS:1.2345679e+08");
}

TEST_F(FpsCaption, FirstUpdateAfterMoreThanTwoSeconds) {
    for (int frame = 1; frame < 121; ++frame) {
        ASSERT_EQ(countFrame(16 * frame), nullptr);
    }
    EXPECT_EQ(countFrame(2000), nullptr); // exactly 2.0 s: the comparison is strict
    EXPECT_EQ(elapsed, 2.0f);
    frameCount = 120;
    const char *caption = countFrame(2017);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(elapsed, 2.017f);
    EXPECT_EQ(fps, 59.9900856f);
    EXPECT_STREQ(caption, "Vantrell FPS:59.990086");

    fpsCaptionShown(2018);
    EXPECT_EQ(frameCount, 0);
    EXPECT_EQ(countFrame(4018), nullptr);
    EXPECT_NE(countFrame(4019), nullptr);
    EXPECT_EQ(fps, 2 / 2.001f);
}

TEST_F(FpsCaption, SlowFramesEachCountOne) {
    fpsCaptionShown(5000);
    for (uint32_t t = 7500; t <= 12500; t += 2500) {
        const char *caption = countFrame(t);
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(fps, 1 / 2.5f);
        EXPECT_STREQ(caption, "Vantrell FPS:0.40000001");
        fpsCaptionShown(t);
    }
}

// The millisecond counter wraps after 49.7 days; a signed reading turns
// negative after 24.8. Neither may freeze the caption.
TEST_F(FpsCaption, KeepsUpdatingAcrossTheCounterWrap) {
    for (uint32_t start : {uint32_t(INT32_MAX) - 1000u, UINT32_MAX - 1000u}) {
        SCOPED_TRACE(start);
        fpsCaptionShown(start);
        for (int frame = 0; frame < 199; ++frame) {
            ASSERT_EQ(countFrame(start + 10u * frame), nullptr);
        }
        const char *caption = countFrame(start + 2010u); // past the wrap or the sign change
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(elapsed, 2.01f);
        EXPECT_EQ(frameCount, 200);
        EXPECT_STREQ(caption, "Vantrell FPS:99.502487");
    }
}

} // namespace
