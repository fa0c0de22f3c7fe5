// The plasma pattern computed cell by cell from its formula: the baseline the
// program's fast pass must equal byte for byte, and the benchmarks' yardstick.
#pragma once

#include "plasma/plasma.h"

inline void fillPlasmaReference(int32_t phase, uint8_t *field, Texel *texelOut) {
    for (int y = 0; y < PLASMA_SIZE; ++y) {
        for (int x = 0; x < PLASMA_SIZE; ++x) {
            const int i = y * PLASMA_SIZE + x;
            field[i] = static_cast<uint8_t>((sineA[phase + x] + sineC[x] + sineB[phase + y] + sineC[x + y]) & 255);
            const PaletteEntry &colour = palette[field[i]];
            texelOut[i] = Texel{colour.p2, colour.p1, colour.p0, 0};
        }
    }
}
