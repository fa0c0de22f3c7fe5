// Terrain heights and the vertex sequence, from the first frame's field.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "terrain/terrain.h"

namespace {

class Terrain : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setNumericConventions();
        buildWaveTables();
        buildPalette();
    }
    void SetUp() override {
        resetPlasmaPhase();
        updatePlasma(); // first frame, phase 1
        buildTerrainVertices(vertices.data());
    }
    std::vector<TerrainVertex> vertices = std::vector<TerrainVertex>(TERRAIN_VERTICES);
};

TEST_F(Terrain, HeightFoldsAtThePeak) {
    const int value[] = {0, 1, 127, 128, 129, 200, 255};
    const int height[] = {0, 1, 127, 128, 127, 56, 1};
    for (int i = 0; i < 7; ++i) {
        plasmaField[3 * PLASMA_SIZE + 5] = static_cast<uint8_t>(value[i]);
        EXPECT_EQ(terrainHeight(5, 3), height[i]) << "field value " << value[i];
    }
    // Coordinates wrap at 256 (low eight bits), column x and row z.
    EXPECT_EQ(terrainHeight(5 + 256, 3 - 256), terrainHeight(5, 3));
    plasmaField[5 * PLASMA_SIZE + 3] = 77;
    EXPECT_EQ(terrainHeight(3, 5), 77);
}

TEST_F(Terrain, GridPointsMatchWorkedValues) {
    struct Row {
        int x, z, field, height;
    };
    const Row rows[] = {{0, 0, 4, 4},   {8, 0, 52, 52},      {8, 8, 83, 83},
                        {0, 8, 36, 36}, {248, 248, 228, 28}, {0, 248, 235, 21}};
    for (const Row &r : rows) {
        SCOPED_TRACE(::testing::Message() << "(" << r.x << ", " << r.z << ")");
        EXPECT_EQ(plasmaField[r.z * PLASMA_SIZE + r.x], r.field);
        EXPECT_EQ(terrainHeight(r.x, r.z), r.height);
        // The vertex at this corner, wherever it appears in the sequence.
        const auto it = std::find_if(vertices.begin(), vertices.end(),
                                     [&](const TerrainVertex &v) { return v.x == r.x - 128 && v.z == r.z - 128; });
        ASSERT_NE(it, vertices.end());
        EXPECT_EQ(it->y, r.height - 128);
        EXPECT_EQ(it->s, r.x / 256.0f);
        EXPECT_EQ(it->t, r.z / 256.0f);
        EXPECT_EQ(it->shade, static_cast<float>(r.height / 128.0 + 64.0));
    }
    EXPECT_EQ(vertices[0].s, 0.0f);
    EXPECT_EQ(vertices[TERRAIN_VERTICES - 1].s, 0.96875f);
    EXPECT_EQ(vertices[TERRAIN_VERTICES - 1].t, 0.96875f);
}

// The vertex sequence computed vertex by vertex, straight from the field, as
// the shared-corner version must reproduce it.
void expectStraightforwardSequence(const std::vector<TerrainVertex> &vertices) {
    const int corners[6][2] = {{0, 0}, {8, 0}, {8, 8}, {0, 0}, {0, 8}, {8, 8}};
    int index = 0;
    for (int z0 = 0; z0 <= 247; z0 += 8) {
        for (int x0 = 0; x0 <= 247; x0 += 8) {
            for (const auto &c : corners) {
                const TerrainVertex &v = vertices[index++];
                const int x = x0 + c[0];
                const int z = z0 + c[1];
                const int h = terrainHeight(x, z);
                ASSERT_EQ(v.x, x - 128) << "vertex " << index - 1;
                ASSERT_EQ(v.z, z - 128) << "vertex " << index - 1;
                ASSERT_EQ(v.y, h - 128) << "vertex " << index - 1;
                ASSERT_EQ(v.s, static_cast<float>(x / 256.0)) << "vertex " << index - 1;
                ASSERT_EQ(v.t, static_cast<float>(z / 256.0)) << "vertex " << index - 1;
                ASSERT_EQ(v.shade, static_cast<float>(h / 128.0 + 64)) << "vertex " << index - 1;
            }
        }
    }
    ASSERT_EQ(index, TERRAIN_VERTICES);
}

TEST_F(Terrain, SequenceIsCellByCellRowsOuterSixCorners) {
    ASSERT_EQ(TERRAIN_VERTICES, 5766);
    expectStraightforwardSequence(vertices);
}

TEST_F(Terrain, SequenceEqualsStraightforwardForEveryPhase) {
    for (int32_t p = 0; p <= PHASE_LAST; ++p) {
        fillPlasma(p, plasmaField, texels);
        buildTerrainVertices(vertices.data());
        SCOPED_TRACE(p);
        expectStraightforwardSequence(vertices);
        if (HasFatalFailure()) return;
    }
}

TEST_F(Terrain, SpansAndShadeStayWithinBounds) {
    int minX = 1000, maxX = -1000, minY = 1000, maxY = -1000;
    for (const TerrainVertex &v : vertices) {
        minX = std::min({minX, v.x, v.z});
        maxX = std::max({maxX, v.x, v.z});
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
        ASSERT_GE(v.shade, 64.0f); // sixty-four plus up to one: always clamped to white
        ASSERT_LE(v.shade, 65.0f);
    }
    EXPECT_EQ(minX, -128);
    EXPECT_EQ(maxX, 120);
    EXPECT_GE(minY, -128);
    EXPECT_LE(maxY, 0);
}

// Heights come from the field and nothing else: every field value at a grid
// point lands in every vertex there, folded.
TEST_F(Terrain, FoldedValuesReachVertices) {
    plasmaField[0] = 128;
    plasmaField[8] = 129;
    plasmaField[8 * PLASMA_SIZE + 8] = 255;
    plasmaField[8 * PLASMA_SIZE] = 0;
    buildTerrainVertices(vertices.data());
    EXPECT_EQ(vertices[0].y, 0);    // 128 stays 128
    EXPECT_EQ(vertices[1].y, -1);   // 129 folds to 127
    EXPECT_EQ(vertices[2].y, -127); // 255 folds to 1
    EXPECT_EQ(vertices[4].y, -128); // 0
    EXPECT_EQ(vertices[3].y, vertices[0].y);
    EXPECT_EQ(vertices[5].y, vertices[2].y);
    EXPECT_EQ(vertices[6].y, vertices[1].y); // the next cell starts at (8, 0)
}

} // namespace
