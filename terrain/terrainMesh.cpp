// Heights and the terrain's vertex sequence, computed from the plasma field.
#include "terrain/terrain.h"

int terrainHeight(int x, int z) {
    const int v = plasmaField[(z & (PLASMA_SIZE - 1)) * PLASMA_SIZE + (x & (PLASMA_SIZE - 1))];
    return v > TERRAIN_PEAK ? PLASMA_SIZE - v : v;
}

// The corners of a cell, in emission order, as multiples of TERRAIN_STEP.
static constexpr int CELL_CORNERS[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {0, 1}, {1, 1}};

// Each corner is shared by up to six vertices, so its height and vertex are
// computed once for the frame and then copied into place.
void buildTerrainVertices(TerrainVertex *out) {
    TerrainVertex corner[TERRAIN_CORNERS][TERRAIN_CORNERS];
    for (int j = 0; j < TERRAIN_CORNERS; ++j) {
        for (int i = 0; i < TERRAIN_CORNERS; ++i) {
            const int x = i * TERRAIN_STEP;
            const int z = j * TERRAIN_STEP;
            const int h = terrainHeight(x, z);
            corner[j][i] = TerrainVertex{static_cast<float>(x / double(PLASMA_SIZE)),
                                         static_cast<float>(z / double(PLASMA_SIZE)),
                                         static_cast<float>(h / double(TERRAIN_PEAK) + 64.0),
                                         static_cast<int16_t>(x - TERRAIN_ORIGIN),
                                         static_cast<int16_t>(h - TERRAIN_ORIGIN),
                                         static_cast<int16_t>(z - TERRAIN_ORIGIN),
                                         0};
        }
    }
    for (int j = 0; j < TERRAIN_CELLS; ++j) {
        for (int i = 0; i < TERRAIN_CELLS; ++i) {
            for (const auto &c : CELL_CORNERS) {
                *out++ = corner[j + c[1]][i + c[0]];
            }
        }
    }
}
