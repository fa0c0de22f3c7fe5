// The per-frame plasma pattern: palette indices and their texels.
#include <climits>
#include <cstring>

#include "plasma/plasma.h"

int32_t phase;
int32_t phaseStep;
uint8_t plasmaField[PLASMA_CELLS];
Texel texels[PLASMA_CELLS];

void resetPlasmaPhase() {
    phase = 0;
    phaseStep = 1;
}

// The step is reversed after the phase leaves 1..4096, but the phase just
// reached is still drawn: the sequence is 1 .. 4096, 4097, 4096 .. 1, 0, 1 ..
// so both 0 and 4097 appear once per cycle, and phase + 255 never passes
// WAVE_TABLE_LAST.
void updatePlasma() {
    phase += phaseStep;
    if (phase < 1 || phase > PHASE_LAST - 1) {
        phaseStep = -phaseStep;
    }
    fillPlasma(phase, plasmaField, texels);
}

constexpr int WORD_BYTES = sizeof(uint64_t);

// Whether a word's least significant byte comes first in memory; the compiler
// folds this to a constant.
static bool lowByteFirst() {
    const uint16_t one = 1;
    uint8_t first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

// The right shift that brings byte k, counted in memory order, of a 64-bit word to its low bits.
static int byteShift(int k) { return CHAR_BIT * (lowByteFirst() ? k : WORD_BYTES - 1 - k); }

// Only the low eight bits of the sum matter, and two's-complement addition
// commutes with truncation, so the four terms are added as bytes: the column
// term (sineA + sineC, the same in every row) once per frame, the row term once
// per row, and the diagonal sineC[x + y] from a byte copy of the table. The
// byte loop vectorises; the texel lookup cannot (baseline x86-64 has no
// gather), so its cost is the memory accesses per cell. Reading the row back a
// word at a time leaves one table load and one store per cell, where a
// byte-by-byte read-back costs two loads and a store.
void fillPlasma(int32_t phase, uint8_t *field, Texel *texelOut) {
    uint8_t column[PLASMA_SIZE];
    uint8_t diagonal[2 * PLASMA_SIZE - 1];
    Texel colour[PALETTE_SIZE];
    for (int x = 0; x < PLASMA_SIZE; ++x) {
        column[x] = static_cast<uint8_t>(sineA[phase + x] + sineC[x]);
    }
    for (int i = 0; i < 2 * PLASMA_SIZE - 1; ++i) {
        diagonal[i] = static_cast<uint8_t>(sineC[i]);
    }
    for (int v = 0; v < PALETTE_SIZE; ++v) {
        colour[v] = paletteTexel(palette[v]);
    }

    static_assert(PLASMA_SIZE % WORD_BYTES == 0, "a row is read back in whole words");
    for (int y = 0; y < PLASMA_SIZE; ++y) {
        const uint8_t row = static_cast<uint8_t>(sineB[phase + y]);
        const uint8_t *diagonalOfRow = diagonal + y;
        uint8_t *fieldRow = field + y * PLASMA_SIZE;
        Texel *texelRow = texelOut + y * PLASMA_SIZE;
        for (int x = 0; x < PLASMA_SIZE; ++x) {
            fieldRow[x] = static_cast<uint8_t>(column[x] + row + diagonalOfRow[x]);
        }
        for (int x = 0; x < PLASMA_SIZE; x += WORD_BYTES) {
            uint64_t word;
            std::memcpy(&word, fieldRow + x, WORD_BYTES);
            for (int k = 0; k < WORD_BYTES; ++k) {
                texelRow[x + k] = colour[static_cast<uint8_t>(word >> byteShift(k))];
            }
        }
    }
}
