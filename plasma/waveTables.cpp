// The three integer sine tables and the 256-colour palette.
#include <cmath>

#include "plasma/plasma.h"

WaveTable sineA;
WaveTable sineB;
WaveTable sineC;
PaletteEntry palette[PALETTE_SIZE];

void buildWaveTables() {
    for (int i = WAVE_TABLE_FIRST; i <= WAVE_TABLE_LAST; ++i) {
        sineA[i] = roundToInt(std::sin(i / 128.0) * 256.0);
        sineB[i] = roundToInt(std::sin(i / 64.0) * 128.0);
        sineC[i] = roundToInt(std::sin(i / 32.0) * 64.0);
    }
}

// abs(floor(128 - 127 sin(i pi / divisor))): always 1 .. 254, so it fits a byte.
static uint8_t paletteByte(int i, double divisor) {
    return static_cast<uint8_t>(std::fabs(std::floor(128.0 - 127.0 * std::sin(i * PI / divisor))));
}

void buildPalette() {
    for (int i = 0; i < PALETTE_SIZE; ++i) {
        palette[i].p0 = paletteByte(i, 32.0);
        palette[i].p1 = paletteByte(i, 64.0);
        palette[i].p2 = paletteByte(i, 128.0);
    }
}
