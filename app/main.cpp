// Quillon's entry point: start-up, the frame loop and shutdown. The thin SDL
// calls that feed the pure controls, mouse look and caption live here too.
#include <SDL.h>

#include "app/platform.h"
#include "app/shell.h"
#include "camera/camera.h"
#include "plasma/plasma.h"
#include "render/render.h"
#include "terrain/terrain.h"

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

static void centrePointer() { SDL_WarpMouse(WINDOW_CENTRE_X, WINDOW_CENTRE_Y); }

static void lookWithPointer(Camera &camera) {
    int mx = 0;
    int my = 0;
    SDL_GetMouseState(&mx, &my);
    if (mouseLook(camera, mx, my)) {
        centrePointer();
    }
}

static void updateFpsCaption() {
    if (const char *caption = countFrame(SDL_GetTicks())) {
        SDL_WM_SetCaption(caption, "");
        fpsCaptionShown(SDL_GetTicks());
    }
}

// The signature SDL_main has where SDL supplies the real entry point (Windows, macOS).
int main(int, char *[]) {
    setNumericConventions();
    initShellState();
    buildWaveTables();
    buildPalette();
    installStopHandlers();
    if (!initDisplay()) {
        return 1;
    }
    currentCamera = 0;
    loadCameraPreset(cameras[currentCamera], currentCamera);
    resetPlasmaPhase();
    centrePointer();
    deferStopRequests();

    do {
        drainEvents();
        updatePlasma();
        uploadPlasmaTexture();
        buildTerrainList();
        cameras[currentCamera].roll = rollAngle;
        lookWithPointer(cameras[currentCamera]);
        const Uint8 *keys = SDL_GetKeyState(nullptr);
        handleCameraSwitch(keys);
        if (keys[SDLK_ESCAPE] || stopRequested()) {
            quitRequested = true;
        }
        handleMovementKeys(keys);
        handleMouseButtons(SDL_GetMouseState(nullptr, nullptr));
        updateFpsCaption();
        renderFrame(cameras[currentCamera]);
        SDL_GL_SwapBuffers();
        SDL_PumpEvents();
    } while (!quitRequested);

    SDL_Quit();
    if (stopRequested()) {
        endByStopRequest();
    }
    return 0;
}
