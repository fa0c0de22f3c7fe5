// The sine and cosine sweep. Each result is taken from the program's own code
// (mouseLook, rotateView, the built tables), so it is evaluated with the
// program's types, widening and compiled calls.
#include "tests/trace/mathSweep.h"

#include <cinttypes>

#include "app/shell.h"
#include "camera/camera.h"
#include "plasma/plasma.h"
#include "tests/trace/digest.h"

namespace {

// The up vector mouseLook makes of a roll: (cos a, sin a, 0) as floats, normalised.
Vector3 upOfRoll(int32_t roll) {
    Camera camera{};
    camera.roll = roll;
    mouseLook(camera, WINDOW_CENTRE_X, WINDOW_CENTRE_Y);
    return camera.up;
}

// The angle mouseLook turns by for a pointer `offset` pixels short of the centre.
float angleOfOffset(int offset) { return static_cast<float>(offset / PIXELS_PER_RADIAN); }

// rotateView's float cosine and sine of `angle`: turning the unit x vector
// about the z axis puts them, unchanged, into the view point's x and y.
Vector3 cosSinOfTurn(float angle) {
    Camera camera{};
    camera.view = Vector3{1, 0, 0};
    rotateView(camera, angle, 0, 0, 1);
    return camera.view;
}

int32_t rollFirst() {
    initShellState();
    return rollAngle - ROLL_REACH;
}

int32_t rollLast() {
    initShellState();
    return rollAngle + ROLL_REACH;
}

std::string line(const char *name, long long first, long long last, uint64_t digest) {
    char text[160];
    std::snprintf(text, sizeof text, "sin/cos %s %lld..%lld (%lld arguments) %016" PRIx64, name, first, last,
                  last - first + 1, digest);
    return text;
}

std::string rollLine() {
    Digest digest;
    for (int32_t roll = rollFirst(); roll <= rollLast(); ++roll) {
        const Vector3 up = upOfRoll(roll);
        digest.add(up.x);
        digest.add(up.y);
        digest.add(up.z);
    }
    return line("roll", rollFirst(), rollLast(), digest.value);
}

// Every pointer position along one side of the window, as offsets from its centre.
std::string turnLine(const char *name, int centre, int size) {
    Digest digest;
    for (int position = 0; position < size; ++position) {
        const Vector3 cosSin = cosSinOfTurn(angleOfOffset(centre - position));
        digest.add(cosSin.x);
        digest.add(cosSin.y);
    }
    return line(name, 0, size - 1, digest.value);
}

std::string waveLine() {
    Digest digest;
    for (int i = WAVE_TABLE_FIRST; i <= WAVE_TABLE_LAST; ++i) {
        digest.add(static_cast<uint32_t>(sineA[i]));
        digest.add(static_cast<uint32_t>(sineB[i]));
        digest.add(static_cast<uint32_t>(sineC[i]));
    }
    return line("waves", WAVE_TABLE_FIRST, WAVE_TABLE_LAST, digest.value);
}

std::string paletteLine() {
    Digest digest;
    for (const PaletteEntry &entry : palette) {
        digest.add(entry.p0 | entry.p1 << 8 | entry.p2 << 16 | uint32_t(entry.p3) << 24);
    }
    return line("palette", 0, PALETTE_SIZE - 1, digest.value);
}

void buildTables() {
    setNumericConventions();
    buildWaveTables();
    buildPalette();
}

} // namespace

std::vector<std::string> sinCosSweep() {
    buildTables();
    return {rollLine(), turnLine("yaw", WINDOW_CENTRE_X, WINDOW_WIDTH),
            turnLine("pitch", WINDOW_CENTRE_Y, WINDOW_HEIGHT), waveLine(), paletteLine()};
}
