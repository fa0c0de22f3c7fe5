// Long seeded random sequences of camera motion, rolled mouse look and camera
// switches, as the frame loop makes them: every coordinate of both cameras and
// the shared tilt must stay finite, the tilt within its bounds, and the view
// point apart from the eye.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <random>
#include <string>

#include "app/shell.h"
#include "camera/camera.h"
#include "tests/unit/startState.h"

namespace {

constexpr uint32_t ROBUSTNESS_SEED = 20240611;
constexpr int SEQUENCE_LENGTH = 1000000;
constexpr int KEY_STATES = 512; // more than SDL 1.2's highest key symbol

constexpr int32_t INT32_LOWEST = std::numeric_limits<int32_t>::min();
constexpr int32_t INT32_HIGHEST = std::numeric_limits<int32_t>::max();
// Rolls the generator picks often: the ends of the range, next to them, and the start-up value.
constexpr int32_t EDGE_ROLLS[] = {INT32_LOWEST, INT32_LOWEST + 1, INT32_HIGHEST, INT32_HIGHEST - 1, 0, 90, -90,
                                  180};
// Pointer coordinates the generator picks often: the window's edges and centre.
constexpr int EDGE_X[] = {0, 1, WINDOW_CENTRE_X, WINDOW_WIDTH - 2, WINDOW_WIDTH - 1};
constexpr int EDGE_Y[] = {0, 1, WINDOW_CENTRE_Y, WINDOW_HEIGHT - 2, WINDOW_HEIGHT - 1};

bool finite(const Vector3 &v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool finite(const Camera &c) { return finite(c.position) && finite(c.view) && finite(c.up); }

std::string describe(const Vector3 &v) {
    return "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z) + ")";
}

std::string describe(const Camera &c) {
    return "position " + describe(c.position) + " view " + describe(c.view) + " up " + describe(c.up) + " roll " +
           std::to_string(c.roll);
}

class Robustness : public ::testing::Test {
  protected:
    // The state the program starts its frame loop with.
    void SetUp() override { resetToStartState(); }
    void TearDown() override { SetUp(); }

    template <size_t N> int pick(const int (&values)[N]) { return values[below(N)]; }
    int below(size_t count) { return std::uniform_int_distribution<int>(0, static_cast<int>(count) - 1)(random); }

    int32_t randomRoll() {
        if (below(3) == 0) return EDGE_ROLLS[below(std::size(EDGE_ROLLS))];
        return std::uniform_int_distribution<int32_t>(INT32_LOWEST, INT32_HIGHEST)(random);
    }

    std::mt19937 random{ROBUSTNESS_SEED};
};

TEST_F(Robustness, CamerasAndTiltStayFiniteThroughRandomFlight) {
    std::printf("robustness: seed %u, %d steps\n", ROBUSTNESS_SEED, SEQUENCE_LENGTH);
    uint8_t keys[KEY_STATES] = {};
    const char *const STEPS[] = {"move", "strafe", "look", "roll", "buttons", "switch"};
    // A switch reloads a preset, so switches are rare enough for long flights in between.
    std::discrete_distribution<int> nextStep({30, 30, 30, 4, 4, 2});
    for (int step = 0; step < SEQUENCE_LENGTH; ++step) {
        const int kind = nextStep(random);
        Camera &camera = cameras[currentCamera];
        switch (kind) {
        case 0:
            moveCamera(camera, below(2) ? +MOVE_SPEED : -MOVE_SPEED);
            break;
        case 1:
            strafeCamera(camera, below(2) ? +MOVE_SPEED : -MOVE_SPEED);
            break;
        case 2: {
            // As the frame loop does: the current roll first, then the pointer.
            camera.roll = rollAngle;
            const int x = below(2) ? pick(EDGE_X) : below(WINDOW_WIDTH);
            const int y = below(2) ? pick(EDGE_Y) : below(WINDOW_HEIGHT);
            mouseLook(camera, x, y);
            break;
        }
        case 3:
            rollAngle = randomRoll();
            break;
        case 4: // a few frames of held buttons, wrapping at the ends of the range
            for (int frames = below(4); frames >= 0; --frames) {
                handleMouseButtons(
                    static_cast<uint8_t>(below(2) * BUTTON_LEFT_MASK + below(2) * BUTTON_RIGHT_MASK));
            }
            break;
        default: // C held for a few frames flips the camera once per frame
            keys[KEY_C] = 1;
            for (int frames = below(3); frames >= 0; --frames)
                handleCameraSwitch(keys);
            keys[KEY_C] = 0;
            handleCameraSwitch(keys);
            break;
        }
        ASSERT_TRUE(finite(cameras[0]) && finite(cameras[1]))
            << "step " << step << " (" << STEPS[kind] << "), camera " << currentCamera
            << "\n  camera 0: " << describe(cameras[0]) << "\n  camera 1: " << describe(cameras[1]);
        ASSERT_TRUE(std::isfinite(pitchTotal)) << "step " << step << " (" << STEPS[kind] << ")";
        ASSERT_GE(pitchTotal, -PITCH_LIMIT) << "step " << step << " (" << STEPS[kind] << ")";
        ASSERT_LE(pitchTotal, PITCH_LIMIT) << "step " << step << " (" << STEPS[kind] << ")";
        // The look-at transform needs a direction: the view point must not collapse onto the eye.
        const Vector3 &p = cameras[currentCamera].position, &v = cameras[currentCamera].view;
        ASSERT_FALSE(p.x == v.x && p.y == v.y && p.z == v.z) << "step " << step << " (" << STEPS[kind] << ")";
    }
}

} // namespace
