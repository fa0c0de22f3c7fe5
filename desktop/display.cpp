// Opening the window and setting the GL state that every frame relies on.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "desktop/desktop.h"
#include "desktop/platform.h"

static_assert(sizeof(GLuint) == sizeof(unsigned int), "plasmaTexture holds a GL texture name");

unsigned int plasmaTexture;

// Drivers that initialise without a screen to show on: SDL 1.2's dummy and
// text-console drivers, and the offscreen driver sdl12-compat falls back to.
// With one of these the program would run where nobody can see it or press Escape.
static bool driverShowsNoWindow(const char *name) {
    static const char *const WINDOWLESS[] = {"dummy", "offscreen", "aalib", "caca"};
    for (const char *windowless : WINDOWLESS) {
        if (std::strcmp(name, windowless) == 0) {
            return true;
        }
    }
    return false;
}

static void setFixedGlState() {
    glViewport(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW, ASPECT, NEAR_PLANE, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_COLOR_MATERIAL);
    // Blending is never enabled: every texel's alpha is 0, so this function
    // would add nothing to the black background.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glGenTextures(1, &plasmaTexture);
    glBindTexture(GL_TEXTURE_2D, plasmaTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

// The one message the program gives: why it cannot start.
static bool failure(const char *what, const char *why) {
    char line[256];
    std::snprintf(line, sizeof line, "quillon: %s: %s", what, why);
    reportStartupFailure(line);
    return false;
}

bool initDisplay() {
    if (SDL_Init(SDL_INIT_EVERYTHING) != 0) {
        return failure("cannot initialise SDL", SDL_GetError());
    }
    char driver[32] = "";
    const bool windowless = SDL_VideoDriverName(driver, sizeof driver) == nullptr || driverShowsNoWindow(driver);
    if (windowless) {
        failure("no video driver that shows a window; SDL chose", driver[0] ? driver : "none");
    } else if (SDL_SetVideoMode(WINDOW_WIDTH, WINDOW_HEIGHT, 32, SDL_HWSURFACE | SDL_OPENGL | SDL_DOUBLEBUF) ==
               nullptr) {
        failure("cannot open a 640x480 OpenGL window", SDL_GetError());
    } else if (glGetString(GL_VERSION) == nullptr) {
        // A window whose GL context could not be made current.
        failure("cannot open a 640x480 OpenGL window", "the window has no OpenGL context");
    } else {
        SDL_ShowCursor(0);
        SDL_WM_SetCaption("Quillon", "");
        setFixedGlState();
        return true;
    }
    SDL_Quit();
    return false;
}
