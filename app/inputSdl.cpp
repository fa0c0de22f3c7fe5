// Input and caption on the desktop, where SDL 1.2 gives them as the program reads them.
#include <SDL.h>

#include "app/sdlEdge.h"
#include "app/shell.h"

static_assert(SDLK_ESCAPE == KEY_ESCAPE && SDLK_a == KEY_A && SDLK_c == KEY_C && SDLK_d == KEY_D &&
                  SDLK_s == KEY_S && SDLK_w == KEY_W && SDLK_UP == KEY_UP && SDLK_DOWN == KEY_DOWN &&
                  SDLK_RIGHT == KEY_RIGHT && SDLK_LEFT == KEY_LEFT,
              "the controls' key symbols are SDL 1.2's");

const uint8_t *readKeys() { return SDL_GetKeyState(nullptr); }

uint8_t readButtons() { return SDL_GetMouseState(nullptr, nullptr); }

void readPointer(int &mx, int &my) { SDL_GetMouseState(&mx, &my); }

void centrePointer() { SDL_WarpMouse(WINDOW_CENTRE_X, WINDOW_CENTRE_Y); }

void showCaption(const char *caption) { SDL_WM_SetCaption(caption, ""); }
