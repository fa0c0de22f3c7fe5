// Quillon's entry point in a browser: start-up, then one frame each time the
// browser is ready to show one, until the frame in which Escape is seen.
#include <SDL.h>
#include <emscripten.h>

#include "app/frame.h"
#include "app/sdlEdge.h"
#include "app/shell.h"
#include "app/web.h"
#include "terrain/terrain.h"

static void frame() {
    runFrame(SDL_EDGE);
    if (!quitRequested) {
        return;
    }
    emscripten_cancel_main_loop();
    deleteTerrainList();
    SDL_Quit();
    showDemoEnded();
}

int main(int, char *[]) {
    if (!startUp(SDL_EDGE)) {
        return 1;
    }
    capturePointerOnClick();
    // Driven by the browser's animation frames; main returns and the page lives on.
    emscripten_set_main_loop(frame, 0, false);
    return 0;
}
