// The frame's edge for tests that draw into a real GL window and look at what
// was drawn: the program's own GL work, input from the test's own variables,
// the clock at rest, and the test's picture taken before each swap.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "app/frame.h"
#include "app/shell.h"
#include "desktop/desktop.h"

// What the test holds: keys by SDL 1.2 symbol, the button mask, the pointer.
struct HeldInput {
    uint8_t keys[512];
    uint8_t buttons;
    int mx = WINDOW_CENTRE_X;
    int my = WINDOW_CENTRE_Y;
};
inline HeldInput held;
inline void (*takePicture)() = [] {};

inline const FrameEdge PICTURE_EDGE = {
    initDisplay,
    [] {},
    uploadPlasmaTexture,
    buildTerrainList,
    [](int &mx, int &my) {
        mx = held.mx;
        my = held.my;
    },
    [] {
        held.mx = WINDOW_CENTRE_X;
        held.my = WINDOW_CENTRE_Y;
    },
    []() -> const uint8_t * { return held.keys; },
    [] { return false; },
    [] { return held.buttons; },
    [] { return 0u; },
    [](const char *) {},
    renderFrame,
    [] {
        takePicture();
        SDL_GL_SwapBuffers();
    },
};
