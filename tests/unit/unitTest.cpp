// The pure code against worked values. Floats are compared exactly: a fused
// or reordered operation, or a row rounded once instead of per term, shows.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "app/shell.h"
#include "terrain/terrain.h"
#include "tests/plasmaReference.h"

namespace {

using Xyz = std::array<float, 3>;
Xyz xyz(const Vector3 &v) { return {v.x, v.y, v.z}; }

// The state the frame loop starts from.
class Start : public ::testing::Test {
  protected:
    void SetUp() override {
        initShellState();
        buildWaveTables();
        buildPalette();
        resetPlasmaPhase();
        currentCamera = 0;
        cameras[0] = cameras[1] = Camera{};
        cameras[0].roll = rollAngle;
        loadCameraPreset(cameras[0], 0);
        pitchTotal = frameCount = lastFpsTime = lastFpsTicks = 0;
    }
    // One frame of the keyboard controls with these keys held.
    static void frame(std::initializer_list<int> held) {
        uint8_t keys[512] = {};
        for (int key : held)
            keys[key] = 1;
        handleCameraSwitch(keys);
        handleMovementKeys(keys);
    }
    // The captions by frame of a counter that reads `first` + 17 ms per frame.
    static std::map<int, std::string> captions(uint32_t first, int frames) {
        std::map<int, std::string> shown;
        for (int n = 1; n <= frames; ++n) {
            if (const char *caption = countFrame(first + 17u * (n - 1))) {
                shown[n] = caption;
                fpsCaptionShown(first + 17u * (n - 1));
            }
        }
        return shown;
    }
};
using Plasma = Start;
using Motion = Start;
using Controls = Start;
using Caption = Start;

TEST_F(Plasma, TablesAndPaletteMatchWorkedValues) {
    for (const auto &[i, a, b, c] : {std::array{-1024, -253, 37, -35},
                                     {-1, -2, -2, -2},
                                     {0, 0, 0, 0},
                                     {1, 2, 2, 2},
                                     {100, 180, 128, 1},
                                     {201, 256, 0, 0},
                                     {1024, 253, -37, 35},
                                     {4352, 135, -115, -51}})
        EXPECT_EQ((std::array{sineA[i], sineB[i], sineC[i]}), (std::array{a, b, c})) << i;
    for (const auto &[i, p0, p1, p2] : {std::array{0, 128, 128, 128},
                                        {1, 115, 121, 124},
                                        {16, 1, 38, 79},
                                        {32, 128, 1, 38},
                                        {48, 254, 38, 10},
                                        {64, 127, 128, 1},
                                        {255, 140, 134, 131}})
        EXPECT_EQ((std::array<int, 4>{palette[i].p0, palette[i].p1, palette[i].p2, palette[i].p3}),
                  (std::array{p0, p1, p2, 0}))
            << i;
}

// Every frame of a cycle, phases 0 and 4097 included, against the formula cell by cell.
TEST_F(Plasma, EveryFrameOfACycleIsTheFormula) {
    static uint8_t field[PLASMA_CELLS];
    static Texel colours[PLASMA_CELLS];
    std::map<int, int> phases;
    for (int frame = 1; frame <= PHASE_CYCLE + 1; ++frame) {
        updatePlasma();
        phases[frame] = phase;
        fillPlasmaReference(phase, field, colours);
        ASSERT_EQ(std::memcmp(field, plasmaField, sizeof field), 0) << frame;
        ASSERT_EQ(std::memcmp(colours, texels, sizeof colours), 0) << frame;
    }
    EXPECT_EQ(texels[0].r, 115); // the first frame's corner: palette index 4
    for (const auto &[frame, expected] : std::map<int, int>{{1, 1}, {4, 4}, {4097, 4097}, {4098, 4096}, {8194, 0}})
        EXPECT_EQ(phases[frame], expected) << frame;
}

// The terrain written out vertex by vertex from the first frame's field, then
// from one with every value at some corner.
TEST_F(Plasma, TerrainIsTheFieldFoldedAtEveryEighthPoint) {
    updatePlasma();
    EXPECT_EQ(terrainHeight(248 + 256, 248 - 256), 28); // (248, 248): 228 folds down; coordinates wrap
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<TerrainVertex> expected, vertices(TERRAIN_VERTICES);
        for (int z0 = 0; z0 < 248; z0 += 8)
            for (int x0 = 0; x0 < 248; x0 += 8)
                for (const auto &[x, z] : {std::pair{x0, z0},
                                           {x0 + 8, z0},
                                           {x0 + 8, z0 + 8},
                                           {x0, z0},
                                           {x0, z0 + 8},
                                           {x0 + 8, z0 + 8}}) {
                    const int v = plasmaField[z * 256 + x], h = v > 128 ? 256 - v : v;
                    expected.push_back({x / 256.0f, z / 256.0f, float(h / 128.0 + 64), x - 128, h - 128, z - 128});
                }
        buildTerrainVertices(vertices.data());
        EXPECT_EQ(std::memcmp(expected.data(), vertices.data(), sizeof(TerrainVertex) * expected.size()), 0);
        for (int i = 0; i < PLASMA_CELLS; ++i)
            plasmaField[i] = static_cast<uint8_t>(i / 8 * 7 + i / 256); // corner (8a, 8b) holds 7a + 8b
    }
}

TEST_F(Motion, VectorsAndCameraMotionMatchWorkedValues) {
    Vector3 zero{0, 0, 0}, v{3, 4, 0};
    EXPECT_EQ(length(zero) + length(v), 6.0f); // 1 for the zero vector
    normalize(zero);
    normalize(v);
    EXPECT_EQ(xyz(zero), (Xyz{0, 0, 0}));
    EXPECT_EQ(xyz(v), (Xyz{0.6f, 0.8f, 0}));
    EXPECT_EQ(xyz(cross({0, -25, -50}, {1, 1, 0})), (Xyz{50, -50, 25}));

    Camera &camera = cameras[0];
    moveCamera(camera, 0.5f);
    EXPECT_EQ(xyz(camera.position), (Xyz{0, 24.7763939f, 49.5527878f}));
    EXPECT_EQ(xyz(camera.view), (Xyz{0, -0.223606795f, -0.44721359f}));
    moveCamera(camera, -0.5f);
    strafeCamera(camera, -0.5f);
    EXPECT_EQ(xyz(camera.view), (Xyz{-0.5f, 0, 0}));
    strafeCamera(camera, 0.5f);
    EXPECT_EQ(xyz(camera.position), (Xyz{0, 25, 50}));
    rotateView(camera, 0.01f, 0, 1, 0);
    EXPECT_EQ(xyz(camera.view), (Xyz{-0.499991655f, 0, 0.00249862671f})); // not 0.00250041485
    loadCameraPreset(camera, 0);
    rotateView(camera, 0.5f, 0, 0, 0); // the zero axis scales the direction by cos(angle)
    const double c = float(std::cos(0.5));
    EXPECT_EQ(xyz(camera.view), (Xyz{0, float(25 + float(c * -25)), float(50 + float(c * -50))}));
    setCamera(camera, 1000, 0, 0, 0.1f, 0, 0, 0, 1, 0);
    rotateView(camera, 0, 0, 1, 0); // the direction is held in a float
    EXPECT_EQ(camera.view.x, 0.0999755859f);
    EXPECT_EQ(camera.roll, 90);
}

// Ten turns about an axis add up to one turn by ten times the angle.
TEST_F(Motion, RepeatedTurnsAreRotations) {
    const float n = float(1 / std::sqrt(14.0));
    for (const Xyz &k : {Xyz{1, 0, 0}, Xyz{0, 1, 0}, Xyz{0, 0, 1}, Xyz{n, 2 * n, 3 * n}}) {
        Camera camera = cameras[0];
        for (int turn = 0; turn < 10; ++turn)
            rotateView(camera, 0.1f, k[0], k[1], k[2]);
        const double v[3] = {0, -25, -50}, a = 10 * double(0.1f), kv = k[1] * v[1] + k[2] * v[2];
        for (int i = 0; i < 3; ++i) {
            const double kxv = k[(i + 1) % 3] * v[(i + 2) % 3] - k[(i + 2) % 3] * v[(i + 1) % 3];
            EXPECT_NEAR(xyz(camera.view)[i] - xyz(camera.position)[i],
                        v[i] * std::cos(a) + kxv * std::sin(a) + k[i] * kv * (1 - std::cos(a)), 1e-3);
        }
    }
}

TEST_F(Motion, MouseLookTiltsThenTurnsWithinTheBounds) {
    Camera camera = cameras[0];
    EXPECT_FALSE(mouseLook(camera, 320, 240)); // resting: only up is refreshed from roll 90, with this PI
    EXPECT_EQ(xyz(camera.up), (Xyz{float(std::cos(90 * 3.141593 / 180)), 1, 0}));
    EXPECT_EQ(xyz(camera.view), (Xyz{0, 0, 0}));
    EXPECT_TRUE(mouseLook(camera, 330, 250));
    EXPECT_EQ(pitchTotal, 0.01f);
    EXPECT_NEAR(camera.view.x, 0.497467, 1e-6);     // to the right
    EXPECT_NEAR(camera.view.y, -0.498743057, 5e-7); // a little further down: -0.49874115 with a row rounded once
    EXPECT_NEAR(camera.view.z, 0.254982, 1e-6);
    // Movement that would carry the tilt past a bound pins it there and is
    // dropped whole; from a bound a turn without tilt, or a tilt back, applies.
    for (const auto &[start, mx, my, end, turns] : {std::tuple{0.995f, 400, 250, 1.0f, false},
                                                    {-0.995f, 250, 230, -1.0f, false},
                                                    {1.0f, 400, 240, 1.0f, true},
                                                    {-1.0f, 400, 240, -1.0f, true},
                                                    {1.0f, 320, 241, 1.0f, false},
                                                    {1.0f, 320, 230, 0.99f, true}}) {
        camera = cameras[0];
        pitchTotal = start;
        EXPECT_TRUE(mouseLook(camera, mx, my));
        EXPECT_EQ(pitchTotal, end) << start << " " << mx << " " << my;
        EXPECT_EQ(xyz(camera.view) != (Xyz{0, 0, 0}), turns) << start << " " << mx << " " << my;
    }
    camera.roll = 0;
    mouseLook(camera, 320, 240);
    EXPECT_EQ(xyz(camera.up), (Xyz{1, 0, 0}));
    camera.roll = 90;
    loadCameraPreset(camera, 1);
    mouseLook(camera, 320, 240);
    Vector3 side =
        cross(subtract(camera.view, camera.position), camera.up); // decides how the top-down view is turned
    normalize(side);
    EXPECT_EQ(xyz(side), (Xyz{0, 0, -1}));
}

TEST_F(Controls, EachHeldKeyActsOnTheCurrentCameraOncePerFrame) {
    const float back = 25.2236061f, far = 50.4472122f, ahead = 24.7763939f, near = 49.5527878f;
    for (const auto &[keys, position] :
         std::vector<std::pair<std::vector<int>, Xyz>>{{{KEY_UP}, {0, ahead, near}},
                                                       {{KEY_W}, {0, ahead, near}},
                                                       {{KEY_DOWN}, {0, back, far}},
                                                       {{KEY_S}, {0, back, far}},
                                                       {{KEY_RIGHT}, {0.5f, 25, 50}},
                                                       {{KEY_D}, {0.5f, 25, 50}},
                                                       {{KEY_LEFT}, {-0.5f, 25, 50}},
                                                       {{KEY_A}, {-0.5f, 25, 50}},
                                                       {{KEY_UP, KEY_DOWN}, {0, 25, 50}},
                                                       {{KEY_UP, KEY_W}, {0, 24.5527878f, 49.1055756f}},
                                                       {{KEY_C, KEY_C}, {0, 45, 0}}}) {
        SetUp();
        uint8_t held[512] = {};
        for (int key : keys)
            held[key] = 1;
        handleCameraSwitch(held);
        handleMovementKeys(held);
        EXPECT_EQ(xyz(cameras[currentCamera].position), position) << keys[0] << " " << keys.size();
    }
    SetUp();
    for (int n = 0; n < 3; ++n)
        frame({KEY_C, KEY_W}); // 1, 0, 1: each freshly at its preset, then moved
    EXPECT_EQ(currentCamera, 1);
    EXPECT_EQ(xyz(cameras[1].position), (Xyz{0, 44.5f, 0}));
    EXPECT_EQ(xyz(cameras[0].position), (Xyz{0, ahead, near}));
    for (const auto &[buttons, roll] :
         {std::pair{BUTTON_LEFT_MASK, 91}, {BUTTON_RIGHT_MASK, 90}, {2, 90}, {5, 90}}) {
        handleMouseButtons(buttons);
        EXPECT_EQ(rollAngle, roll) << int(buttons);
    }
    rollAngle = INT32_MAX;
    handleMouseButtons(BUTTON_LEFT_MASK);
    EXPECT_EQ(rollAngle, INT32_MIN);
    handleMouseButtons(BUTTON_RIGHT_MASK);
    EXPECT_EQ(rollAngle, INT32_MAX);
}

TEST_F(Caption, ShowsTheRateWhenMoreThanTwoSecondsHavePassed) {
    for (const auto &[rate, text] : std::map<float, std::string>{{121 / 2.017f, "59.990086"},
                                                                 {60, "60"},
                                                                 {59.9f, "59.900002"},
                                                                 {0.4f, "0.40000001"},
                                                                 {1e8f, "1e+08"}}) {
        char caption[FPS_CAPTION_CAPACITY];
        formatFpsCaption(rate, caption);
        EXPECT_EQ(caption, "Vantrell FPS:" + text);
    }
    for (int n = 1; n < 120; ++n)
        countFrame(16 * n);
    EXPECT_EQ(countFrame(2000), nullptr); // exactly two seconds
    EXPECT_STREQ(countFrame(2017), "Vantrell FPS:59.990086");
    EXPECT_EQ(elapsed, 2.017f);
    fpsCaptionShown(5000);
    EXPECT_STREQ(countFrame(7500), "Vantrell FPS:0.40000001"); // a slow frame counts one
}

// Seconds are a float: from the third caption on, the rate carries its rounding.
TEST_F(Caption, ASteadyClockGivesTheFormulasTextToTheLastDigit) {
    const std::string a = "Vantrell FPS:58.823536";
    EXPECT_EQ(captions(0, 830), (std::map<int, std::string>{{119, "Vantrell FPS:59.322033"},
                                                            {237, "Vantrell FPS:58.823528"},
                                                            {355, a},
                                                            {473, a},
                                                            {591, a},
                                                            {709, "Vantrell FPS:58.823521"},
                                                            {827, a}}));
    for (const uint32_t wrap : {1u << 31, 0u}) { // the counter turns negative as signed, then wraps
        fpsCaptionShown(wrap - 1000);
        const std::map<int, std::string> shown = captions(wrap - 983, 700);
        EXPECT_EQ(shown.size(), 5u) << wrap;
        for (const auto &[n, caption] : shown)
            EXPECT_NEAR(std::stod(caption.substr(13)), 58.82, 0.5) << wrap << " frame " << n;
    }
}

} // namespace

#ifndef __SANITIZE_ADDRESS__  // AddressSanitizer brings its own malloc
static long allocations = -1; // counted from 0 while the frame loop's work runs

extern "C" void *__libc_malloc(size_t size);
extern "C" void *malloc(size_t size) { // every way to the heap, operator new too, comes here
    allocations += allocations >= 0;
    return __libc_malloc(size);
}

TEST_F(Start, FrameWorkAllocatesNothing) {
    static TerrainVertex vertices[TERRAIN_VERTICES];
    allocations = 0;
    int *volatile block = new int(1); // the counter sees allocations
    delete block;
    EXPECT_EQ(allocations, 1);
    for (uint32_t n = 0; n < 2000; ++n) {
        updatePlasma();
        buildTerrainVertices(vertices);
        mouseLook(cameras[currentCamera], int(n % 640), int(n % 480));
        frame({});
        handleMouseButtons(uint8_t(n));
        if (countFrame(n * 700)) fpsCaptionShown(n * 700);
    }
    EXPECT_EQ(allocations, 1);
    allocations = -1;
}
#endif
