// Input and caption in a browser. Emscripten's SDL numbers keys as SDL 1.3
// does and cannot move the pointer, so the controls' keys are copied into SDL
// 1.2's numbering, and the pointer is the centre plus the movement made since
// it was last put back, measured while a click has captured it or a finger
// drags on the picture. The page's touch controls hold keys and buttons too.
#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>

#include "app/sdlEdge.h"
#include "app/shell.h"
#include "app/web.h"

namespace {

// Each key the controls read: its SDL 1.2 symbol, then the browser SDL's.
constexpr int KEYS[][2] = {{KEY_ESCAPE, SDLK_ESCAPE}, {KEY_A, SDLK_a},       {KEY_C, SDLK_c},
                           {KEY_D, SDLK_d},           {KEY_S, SDLK_s},       {KEY_W, SDLK_w},
                           {KEY_UP, SDLK_UP},         {KEY_DOWN, SDLK_DOWN}, {KEY_RIGHT, SDLK_RIGHT},
                           {KEY_LEFT, SDLK_LEFT}};
constexpr int SDL12_KEY_COUNT = 512;

uint8_t keys[SDL12_KEY_COUNT];
int movedX; // pointer movement since the pointer was last put back, in pixels
int movedY;

// The page's touch controls, numbered as the page numbers them: each holds a
// key or a button while it is touched; the camera switch is one frame of C per tap.
enum TouchControl { FORWARD, BACK, STRAFE_LEFT, STRAFE_RIGHT, ROLL_LEFT, ROLL_RIGHT, SWITCH_CAMERA };
constexpr int TOUCH_KEYS[] = {KEY_W, KEY_S, KEY_A, KEY_D};
bool touchHeld[SWITCH_CAMERA];
int switchesAsked;

// Escape pressed in full screen is the browser's, to leave it: it counts for
// the demo only once it has been let go. The press is caught as it comes,
// while the page is still in full screen: the browser leaves it, and says so,
// only later.
bool escapeFromFullScreen;

const char *const CANVAS = "#canvas";

bool captured() {
    EmscriptenPointerlockChangeEvent lock;
    return emscripten_get_pointerlock_status(&lock) == EMSCRIPTEN_RESULT_SUCCESS && lock.isActive;
}

EM_BOOL capture(int, const EmscriptenMouseEvent *, void *) {
    if (!captured()) {
        emscripten_request_pointerlock(CANVAS, EM_TRUE);
    }
    return EM_FALSE;
}

// Uncaptured, the pointer crosses the page at will and the view stays put.
EM_BOOL move(int, const EmscriptenMouseEvent *event, void *) {
    if (captured()) {
        movedX += static_cast<int>(event->movementX);
        movedY += static_cast<int>(event->movementY);
    }
    return EM_FALSE;
}

bool fullScreen() {
    EmscriptenFullscreenChangeEvent screen;
    return emscripten_get_fullscreen_status(&screen) == EMSCRIPTEN_RESULT_SUCCESS && screen.isFullscreen;
}

EM_BOOL keyDown(int, const EmscriptenKeyboardEvent *event, void *) {
    if (std::strcmp(event->key, "Escape") == 0 && fullScreen()) {
        escapeFromFullScreen = true;
    }
    return EM_FALSE;
}

} // namespace

void listenForInput() {
    emscripten_set_mousedown_callback(CANVAS, nullptr, EM_TRUE, capture);
    emscripten_set_mousemove_callback(CANVAS, nullptr, EM_TRUE, move);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, keyDown);
}

// Called by the page: a finger moved over the picture by (dx, dy) window pixels.
extern "C" EMSCRIPTEN_KEEPALIVE void quillonTouchLook(int dx, int dy) {
    movedX += dx;
    movedY += dy;
}

// Called by the page: a touch control touched (1) or let go (0).
extern "C" EMSCRIPTEN_KEEPALIVE void quillonTouchControl(int control, int touched) {
    if (control == SWITCH_CAMERA) {
        switchesAsked += touched;
    } else if (control >= 0 && control < SWITCH_CAMERA) {
        touchHeld[control] = touched != 0;
    }
}

const uint8_t *readKeys() {
    static_assert(KEY_LEFT < SDL12_KEY_COUNT, "every control key has its place");
    const uint8_t *held = SDL_GetKeyboardState(nullptr);
    for (const auto &key : KEYS) {
        keys[key[0]] = held[key[1]];
    }
    for (int control = FORWARD; control <= STRAFE_RIGHT; ++control) {
        keys[TOUCH_KEYS[control]] |= touchHeld[control];
    }
    if (switchesAsked > 0) {
        keys[KEY_C] = 1;
        switchesAsked -= 1;
    }
    escapeFromFullScreen = (escapeFromFullScreen || fullScreen()) && keys[KEY_ESCAPE];
    if (escapeFromFullScreen) {
        keys[KEY_ESCAPE] = 0;
    }
    return keys;
}

uint8_t readButtons() {
    const uint8_t touched = (touchHeld[ROLL_LEFT] ? BUTTON_LEFT_MASK : 0) | (touchHeld[ROLL_RIGHT] ? BUTTON_RIGHT_MASK : 0);
    return SDL_GetMouseState(nullptr, nullptr) | touched;
}

// Kept inside the window, as a desktop pointer is: mouse look sees no offset
// that the desktop could not give it.
void readPointer(int &mx, int &my) {
    mx = std::clamp(WINDOW_CENTRE_X + movedX, 0, WINDOW_WIDTH - 1);
    my = std::clamp(WINDOW_CENTRE_Y + movedY, 0, WINDOW_HEIGHT - 1);
}

void centrePointer() {
    movedX = 0;
    movedY = 0;
}

void showCaption(const char *caption) { SDL_WM_SetCaption(caption, ""); }

EM_JS(void, showDemoEndedInPage, (), { Module['onDemoEnded'](); });
EM_JS(void, showContextLostInPage, (), { Module['onContextLost'](); });

void showDemoEnded() { showDemoEndedInPage(); }

void showContextLost() { showContextLostInPage(); }
