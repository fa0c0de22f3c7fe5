// Terrain: the plasma field read as a height field, and the vertices of its
// 31x31 textured cells, rebuilt every frame for the GL to draw.
#pragma once

#include <cstdint>

#include "plasma/plasma.h"

constexpr int TERRAIN_STEP = 8;                                            // grid units between corners
constexpr int TERRAIN_CELLS = (PLASMA_SIZE - TERRAIN_STEP) / TERRAIN_STEP; // cells per side: 31
constexpr int TERRAIN_CORNERS = TERRAIN_CELLS + 1;                         // corners per side: 32
constexpr int TERRAIN_VERTICES = TERRAIN_CELLS * TERRAIN_CELLS * 6;        // two triangles per cell
constexpr int TERRAIN_ORIGIN = 128; // subtracted from grid x, z and height to centre the mesh
constexpr int TERRAIN_PEAK = 128;   // field values above it fold back down

// One vertex as the GL receives it: the desktop through its display list, the
// page as one buffer. The position is held in shorts, which WebGL 1 reads as a
// vertex attribute where it reads no 32-bit integers.
struct TerrainVertex {
    float s, t;      // texture coordinate: grid x / 256, grid z / 256
    float shade;     // grey level h / 128 + 64, clamped to white by the GL
    int16_t x, y, z; // grid x - 128, height - 128, grid z - 128
    int16_t unused;  // 0 where a vertex is built: no padding of unknown value to compare
};

// The folded height 0..128 at grid point (x, z) of plasmaField; x and z wrap at 256.
int terrainHeight(int x, int z);

// The current field's vertices in drawing order: cell by cell, rows (z) outer,
// columns (x) inner, six vertices per cell at (x0,z0) (x0+8,z0) (x0+8,z0+8)
// (x0,z0) (x0,z0+8) (x0+8,z0+8).
void buildTerrainVertices(TerrainVertex *out);
