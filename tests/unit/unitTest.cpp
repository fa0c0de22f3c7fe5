// The pure code against worked values. Floats are compared exactly: a fused
// or reordered operation, or a row rounded once instead of per term, shows.
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

// The state the frame loop starts from, with both cameras at preset 0.
struct Start : ::testing::Test {
    void SetUp() override {
        initShellState();
        buildWaveTables();
        buildPalette();
        resetPlasmaPhase();
        currentCamera = 0;
        cameras[0] = Camera{{0, 25, 50}, {0, 0, 0}, {0, 1, 0}, rollAngle};
        cameras[1] = cameras[0];
        pitchTotal = 0;
        frameCount = 0;
        lastFpsTime = 0;
        lastFpsTicks = 0;
    }
};

// One frame of the keyboard controls with these keys held.
void frame(std::initializer_list<int> held) {
    uint8_t keys[512] = {};
    for (int key : held)
        keys[key] = 1;
    handleCameraSwitch(keys);
    handleMovementKeys(keys);
}

TEST_F(Start, PlasmaTablesPaletteAndEveryFrameOfACycle) {
    // Index, then sineA, sineB and sineC there.
    const int sines[][4] = {{-1024, -253, 37, -35}, {-1, -2, -2, -2},     {100, 180, 128, 1},
                            {201, 256, 0, 0},       {1024, 253, -37, 35}, {4352, 135, -115, -51}};
    for (const auto &[i, a, b, c] : sines)
        EXPECT_EQ((std::vector{sineA[i], sineB[i], sineC[i]}), (std::vector{a, b, c})) << i;
    const std::pair<int, PaletteEntry> colours[] = {{0, {128, 128, 128, 0}}, {1, {115, 121, 124, 0}},
                                                    {16, {1, 38, 79, 0}},    {32, {128, 1, 38, 0}},
                                                    {48, {254, 38, 10, 0}},  {255, {140, 134, 131, 0}}};
    for (const auto &[v, colour] : colours)
        EXPECT_EQ(std::memcmp(&palette[v], &colour, sizeof colour), 0) << v;
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
TEST_F(Start, TerrainIsTheFieldFoldedAtEveryEighthPoint) {
    for (int i = 0; i < PLASMA_CELLS; ++i)
        plasmaField[i] = static_cast<uint8_t>(i / 8 * 7 + i / 256);
    EXPECT_EQ(terrainHeight(248 + 256, 8 - 256), 256 - 225); // coordinates wrap
    std::vector<TerrainVertex> expected;
    const int cornerX[6] = {0, 8, 8, 0, 0, 8};
    const int cornerZ[6] = {0, 0, 8, 0, 8, 8};
    for (int i = 0; i < TERRAIN_VERTICES; ++i) { // cell by cell, rows (z) outer, six corners each
        const int x = i / 6 % 31 * 8 + cornerX[i % 6];
        const int z = i / 6 / 31 * 8 + cornerZ[i % 6];
        const int v = plasmaField[z * 256 + x];
        const int h = v > 128 ? 256 - v : v;
        expected.push_back({x / 256.0f, z / 256.0f, float(h / 128.0 + 64), x - 128, h - 128, z - 128});
    }
    std::vector<TerrainVertex> vertices(TERRAIN_VERTICES);
    buildTerrainVertices(vertices.data());
    EXPECT_EQ(std::memcmp(expected.data(), vertices.data(), sizeof(TerrainVertex) * TERRAIN_VERTICES), 0);
}

TEST_F(Start, CameraMotionMatchesWorkedValues) {
    Camera moved = cameras[0];
    Camera strafed = cameras[0];
    Camera turned = cameras[0];
    Camera far = cameras[0];
    Camera topDown = cameras[0];
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

// Ten turns about an axis add up to one turn by ten times the angle (Rodrigues' formula).
TEST_F(Start, RepeatedTurnsAreRotations) {
    const float n = float(1 / std::sqrt(14.0));
    for (const Floats &k : {Floats{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {n, 2 * n, 3 * n}}) {
        Camera camera = cameras[0];
        for (int turn = 0; turn < 10; ++turn)
            rotateView(camera, 0.1f, k[0], k[1], k[2]);
        const double v[3] = {0, -25, -50};
        const double a = 10 * double(0.1f);
        const double kv = k[1] * v[1] + k[2] * v[2];
        const Floats turned = floats(camera); // position, then view point
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3;
            const int l = (i + 2) % 3;
            EXPECT_NEAR(turned[3 + i] - turned[i],
                        v[i] * cos(a) + (k[j] * v[l] - k[l] * v[j]) * sin(a) + k[i] * kv * (1 - cos(a)), 1e-3);
        }
    }
}

// Each held key acts once per frame on the camera current after the switch;
// the buttons roll by a degree a frame, wrapping at 32 bits.
TEST_F(Start, ControlsMoveTheCurrentCamera) {
    // Key, then the steps forward and right it makes.
    const int moves[][3] = {{KEY_UP, 1, 0}, {KEY_DOWN, -1, 0}, {KEY_RIGHT, 0, 1}, {KEY_LEFT, 0, -1},
                            {KEY_W, 1, 0},  {KEY_S, -1, 0},    {KEY_A, 0, -1},    {KEY_D, 0, 1}};
    for (const auto &[key, forward, right] : moves) {
        Camera expected = cameras[0];
        moveCamera(expected, 0.5f * forward);
        strafeCamera(expected, 0.5f * right);
        frame({key});
        EXPECT_EQ(floats(cameras[0]), floats(expected)) << key;
        SetUp();
    }
    frame({KEY_C, KEY_W}); // C acts in every frame it is held, reloading presets
    frame({KEY_C, KEY_W});
    EXPECT_EQ(floats(cameras[1].position), (Floats{0, 44.5f, 0}));
    EXPECT_EQ(floats(cameras[0].position), (Floats{0, 24.7763939f, 49.5527878f}));
    // From, buttons (1 left, 4 right), to.
    const int rolls[][3] = {
        {90, 1, 91}, {90, 4, 89}, {90, 2, 90}, {90, 5, 90}, {INT32_MAX, 1, INT32_MIN}, {INT32_MIN, 4, INT32_MAX}};
    for (const auto &[from, buttons, to] : rolls) {
        rollAngle = from;
        handleMouseButtons(uint8_t(buttons));
        EXPECT_EQ(rollAngle, to) << from << " " << buttons;
    }
}

TEST_F(Start, MouseLookTiltsThenTurnsWithinTheBounds) {
    // At rest only up changes, from the roll with this PI. The float cosine and
    // sine of -53 degrees are 0.99999994 long, so normalising moves each by an ulp.
    const float c90 = float(std::cos(90 * 3.141593 / 180));
    const std::pair<int, Floats> ups[] = {
        {0, {1, 0, 0}}, {-53, {0.601814985f, -0.798635602f, 0}}, {90, {c90, 1, 0}}};
    Camera camera = cameras[0];
    for (const auto &[roll, up] : ups) {
        camera.roll = roll;
        EXPECT_FALSE(mouseLook(camera, 320, 240));
        EXPECT_EQ(floats(camera.up), up) << roll;
    }
    EXPECT_TRUE(mouseLook(camera, 330, 250)); // right and down; y -0.49874115 with a row rounded once
    EXPECT_EQ(floats(camera), (Floats{0, 25, 50, 0.497466862f, -0.498743057f, 0.254981995f}));
    EXPECT_EQ(pitchTotal, 0.01f);
    // Past a bound the tilt is pinned and the whole movement dropped; on a bound a turn alone applies.
    const float bounds[][4] = {{0.995f, 400, 250, 0}, {-0.995f, 250, 230, 0}, {1, 400, 240, 1}, {-1, 400, 240, 1}};
    for (const auto &[start, mx, my, turns] : bounds) { // tilt before, pointer, whether it turns
        camera = cameras[0];
        pitchTotal = start;
        EXPECT_TRUE(mouseLook(camera, int(mx), int(my)));
        EXPECT_EQ((Floats{pitchTotal, float(camera.view.x != 0)}), (Floats{std::round(start), turns}));
    }
    loadCameraPreset(camera, 1);
    mouseLook(camera, 320, 240);
    strafeCamera(camera, 1); // the top-down view is turned by the roll
    EXPECT_EQ(floats(camera.position), (Floats{0, 45, -1}));
}

// The rates shown, in order, for a counter that reads `first` in the first frame and 17 ms more in each after.
std::string captions(uint32_t first, int frames) {
    std::string shown;
    for (int n = 0; n < frames; ++n) {
        const uint32_t ticks = first + 17u * n;
        if (const char *caption = countFrame(ticks)) {
            shown += caption + 13 + std::string(" ");
            fpsCaptionShown(ticks);
        }
    }
    return shown;
}

TEST_F(Start, CaptionShowsTheRateWhenMoreThanTwoSecondsHavePassed) {
    const std::pair<float, std::string> formats[] = {{121 / 2.017f, "59.990086"}, {60, "60"}, {1e8f, "1e+08"}};
    for (const auto &[rate, text] : formats) {
        char caption[FPS_CAPTION_CAPACITY];
        formatFpsCaption(rate, caption);
        EXPECT_EQ(caption, "Vantrell FPS:" + text);
    }
    EXPECT_EQ(countFrame(2000), nullptr); // exactly two seconds
    EXPECT_STREQ(countFrame(2001), "Vantrell FPS:0.99950027");
    fpsCaptionShown(5000);
    EXPECT_STREQ(countFrame(7500), "Vantrell FPS:0.40000001"); // a slow frame counts one
    // Seconds are a float: from the third caption on the rate carries its
    // rounding, and just below 2^31 ms they are a quarter-second coarse. From
    // there, and across the wrap, the difference of two readings is the measure.
    SetUp();
    EXPECT_EQ(captions(0, 830), "59.322033 58.823528 58.823536 58.823536 58.823536 58.823521 58.823536 ");
    fpsCaptionShown((1u << 31) - 100000);
    EXPECT_EQ(captions((1u << 31) - 99983, 300), "61.814556 58.648109 ");
    fpsCaptionShown((1u << 31) - 1000);
    EXPECT_EQ(captions((1u << 31) - 983, 700), "58.823528 58.823528 58.823528 58.823528 58.823528 ");
    fpsCaptionShown(-1000u);
    EXPECT_EQ(captions(-983u, 700), "58.823528 58.823528 58.823536 58.823536 58.823536 ");
}

} // namespace

// Counted where malloc can be replaced and the C library's own reached:
// glibc, without AddressSanitizer, which brings its own malloc.
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
static long allocations = -1; // counted from 0 while the frame loop's work runs

extern "C" void *__libc_malloc(size_t size);
extern "C" void *malloc(size_t size) { // every way to the heap, operator new too, comes here
    if (allocations >= 0) allocations += 1;
    return __libc_malloc(size);
}

// Frame n of a busy user: C, Up and Right held, the pointer and buttons
// changing every frame, a caption every third frame.
uint32_t busyFrame;
const FrameEdge BUSY_EDGE = {
    [] { return true; },
    [] { busyFrame += 1; },
    [] {},
    [] {
        static TerrainVertex vertices[TERRAIN_VERTICES];
        buildTerrainVertices(vertices);
    },
    [](int &mx, int &my) {
        mx = int(busyFrame % 640);
        my = int(busyFrame % 480);
    },
    [] {},
    []() -> const uint8_t * {
        static uint8_t keys[512];
        keys[KEY_C] = 1;
        keys[KEY_UP] = 1;
        keys[KEY_RIGHT] = 1;
        return keys;
    },
    [] { return false; },
    [] { return uint8_t(busyFrame); },
    [] { return busyFrame * 700; },
    [](const char *) {},
    [](const Camera &) {},
    [] {},
};

TEST_F(Start, FrameWorkAllocatesNothing) {
    startUp(BUSY_EDGE);
    allocations = 0;
    int *volatile block = new int(1); // the counter sees allocations
    delete block;
    for (int n = 0; n < 2000; ++n)
        runFrame(BUSY_EDGE);
    EXPECT_EQ(allocations, 1);
    allocations = -1;
}
#endif
