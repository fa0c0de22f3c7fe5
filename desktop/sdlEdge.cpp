// The frame's edge on SDL 1.2 and fixed-function GL: SDL's events, input,
// clock and caption, the GL's texture, terrain and drawing.
#include <SDL.h>

#include "app/shell.h"
#include "desktop/desktop.h"
#include "desktop/platform.h"

static_assert(SDLK_ESCAPE == KEY_ESCAPE && SDLK_a == KEY_A && SDLK_c == KEY_C && SDLK_d == KEY_D &&
                  SDLK_s == KEY_S && SDLK_w == KEY_W && SDLK_UP == KEY_UP && SDLK_DOWN == KEY_DOWN &&
                  SDLK_RIGHT == KEY_RIGHT && SDLK_LEFT == KEY_LEFT,
              "the controls' key symbols are SDL 1.2's");
static_assert(SDL_BUTTON_LMASK == BUTTON_LEFT_MASK && SDL_BUTTON_RMASK == BUTTON_RIGHT_MASK,
              "the controls' button bits are SDL 1.2's");

// Nothing is acted on from the queue: input is polled, and a window-close
// request is discarded with everything else.
static void drainEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {}
}

static void readPointer(int &mx, int &my) { SDL_GetMouseState(&mx, &my); }

static void centrePointer() { SDL_WarpMouse(WINDOW_CENTRE_X, WINDOW_CENTRE_Y); }

static const uint8_t *readKeys() { return SDL_GetKeyState(nullptr); }

static uint8_t readButtons() { return SDL_GetMouseState(nullptr, nullptr); }

static uint32_t readTicks() { return SDL_GetTicks(); }

static void showCaption(const char *caption) { SDL_WM_SetCaption(caption, ""); }

static void endFrame() {
    SDL_GL_SwapBuffers();
    SDL_PumpEvents();
}

const FrameEdge SDL_EDGE = {
    initDisplay,   drainEvents, uploadPlasmaTexture, buildTerrainList, readPointer, centrePointer, readKeys,
    stopRequested, readButtons, readTicks,           showCaption,      renderFrame, endFrame};
