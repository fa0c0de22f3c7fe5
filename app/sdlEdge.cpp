// The frame's SDL and GL calls, shared by every platform that has SDL 1.2.
#include <SDL.h>

#include "app/platform.h"
#include "app/sdlEdge.h"
#include "app/shell.h"
#include "render/render.h"
#include "terrain/terrain.h"

static_assert(SDL_BUTTON_LMASK == BUTTON_LEFT_MASK && SDL_BUTTON_RMASK == BUTTON_RIGHT_MASK,
              "the controls' button bits are SDL 1.2's");

// Nothing is acted on from the queue: input is polled, and a window-close
// request is discarded with everything else.
static void drainEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {}
}

static uint32_t readTicks() { return SDL_GetTicks(); }

static void endFrame() {
    SDL_GL_SwapBuffers();
    SDL_PumpEvents();
}

const FrameEdge SDL_EDGE = {
    initDisplay,   drainEvents, uploadPlasmaTexture, buildTerrainList, readPointer, centrePointer, readKeys,
    stopRequested, readButtons, readTicks,           showCaption,      renderFrame, endFrame};
