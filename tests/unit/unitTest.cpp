// The pure code against worked values. Floats are compared exactly: a fused
// or reordered operation, or a row rounded once instead of per term, shows.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>

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
        cameras[0] = cameras[1] = Camera{{0, 25, 50}, {0, 0, 0}, {0, 1, 0}, rollAngle};
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
};

TEST_F(Start, PlasmaTablesPaletteAndEveryFrameOfACycle) {
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
    static uint8_t field[PLASMA_CELLS];
    static Texel colours[PLASMA_CELLS];
    const std::map<int, int> phases = {{1, 1}, {4, 4}, {4097, 4097}, {4098, 4096}, {8194, 0}, {8195, 1}};
    for (int frame = 1; frame <= PHASE_CYCLE + 1; ++frame) { // phases 0 and 4097 included
        updatePlasma();
        fillPlasmaReference(phase, field, colours);
        ASSERT_EQ(std::memcmp(field, plasmaField, sizeof field) | std::memcmp(colours, texels, sizeof colours), 0);
        EXPECT_TRUE(!phases.count(frame) || phases.at(frame) == phase) << frame;
    }
}

// The vertex sequence written out from the field, for the first frame's
// field and for one with every value at some corner.
TEST_F(Start, TerrainIsTheFieldFoldedAtEveryEighthPoint) {
    updatePlasma();
    EXPECT_EQ(terrainHeight(248 + 256, 248 - 256), 28); // (248, 248) holds 228; coordinates wrap
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

TEST_F(Start, CameraMotionMatchesWorkedValues) {
    Camera camera = cameras[0];
    moveCamera(camera, 0.5f);
    EXPECT_EQ(xyz(camera.position), (Xyz{0, 24.7763939f, 49.5527878f}));
    EXPECT_EQ(xyz(camera.view), (Xyz{0, -0.223606795f, -0.44721359f}));
    camera = cameras[0];
    strafeCamera(camera, -0.5f);
    EXPECT_EQ(xyz(camera.position), (Xyz{-0.5f, 25, 50}));
    EXPECT_EQ(xyz(camera.view), (Xyz{-0.5f, 0, 0}));
    camera = cameras[0];
    rotateView(camera, 0.01f, 0, 1, 0);
    EXPECT_EQ(xyz(camera.view), (Xyz{-0.499991655f, 0, 0.00249862671f})); // 0.00250041485 unrounded per term
    setCamera(camera, 1000, 0, 0, 0.1f, 0, 0, 0, 1, 0);
    rotateView(camera, 0, 0, 1, 0); // the direction is held in a float
    EXPECT_EQ(camera.view.x, 0.0999755859f);
    loadCameraPreset(camera, 1);
    strafeCamera(camera, 0.5f); // looking along up: no sideways direction
    EXPECT_EQ(xyz(camera.position), (Xyz{0, 45, 0}));
    EXPECT_EQ(xyz(cross({2, -25, -50}, {1, 2, 0})), (Xyz{100, -50, 29}));
}

// Each held key acts once per frame on the camera current after the switch.
TEST_F(Start, ControlsMoveTheCurrentCamera) {
    for (const auto &[key, forward, right] : {std::array{KEY_UP, 1, 0},
                                              {KEY_DOWN, -1, 0},
                                              {KEY_RIGHT, 0, 1},
                                              {KEY_LEFT, 0, -1},
                                              {KEY_W, 1, 0},
                                              {KEY_S, -1, 0},
                                              {KEY_A, 0, -1},
                                              {KEY_D, 0, 1}}) {
        Camera expected = cameras[0];
        moveCamera(expected, 0.5f * forward);
        strafeCamera(expected, 0.5f * right);
        frame({key});
        EXPECT_EQ(xyz(cameras[0].position), xyz(expected.position)) << key;
        SetUp();
    }
    frame({KEY_UP, KEY_DOWN}); // forward, then back to exactly where it was
    EXPECT_EQ(xyz(cameras[0].position), (Xyz{0, 25, 50}));
    frame({KEY_C, KEY_W}); // C acts in every frame it is held, reloading presets
    frame({KEY_C});
    frame({KEY_C, KEY_W});
    EXPECT_EQ(currentCamera, 1);
    EXPECT_EQ(xyz(cameras[1].position), (Xyz{0, 44.5f, 0}));
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

// Ten turns about an axis add up to one turn by ten times the angle.
TEST_F(Start, RepeatedTurnsAreRotations) {
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

TEST_F(Start, MouseLookTiltsThenTurnsWithinTheBounds) {
    Camera camera = cameras[0];
    EXPECT_FALSE(mouseLook(camera, 320, 240)); // at rest only up changes: from roll 90 with this PI
    EXPECT_EQ(xyz(camera.up), (Xyz{float(std::cos(90 * 3.141593 / 180)), 1, 0}));
    EXPECT_EQ(xyz(camera.view), (Xyz{0, 0, 0}));
    EXPECT_TRUE(mouseLook(camera, 330, 250));
    EXPECT_EQ(pitchTotal, 0.01f);
    EXPECT_NEAR(camera.view.x, 0.497467, 1e-6);     // to the right
    EXPECT_NEAR(camera.view.y, -0.498743057, 5e-7); // and down; -0.49874115 with a row rounded once
    EXPECT_NEAR(camera.view.z, 0.254982, 1e-6);
    // Past a bound the tilt is pinned and the whole movement dropped; on a bound a turn alone applies.
    for (const auto &[start, mx, my, turns] : {std::tuple{0.995f, 400, 250, false},
                                               {-0.995f, 250, 230, false},
                                               {1.0f, 400, 240, true},
                                               {-1.0f, 400, 240, true}}) {
        camera = cameras[0];
        pitchTotal = start;
        EXPECT_TRUE(mouseLook(camera, mx, my));
        EXPECT_EQ(pitchTotal, std::round(start));
        EXPECT_EQ(camera.view.x != 0, turns) << start;
    }
    camera.roll = 0;
    mouseLook(camera, 320, 240);
    EXPECT_EQ(xyz(camera.up), (Xyz{1, 0, 0}));
    camera.roll = -53; // the float cosine and sine are 0.99999994 long: normalising moves each by an ulp
    mouseLook(camera, 320, 240);
    EXPECT_EQ(xyz(camera.up), (Xyz{0.601814985f, -0.798635602f, 0}));
    camera.roll = 90;
    loadCameraPreset(camera, 1);
    mouseLook(camera, 320, 240);
    Vector3 side = cross(subtract(camera.view, camera.position), camera.up); // how the top-down view is turned
    normalize(side);
    EXPECT_EQ(xyz(side), (Xyz{0, 0, -1}));
}

// The captions by frame of a counter reading `first` + 17 ms in each frame.
std::map<int, std::string> captions(uint32_t first, int frames) {
    std::map<int, std::string> shown;
    for (int n = 1; n <= frames; ++n) {
        if (const char *caption = countFrame(first + 17u * (n - 1))) {
            shown[n] = caption;
            fpsCaptionShown(first + 17u * (n - 1));
        }
    }
    return shown;
}

TEST_F(Start, CaptionShowsTheRateWhenMoreThanTwoSecondsHavePassed) {
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
    fpsCaptionShown(5000);
    EXPECT_STREQ(countFrame(7500), "Vantrell FPS:0.40000001"); // a slow frame counts one
    // Seconds are a float: from the third caption on the rate carries its rounding.
    const std::string a = "Vantrell FPS:58.823536";
    SetUp();
    EXPECT_EQ(captions(0, 830), (std::map<int, std::string>{{119, "Vantrell FPS:59.322033"},
                                                            {237, "Vantrell FPS:58.823528"},
                                                            {355, a},
                                                            {473, a},
                                                            {591, a},
                                                            {709, "Vantrell FPS:58.823521"},
                                                            {827, a}}));
    const uint32_t late = (1u << 31) - 100000; // still the float seconds, though they are a quarter-second coarse
    fpsCaptionShown(late);
    countFrame(late + 2100);
    EXPECT_EQ(elapsed, float((late + 2100) * 0.001 - float(late * 0.001)));
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
    for (uint32_t n = 0; n < 2000; ++n) {
        updatePlasma();
        buildTerrainVertices(vertices);
        mouseLook(cameras[currentCamera], int(n % 640), int(n % 480));
        frame({KEY_C, KEY_UP, KEY_RIGHT});
        handleMouseButtons(uint8_t(n));
        if (countFrame(n * 700)) fpsCaptionShown(n * 700);
    }
    EXPECT_EQ(allocations, 1);
    allocations = -1;
}
#endif
