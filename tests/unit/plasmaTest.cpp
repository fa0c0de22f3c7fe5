// Wave tables, palette and the plasma pattern against worked values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "plasma/plasma.h"

namespace {

class Plasma : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setNumericConventions();
        buildWaveTables();
        buildPalette();
    }
    void SetUp() override { resetPlasmaPhase(); }
};

TEST_F(Plasma, WaveTablesMatchWorkedValues) {
    struct Row {
        int i, a, b, c;
    };
    const Row rows[] = {{-1024, -253, 37, -35}, {-1, -2, -2, -2}, {0, 0, 0, 0},        {1, 2, 2, 2},
                        {100, 180, 128, 1},     {201, 256, 0, 0}, {1024, 253, -37, 35}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.i);
        EXPECT_EQ(sineA[r.i], r.a);
        EXPECT_EQ(sineB[r.i], r.b);
        EXPECT_EQ(sineC[r.i], r.c);
    }
}

TEST_F(Plasma, WaveTablesRoundHalfToEvenAndStayInRange) {
    for (int i = WAVE_TABLE_FIRST; i <= WAVE_TABLE_LAST; ++i) {
        ASSERT_LE(std::abs(sineA[i]), 256);
        ASSERT_LE(std::abs(sineB[i]), 128);
        ASSERT_LE(std::abs(sineC[i]), 64);
    }
    // The extension past 1024 follows the same formula: at 4352, sin(34) * 256 = 135.1...
    EXPECT_EQ(sineA[WAVE_TABLE_LAST], 135);
    EXPECT_EQ(roundToInt(2.5), 2);
    EXPECT_EQ(roundToInt(3.5), 4);
    EXPECT_EQ(roundToInt(-2.5), -2);
}

TEST_F(Plasma, PaletteMatchesWorkedValues) {
    struct Row {
        int i, p0, p1, p2;
    };
    const Row rows[] = {{0, 128, 128, 128}, {1, 115, 121, 124}, {16, 1, 38, 79},      {32, 128, 1, 38},
                        {48, 254, 38, 10},  {64, 127, 128, 1},  {128, 127, 127, 128}, {255, 140, 134, 131}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.i);
        EXPECT_EQ(palette[r.i].p0, r.p0);
        EXPECT_EQ(palette[r.i].p1, r.p1);
        EXPECT_EQ(palette[r.i].p2, r.p2);
        EXPECT_EQ(palette[r.i].p3, 0);
    }
    for (const PaletteEntry &e : palette) {
        for (uint8_t byte : {e.p0, e.p1, e.p2}) {
            ASSERT_NE(byte, 0);
            ASSERT_NE(byte, 255);
        }
    }
}

TEST_F(Plasma, FirstFrameCellsAndTexels) {
    updatePlasma();
    ASSERT_EQ(phase, 1);
    struct Row {
        int x, y, v;
        Texel texel;
    };
    const Row rows[] = {{0, 0, 4, {115, 103, 79, 0}},
                        {255, 0, 107, {65, 236, 240, 0}},
                        {0, 255, 225, {215, 254, 140, 0}},
                        {255, 255, 185, {253, 85, 208, 0}},
                        {8, 8, 83, {14, 230, 6, 0}}};
    for (const Row &r : rows) {
        SCOPED_TRACE(::testing::Message() << "(" << r.x << ", " << r.y << ")");
        const int i = r.y * PLASMA_SIZE + r.x;
        EXPECT_EQ(plasmaField[i], r.v);
        EXPECT_EQ(texels[i].r, r.texel.r);
        EXPECT_EQ(texels[i].g, r.texel.g);
        EXPECT_EQ(texels[i].b, r.texel.b);
        EXPECT_EQ(texels[i].a, 0);
    }
}

TEST_F(Plasma, TexelIsPaletteInRgbOrderWithZeroAlpha) {
    updatePlasma();
    for (int i = 0; i < PLASMA_CELLS; ++i) {
        const PaletteEntry &e = palette[plasmaField[i]];
        ASSERT_EQ(texels[i].r, e.p2); // the divisor-128 byte is red
        ASSERT_EQ(texels[i].g, e.p1);
        ASSERT_EQ(texels[i].b, e.p0); // the divisor-32 byte is blue
        ASSERT_EQ(texels[i].a, 0);
        uint32_t word;
        std::memcpy(&word, &texels[i], sizeof word);
        ASSERT_EQ(word, e.p0 * 65536u + e.p1 * 256u + e.p2);
    }
}

TEST_F(Plasma, PhaseBouncesBetweenZeroAnd4097) {
    std::vector<int32_t> phases(1); // phases[frame], frames counted from 1
    for (int frame = 1; frame <= PHASE_CYCLE + 1; ++frame) {
        updatePlasma();
        phases.push_back(phase);
    }
    EXPECT_EQ((std::vector<int32_t>(phases.begin() + 1, phases.begin() + 5)), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(phases[4097], 4097);
    EXPECT_EQ(phases[4098], 4096);
    EXPECT_EQ(phases[4099], 4095);
    EXPECT_EQ(phases[8193], 1);
    EXPECT_EQ(phases[8194], 0);
    EXPECT_EQ(phases[8195], 1);
    EXPECT_EQ(std::count(phases.begin() + 1, phases.end() - 1, 0), 1);
    EXPECT_EQ(std::count(phases.begin() + 1, phases.end() - 1, PHASE_LAST), 1);
}

// Every byte is rewritten each frame: two runs over buffers that start with
// different contents must agree everywhere.
TEST_F(Plasma, EveryCellIsRewrittenEachFrame) {
    std::memset(plasmaField, 0x00, sizeof plasmaField);
    std::memset(texels, 0x00, sizeof texels);
    updatePlasma();
    std::vector<uint8_t> field(plasmaField, plasmaField + PLASMA_CELLS);
    std::vector<Texel> colours(texels, texels + PLASMA_CELLS);

    resetPlasmaPhase();
    std::memset(plasmaField, 0xFF, sizeof plasmaField);
    std::memset(texels, 0xFF, sizeof texels);
    updatePlasma();
    EXPECT_EQ(std::memcmp(field.data(), plasmaField, sizeof plasmaField), 0);
    EXPECT_EQ(std::memcmp(colours.data(), texels, sizeof texels), 0);
}

// The fast pass must equal the formula as written, byte for byte, for every
// phase of a full cycle, including the lookups beyond index 1024.
TEST_F(Plasma, FastPassEqualsFormulaForEveryPhase) {
    static uint8_t field[PLASMA_CELLS];
    static Texel colours[PLASMA_CELLS];
    for (int32_t p = 0; p <= PHASE_LAST; ++p) {
        fillPlasma(p, plasmaField, texels);
        fillPlasmaReference(p, field, colours);
        ASSERT_EQ(std::memcmp(field, plasmaField, sizeof field), 0) << "phase " << p;
        ASSERT_EQ(std::memcmp(colours, texels, sizeof colours), 0) << "phase " << p;
    }
}

} // namespace
