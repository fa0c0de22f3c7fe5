// Quillon's entry point on the desktop: start-up, the frame loop and shutdown.
#include <SDL.h>

#include "app/shell.h"
#include "desktop/desktop.h"
#include "desktop/platform.h"

// The signature SDL_main has where SDL supplies the real entry point (Windows, macOS).
int main(int, char *[]) {
    installStopHandlers();
    if (!startUp(SDL_EDGE)) {
        return 1;
    }
    deferStopRequests();

    do {
        runFrame(SDL_EDGE);
    } while (!quitRequested);

    deleteTerrainList();
    SDL_Quit();
    if (stopRequested()) {
        endByStopRequest();
    }
    return 0;
}
