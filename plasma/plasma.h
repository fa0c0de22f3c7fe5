// Plasma: the wave tables and palette built at start-up, and the per-frame
// 256x256 pattern written both as palette indices and as texels.
#pragma once

#include <cstdint>

#include "app/conventions.h"

constexpr int PLASMA_SIZE = 256;
constexpr int PLASMA_CELLS = PLASMA_SIZE * PLASMA_SIZE;
constexpr int PALETTE_SIZE = 256;

// The phase runs 1 .. 4097 .. 0 .. and back, one cycle every PHASE_CYCLE frames.
constexpr int PHASE_LAST = 4097;
constexpr int PHASE_CYCLE = 2 * PHASE_LAST;

// The tables' defined range is -1024..1024; they are extended with the same
// formulas up to the largest index the pattern reads (phase + 255).
constexpr int WAVE_TABLE_FIRST = -1024;
constexpr int WAVE_TABLE_LAST = PHASE_LAST + PLASMA_SIZE - 1;

// An integer sine table indexed from WAVE_TABLE_FIRST to WAVE_TABLE_LAST.
struct WaveTable {
    int32_t entries[WAVE_TABLE_LAST - WAVE_TABLE_FIRST + 1];

    int32_t operator[](int i) const { return entries[i - WAVE_TABLE_FIRST]; }
    int32_t &operator[](int i) { return entries[i - WAVE_TABLE_FIRST]; }
};

// One palette colour; p3 is never written and stays 0.
struct PaletteEntry {
    uint8_t p0, p1, p2, p3;
};

// One texel in the byte order handed to the GL (GL_RGBA, GL_UNSIGNED_BYTE).
struct Texel {
    uint8_t r, g, b, a;
};
static_assert(sizeof(Texel) == 4, "texels are uploaded as tightly packed RGBA bytes");

// Built once at start-up, read-only afterwards.
extern WaveTable sineA; // round(sin(i / 128) * 256)
extern WaveTable sineB; // round(sin(i / 64) * 128)
extern WaveTable sineC; // round(sin(i / 32) * 64)
extern PaletteEntry palette[PALETTE_SIZE];

// Advanced by updatePlasma every frame; reset at start-up by resetPlasmaPhase.
extern int32_t phase;
extern int32_t phaseStep;

// The current frame's pattern, row-major (index = y * 256 + x), rewritten
// whole by updatePlasma; read by the terrain (heights) and the texture upload.
extern uint8_t plasmaField[PLASMA_CELLS];
extern Texel texels[PLASMA_CELLS];

// Fills sineA, sineB and sineC over their whole index range.
void buildWaveTables();

// Fills the 256 palette entries.
void buildPalette();

// The colour of palette index v: (R, G, B, A) = (p2, p1, p0, 0).
inline Texel paletteTexel(const PaletteEntry &entry) { return Texel{entry.p2, entry.p1, entry.p0, 0}; }

// phase <- 0, phaseStep <- +1.
void resetPlasmaPhase();

// Advances the phase and rewrites plasmaField and texels for it.
void updatePlasma();

// The pattern of one phase (0 .. PHASE_LAST) into the given arrays.
void fillPlasma(int32_t phase, uint8_t *field, Texel *texelOut);
