// Quillon's entry point in a browser: start-up, then one frame each time the
// browser is ready to show one, until the frame in which Escape is seen or the
// browser takes the WebGL context away.
#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include "app/frame.h"
#include "app/sdlEdge.h"
#include "app/shell.h"
#include "app/web.h"
#include "terrain/terrain.h"

// No further frame is asked for; the page says why.
static void endDemo(void (*say)()) {
    emscripten_cancel_main_loop();
    deleteTerrainList();
    SDL_Quit();
    say();
}

static void frame() {
    runFrame(SDL_EDGE);
    if (quitRequested) {
        endDemo(showDemoEnded);
    }
}

// A graphics reset, a driver update or a starved background tab: nothing can
// be drawn any more.
static EM_BOOL contextLost(int, const void *, void *) {
    endDemo(showContextLost);
    return EM_FALSE;
}

int main(int, char *[]) {
    if (!startUp(SDL_EDGE)) {
        return 1;
    }
    listenForInput();
    emscripten_set_webglcontextlost_callback("#canvas", nullptr, EM_TRUE, contextLost);
    // Driven by the browser's animation frames; main returns and the page lives on.
    emscripten_set_main_loop(frame, 0, false);
    return 0;
}
