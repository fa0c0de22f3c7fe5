// The pure code against worked values, one suite per module. Floats are
// compared exactly: a fused or reordered operation, or a row rounded once
// instead of per term, shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/frame.h"
#include "app/shell.h"
#include "terrain/terrain.h"
#include "tests/plasmaReference.h"

namespace {

// A vector, or a camera's position then view point, as one list.
using Floats = std::vector<float>;
Floats floats(const Vector3 &v) { return {v.x, v.y, v.z}; }
Floats floats(const Camera &c) { return {c.position.x, c.position.y, c.position.z, c.view.x, c.view.y, c.view.z}; }

// Camera 0's preset with the start-up roll, written out.
constexpr Camera CHASE_CAMERA = {{0, 25, 50}, {0, 0, 0}, {0, 1, 0}, 90};

// What the caption shows before the rate.
const std::string CAPTION_PREFIX = "Vantrell FPS:";

// The wave tables and the palette as start-up builds them, the phase at its start.
struct TablesBuilt : ::testing::Test {
    void SetUp() override {
        buildWaveTables();
        buildPalette();
        resetPlasmaPhase();
    }
};
using Plasma = TablesBuilt;

TEST_F(Plasma, WaveTablesMatchWorkedValues) {
    // Index, then sineA, sineB and sineC there; past 1024 the formulas carry on.
    const int sines[][4] = {{-1024, -253, 37, -35}, {-1, -2, -2, -2},     {100, 180, 128, 1},
                            {201, 256, 0, 0},       {1024, 253, -37, 35}, {4352, 135, -115, -51}};
    for (const auto &[i, a, b, c] : sines)
        EXPECT_EQ((std::vector{sineA[i], sineB[i], sineC[i]}), (std::vector{a, b, c})) << i;
}

TEST_F(Plasma, PaletteMatchesWorkedValues) {
    const std::pair<int, PaletteEntry> colours[] = {{0, {128, 128, 128, 0}}, {1, {115, 121, 124, 0}},
                                                    {16, {1, 38, 79, 0}},    {32, {128, 1, 38, 0}},
                                                    {48, {254, 38, 10, 0}},  {255, {140, 134, 131, 0}}};
    for (const auto &[v, colour] : colours)
        EXPECT_EQ(std::memcmp(&palette[v], &colour, sizeof colour), 0) << v;
}

TEST_F(Plasma, EveryFrameOfACycleIsTheFormulaCellByCell) {
    static uint8_t field[PLASMA_CELLS];
    static Texel colour[PLASMA_CELLS];
    for (int frame = 1; frame <= PHASE_CYCLE + 1; ++frame) { // phases 1 .. 4097, 4096 .. 0, 1
        updatePlasma();
        ASSERT_EQ(phase, std::abs((frame + PHASE_LAST) % PHASE_CYCLE - PHASE_LAST)) << frame;
        fillPlasmaReference(phase, field, colour);
        ASSERT_EQ(std::memcmp(field, plasmaField, sizeof field), 0) << frame;
        ASSERT_EQ(std::memcmp(colour, texels, sizeof texels), 0) << frame;
    }
}

// The vertex sequence written out from a field that holds 7a + 8b at corner
// (8a, 8b), so that every value 0..255 is at some corner.
TEST(Terrain, IsTheFieldFoldedAtEveryEighthPoint) {
    for (int i = 0; i < PLASMA_CELLS; ++i)
        plasmaField[i] = static_cast<uint8_t>(i / TERRAIN_STEP * 7 + i / PLASMA_SIZE);
    EXPECT_EQ(terrainHeight(248 + PLASMA_SIZE, 8 - PLASMA_SIZE), 256 - 225); // coordinates wrap
    std::vector<TerrainVertex> expected;
    const int cornerX[6] = {0, 1, 1, 0, 0, 1};
    const int cornerZ[6] = {0, 0, 1, 0, 1, 1};
    for (int i = 0; i < TERRAIN_VERTICES; ++i) { // cell by cell, rows (z) outer, six corners each
        const int x = (i / 6 % TERRAIN_CELLS + cornerX[i % 6]) * TERRAIN_STEP;
        const int z = (i / 6 / TERRAIN_CELLS + cornerZ[i % 6]) * TERRAIN_STEP;
        const int v = plasmaField[z * PLASMA_SIZE + x];
        const int h = v > TERRAIN_PEAK ? 256 - v : v;
        expected.push_back({x / 256.0f, z / 256.0f, float(h / 128.0 + 64), int16_t(x - TERRAIN_ORIGIN),
                            int16_t(h - TERRAIN_ORIGIN), int16_t(z - TERRAIN_ORIGIN), 0});
    }
    std::vector<TerrainVertex> vertices(TERRAIN_VERTICES);
    buildTerrainVertices(vertices.data());
    EXPECT_EQ(std::memcmp(expected.data(), vertices.data(), sizeof(TerrainVertex) * TERRAIN_VERTICES), 0);
}

TEST(Camera, MotionMatchesWorkedValues) {
    Camera moved = CHASE_CAMERA;
    Camera strafed = CHASE_CAMERA;
    Camera turned = CHASE_CAMERA;
    Camera far = CHASE_CAMERA;
    Camera topDown = CHASE_CAMERA;
    moveCamera(moved, 0.5f);
    strafeCamera(strafed, -0.5f);
    rotateView(turned, 0.01f, 0, 1, 0);
    setCamera(far, 1000, 0, 0, 0.1f, 0, 0, 0, 1, 0);
    rotateView(far, 0, 0, 1, 0); // the direction is held in a float
    loadCameraPreset(topDown, 1);
    strafeCamera(topDown, 0.5f); // looking along up: no sideways direction
    EXPECT_EQ(floats(moved), (Floats{0, 24.7763939f, 49.5527878f, 0, -0.223606795f, -0.44721359f}));
    EXPECT_EQ(floats(strafed), (Floats{-0.5f, 25, 50, -0.5f, 0, 0}));
    EXPECT_EQ(floats(turned),
              (Floats{0, 25, 50, -0.499991655f, 0, 0.00249862671f})); // 0.00250041485 if not per term
    EXPECT_EQ(floats(far), (Floats{1000, 0, 0, 0.0999755859f, 0, 0}));
    EXPECT_EQ(floats(topDown), (Floats{0, 45, 0, 0, 0, 0}));
    EXPECT_EQ(floats(cross({2, -25, -50}, {1, 2, 0})), (Floats{100, -50, 29}));
}

// With the pointer at rest only up changes, from the roll with this PI. The
// float cosine and sine of -53 degrees are 0.99999994 long, so normalising
// moves each by an ulp.
TEST(MouseLook, RefreshesUpFromTheRoll) {
    const float c90 = float(std::cos(90 * 3.141593 / 180));
    const std::pair<int, Floats> ups[] = {
        {0, {1, 0, 0}}, {-53, {0.601814985f, -0.798635602f, 0}}, {90, {c90, 1, 0}}};
    Camera camera = CHASE_CAMERA;
    for (const auto &[roll, up] : ups) {
        camera.roll = roll;
        EXPECT_FALSE(mouseLook(camera, WINDOW_CENTRE_X, WINDOW_CENTRE_Y));
        EXPECT_EQ(floats(camera.up), up) << roll;
    }
    EXPECT_EQ(floats(camera), floats(CHASE_CAMERA));
    loadCameraPreset(camera, 1);
    mouseLook(camera, WINDOW_CENTRE_X, WINDOW_CENTRE_Y);
    strafeCamera(camera, 1); // the top-down view is turned by the roll
    EXPECT_EQ(floats(camera.position), (Floats{0, 45, -1}));
}

// Right and down; y would be -0.49874115 with a row rounded once.
TEST(MouseLook, TiltsThenTurnsAboutTheRolledUp) {
    Camera camera = CHASE_CAMERA;
    pitchTotal = 0;
    EXPECT_TRUE(mouseLook(camera, 330, 250));
    EXPECT_EQ(floats(camera), (Floats{0, 25, 50, 0.497466862f, -0.498743057f, 0.254981995f}));
    EXPECT_EQ(pitchTotal, 0.01f);
}

// Past a bound the tilt is pinned and the whole movement dropped; on a bound a turn alone applies.
TEST(MouseLook, DropsAMovementPastATiltBound) {
    const float bounds[][4] = {{0.995f, 400, 250, 0}, {-0.995f, 250, 230, 0}, {1, 400, 240, 1}, {-1, 400, 240, 1}};
    for (const auto &[start, mx, my, turns] : bounds) { // tilt before, pointer, whether it turns
        Camera camera = CHASE_CAMERA;
        pitchTotal = start;
        EXPECT_TRUE(mouseLook(camera, int(mx), int(my)));
        EXPECT_EQ((Floats{pitchTotal, float(camera.view.x != 0)}), (Floats{std::round(start), turns}));
    }
}

// The shell at its start, the chase camera current.
struct ChaseCameraCurrent : ::testing::Test {
    void SetUp() override {
        initShellState();
        currentCamera = 0;
        cameras[0] = CHASE_CAMERA;
    }
};
using Controls = ChaseCameraCurrent;

// One frame of the keyboard controls with these keys held.
void frame(std::initializer_list<int> held) {
    uint8_t keys[512] = {};
    for (int key : held)
        keys[key] = 1;
    handleCameraSwitch(keys);
    handleMovementKeys(keys);
}

// Each held key moves the current camera once per frame.
TEST_F(Controls, EachMovementKeyMovesTheCurrentCamera) {
    // Key, then the steps forward and right it makes.
    const int moves[][3] = {{KEY_UP, 1, 0}, {KEY_DOWN, -1, 0}, {KEY_RIGHT, 0, 1}, {KEY_LEFT, 0, -1},
                            {KEY_W, 1, 0},  {KEY_S, -1, 0},    {KEY_A, 0, -1},    {KEY_D, 0, 1}};
    for (const auto &[key, forward, right] : moves) {
        Camera expected = cameras[0];
        moveCamera(expected, MOVE_SPEED * forward);
        strafeCamera(expected, MOVE_SPEED * right);
        frame({key});
        EXPECT_EQ(floats(cameras[0]), floats(expected)) << key;
    }
}

// C acts in every frame it is held, reloading the preset of the camera it
// switches to, and the keys then move that camera.
TEST_F(Controls, HeldCSwitchesCamerasEveryFrame) {
    frame({KEY_C, KEY_W});
    frame({KEY_C, KEY_W});
    EXPECT_EQ(floats(cameras[1].position), (Floats{0, 44.5f, 0}));
    EXPECT_EQ(floats(cameras[0].position), (Floats{0, 24.7763939f, 49.5527878f}));
    EXPECT_EQ(currentCamera, 0);
}

// The buttons roll by a degree a frame, wrapping at 32 bits.
TEST_F(Controls, ButtonsRollADegreeAFrame) {
    // From, buttons (1 left, 4 right), to.
    const int rolls[][3] = {
        {90, 1, 91}, {90, 4, 89}, {90, 2, 90}, {90, 5, 90}, {INT32_MAX, 1, INT32_MIN}, {INT32_MIN, 4, INT32_MAX}};
    for (const auto &[from, buttons, to] : rolls) {
        rollAngle = from;
        handleMouseButtons(uint8_t(buttons));
        EXPECT_EQ(rollAngle, to) << from << " " << buttons;
    }
}

// The frame-rate counters as the program starts.
struct CountersAtZero : ::testing::Test {
    void SetUp() override { resetFpsCounters(); }
};
using Caption = CountersAtZero;

// The rates shown, in order, for a counter that reads `first` in the first frame and 17 ms more in each after.
std::string captions(uint32_t first, int frames) {
    std::string shown;
    for (int n = 0; n < frames; ++n) {
        const uint32_t ticks = first + 17u * n;
        if (const char *caption = countFrame(ticks)) {
            shown += std::string(caption).substr(CAPTION_PREFIX.size()) + " ";
            fpsCaptionShown(ticks);
        }
    }
    return shown;
}

TEST_F(Caption, ChangesOnlyWhenMoreThanTwoSecondsHavePassed) {
    EXPECT_EQ(countFrame(2000), nullptr);
    EXPECT_STREQ(countFrame(2001), (CAPTION_PREFIX + "0.99950027").c_str());
    fpsCaptionShown(5000);
    EXPECT_STREQ(countFrame(7500), (CAPTION_PREFIX + "0.40000001").c_str()); // a slow frame counts one
}

// Seconds are a float: from the third caption on the rate carries its rounding.
TEST_F(Caption, CarriesTheRoundingOfFloatSeconds) {
    EXPECT_EQ(captions(0, 830), "59.322033 58.823528 58.823536 58.823536 58.823536 58.823521 58.823536 ");
}

// Just below 2^31 ms the float seconds are a quarter-second coarse. From there,
// and across the wrap at 2^32, the difference of two readings is the measure.
TEST_F(Caption, KeepsTheRateAcrossTheCounterWraps) {
    fpsCaptionShown((1u << 31) - 100000);
    EXPECT_EQ(captions((1u << 31) - 99983, 300), "61.814556 58.648109 ");
    fpsCaptionShown((1u << 31) - 1000);
    EXPECT_EQ(captions((1u << 31) - 983, 700), "58.823528 58.823528 58.823528 58.823528 58.823528 ");
    fpsCaptionShown(-1000u);
    EXPECT_EQ(captions(-983u, 700), "58.823528 58.823528 58.823536 58.823536 58.823536 ");
}

} // namespace
