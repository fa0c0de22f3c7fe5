// Vector operations, camera motion and mouse look against worked values. The
// float results are exact to the last digit: a fused or reordered operation,
// or a row rounded once instead of per term, changes them.
#include <gtest/gtest.h>

#include "camera/camera.h"

namespace {

Camera preset(int index, int32_t roll = 90) {
    Camera camera{};
    camera.roll = roll;
    loadCameraPreset(camera, index);
    return camera;
}

void expectVector(const Vector3 &v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

TEST(Vector, LengthNormalizeAndCross) {
    Vector3 zero{0, 0, 0};
    EXPECT_EQ(length(zero), 1.0f);
    normalize(zero);
    expectVector(zero, 0, 0, 0);

    Vector3 v{3, 4, 0};
    EXPECT_EQ(length(v), 5.0f);
    normalize(v);
    expectVector(v, 0.6f, 0.8f, 0);

    expectVector(cross(Vector3{0, -25, -50}, Vector3{0, 1, 0}), 50, 0, 0);
    expectVector(cross(Vector3{1, 0, 0}, Vector3{0, 1, 0}), 0, 0, 1); // right-handed
}

TEST(Vector, SetCameraKeepsRollAndPresetsAreAsDefined) {
    Camera camera{};
    camera.roll = 90;
    setCamera(camera, 1, 2, 3, 4, 5, 6, 7, 8, 9);
    expectVector(camera.position, 1, 2, 3);
    expectVector(camera.view, 4, 5, 6);
    expectVector(camera.up, 7, 8, 9);
    EXPECT_EQ(camera.roll, 90);

    const Camera zero = preset(0), one = preset(1);
    expectVector(zero.position, 0, 25, 50);
    expectVector(zero.view, 0, 0, 0);
    expectVector(zero.up, 0, 1, 0);
    expectVector(one.position, 0, 45, 0);
    expectVector(one.view, 0, 0, 0);
    expectVector(one.up, 0, 1, 0);
}

TEST(CameraMotion, MoveForwardAndBackIsExact) {
    Camera camera = preset(0);
    moveCamera(camera, 0.5f);
    expectVector(camera.position, 0, 24.7763939f, 49.5527878f);
    expectVector(camera.view, 0, -0.223606795f, -0.44721359f);
    moveCamera(camera, -0.5f);
    expectVector(camera.position, 0, 25, 50);
    expectVector(camera.view, 0, 0, 0);
}

TEST(CameraMotion, StrafeIsSidewaysAndReversible) {
    Camera camera = preset(0);
    strafeCamera(camera, 0.5f);
    expectVector(camera.position, 0.5f, 25, 50);
    expectVector(camera.view, 0.5f, 0, 0);

    camera = preset(0);
    strafeCamera(camera, -0.5f);
    strafeCamera(camera, 0.5f);
    expectVector(camera.position, 0, 25, 50);
    expectVector(camera.view, 0, 0, 0);

    // Looking along up: no sideways direction, no movement.
    camera = preset(1);
    strafeCamera(camera, 0.5f);
    expectVector(camera.position, 0, 45, 0);
}

TEST(CameraMotion, RotateViewAccumulatesEachRowTermByTerm) {
    Camera camera = preset(0);
    rotateView(camera, 0.01f, 0, 1, 0);
    expectVector(camera.position, 0, 25, 50);
    expectVector(camera.view, -0.499991655f, 0, 0.00249862671f);
    EXPECT_NE(camera.view.z, 0.00250041485f); // the row kept unrounded until the position is added
}

TEST(CameraMotion, RotateViewHoldsTheDirectionInAFloat) {
    Camera camera{};
    setCamera(camera, 1000, 0, 0, 0.1f, 0, 0, 0, 1, 0);
    rotateView(camera, 0, 0, 1, 0);
    EXPECT_EQ(camera.view.x, 0.0999755859f);
}

TEST(CameraMotion, RotateViewIdentityAndZeroAxis) {
    Camera camera = preset(0);
    rotateView(camera, 0, 0, 1, 0);
    expectVector(camera.view, 0, 0, 0);
    expectVector(camera.position, 0, 25, 50);

    // With the zero axis only the c terms remain: the direction is scaled by cos(angle).
    rotateView(camera, 0.5f, 0, 0, 0);
    const double c = static_cast<float>(std::cos(0.5));
    expectVector(camera.view, 0, static_cast<float>(25 + static_cast<float>(c * -25)),
                 static_cast<float>(50 + static_cast<float>(c * -50)));
}

class MouseLook : public ::testing::Test {
  protected:
    void SetUp() override { pitchTotal = 0; }
};

TEST_F(MouseLook, UpFollowsRollWithTheProgramsPi) {
    struct Row {
        int32_t roll;
        float x, y;
    };
    const Row rows[] = {{90, -1.732e-7f, 1}, {0, 1, 0}, {180, -1, -3.464e-7f}, {-90, -1.732e-7f, -1}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.roll);
        Camera camera = preset(0, r.roll);
        EXPECT_FALSE(mouseLook(camera, WINDOW_CENTRE_X, WINDOW_CENTRE_Y));
        EXPECT_NEAR(camera.up.x, r.x, 1e-9);
        EXPECT_NEAR(camera.up.y, r.y, 1e-9);
        EXPECT_EQ(camera.up.z, 0);
    }
    // The sign of the tiny x is what the top-down view's orientation hangs on.
    Camera camera = preset(0, 90);
    mouseLook(camera, WINDOW_CENTRE_X, WINDOW_CENTRE_Y);
    EXPECT_LT(camera.up.x, 0);
}

TEST_F(MouseLook, PointerAtCentreChangesOnlyUp) {
    Camera camera = preset(0);
    pitchTotal = 0.25f;
    EXPECT_FALSE(mouseLook(camera, 320, 240));
    expectVector(camera.position, 0, 25, 50);
    expectVector(camera.view, 0, 0, 0);
    EXPECT_EQ(pitchTotal, 0.25f);
    EXPECT_NE(camera.up.x, 0); // refreshed from roll 90
}

TEST_F(MouseLook, TiltThenTurnMatchWorkedValues) {
    // The tilt alone, exactly as mouse look does it first.
    Camera tilted = preset(0);
    mouseLook(tilted, WINDOW_CENTRE_X, WINDOW_CENTRE_Y);
    Vector3 axis = cross(subtract(tilted.view, tilted.position), tilted.up);
    normalize(axis);
    EXPECT_NEAR(axis.x, 1, 1e-7);
    EXPECT_NEAR(axis.y, 1.7e-7, 1e-8);
    EXPECT_NEAR(axis.z, -8.7e-8, 1e-9);
    rotateView(tilted, -0.01f, axis.x, axis.y, axis.z);
    EXPECT_EQ(tilted.view.y, -0.498743057f);
    EXPECT_NE(tilted.view.y, -0.49874115f); // each row rounded only once
    EXPECT_NEAR(tilted.view.x, 1.1e-7, 1e-8);
    EXPECT_NEAR(tilted.view.z, 0.252495, 1e-6);

    Camera camera = preset(0);
    EXPECT_TRUE(mouseLook(camera, 330, 250));
    EXPECT_EQ(pitchTotal, 0.01f);
    EXPECT_NEAR(camera.view.x, 0.497467, 1e-6);  // turned right
    EXPECT_NEAR(camera.view.y, -0.498743, 1e-6); // and a little further down
    EXPECT_NEAR(camera.view.z, 0.254982, 1e-6);
    expectVector(camera.position, 0, 25, 50);
}

TEST_F(MouseLook, MovementPastAPitchBoundIsDroppedWhole) {
    Camera camera = preset(0);
    pitchTotal = 0.995f;
    EXPECT_TRUE(mouseLook(camera, 400, 250)); // pitch -0.01 and 80 pixels sideways
    EXPECT_EQ(pitchTotal, 1.0f);
    expectVector(camera.view, 0, 0, 0);

    pitchTotal = -0.995f;
    EXPECT_TRUE(mouseLook(camera, 250, 230));
    EXPECT_EQ(pitchTotal, -1.0f);
    expectVector(camera.view, 0, 0, 0);
}

TEST_F(MouseLook, BoundsAreExclusive) {
    Camera camera = preset(0);
    pitchTotal = 1.0f;
    mouseLook(camera, 400, 240); // a purely horizontal turn is applied in full
    EXPECT_EQ(pitchTotal, 1.0f);
    EXPECT_NE(camera.view.x, 0);

    const Vector3 turned = camera.view;
    mouseLook(camera, 320, 241); // any further downward movement is dropped
    EXPECT_EQ(pitchTotal, 1.0f);
    expectVector(camera.view, turned.x, turned.y, turned.z);

    mouseLook(camera, 320, 230); // back towards 0 is applied
    EXPECT_EQ(pitchTotal, static_cast<float>(1.0 - 0.01f));
    EXPECT_NE(camera.view.y, turned.y);
}

TEST_F(MouseLook, TopDownCameraGetsAWellDefinedSideways) {
    Camera camera = preset(1);
    mouseLook(camera, WINDOW_CENTRE_X, WINDOW_CENTRE_Y);
    Vector3 side = cross(subtract(camera.view, camera.position), camera.up);
    normalize(side);
    expectVector(side, 0, 0, -1);
}

} // namespace
