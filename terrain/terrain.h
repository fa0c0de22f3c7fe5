// Terrain: the plasma field read as a height field and compiled, every frame,
// into a display list of 31x31 textured cells.
#pragma once

#include <cstdint>

#include "plasma/plasma.h"

constexpr int TERRAIN_STEP = 8;                                            // grid units between corners
constexpr int TERRAIN_CELLS = (PLASMA_SIZE - TERRAIN_STEP) / TERRAIN_STEP; // cells per side: 31
constexpr int TERRAIN_CORNERS = TERRAIN_CELLS + 1;                         // corners per side: 32
constexpr int TERRAIN_VERTICES = TERRAIN_CELLS * TERRAIN_CELLS * 6;        // two triangles per cell
constexpr int TERRAIN_ORIGIN = 128; // subtracted from grid x, z and height to centre the mesh
constexpr int TERRAIN_PEAK = 128;   // field values above it fold back down

// One vertex as the display list receives it.
struct TerrainVertex {
    float s, t;      // texture coordinate: grid x / 256, grid z / 256
    float shade;     // grey level h / 128 + 64, clamped to white by the GL
    int32_t x, y, z; // grid x - 128, height - 128, grid z - 128
};

// The display-list name holding the current frame's terrain (0 until the first
// build, and again once deleted).
extern unsigned int terrainList;

// The folded height 0..128 at grid point (x, z) of plasmaField; x and z wrap at 256.
int terrainHeight(int x, int z);

// The current field's vertices in drawing order: cell by cell, rows (z) outer,
// columns (x) inner, six vertices per cell at (x0,z0) (x0+8,z0) (x0+8,z0+8)
// (x0,z0) (x0,z0+8) (x0+8,z0+8).
void buildTerrainVertices(TerrainVertex *out);

// The terrain's display list, in terrainList.cpp on a GL that has display lists
// and in terrainListWeb.cpp where WebGL has none; both need a GL context.
// Recompiles terrainList from the current field.
void buildTerrainList();

// Draws the compiled terrain with the GL's current state.
void callTerrainList();

// Deletes the list, leaving no GL object behind.
void deleteTerrainList();

// The vertices as immediate-mode triangles, each with its texture coordinate and grey.
void issueTerrainTriangles(const TerrainVertex (&vertices)[TERRAIN_VERTICES]);
