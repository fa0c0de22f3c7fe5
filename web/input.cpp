// Input in a page: the browser's own keyboard, mouse and focus events, and the
// page's touch controls, turned into what the frame reads on the desktop. The
// pointer is the window centre plus the movement made since it was last put
// back, measured while a click has captured it or a finger drags on the picture.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "app/shell.h"
#include "web/web.h"

namespace {

// The controls' keys by the DOM's key value: letters as the visitor's layout
// types them, with or without Shift; the arrows and Escape by name.
struct NamedKey {
    const char *name;
    int key;
};
constexpr NamedKey KEYS[] = {{"Escape", KEY_ESCAPE},
                             {"a", KEY_A},
                             {"c", KEY_C},
                             {"d", KEY_D},
                             {"s", KEY_S},
                             {"w", KEY_W},
                             {"ArrowUp", KEY_UP},
                             {"ArrowDown", KEY_DOWN},
                             {"ArrowRight", KEY_RIGHT},
                             {"ArrowLeft", KEY_LEFT}};
constexpr int KEY_COUNT = sizeof KEYS / sizeof KEYS[0];
constexpr int SDL12_KEY_COUNT = 512;

// Each control key held on the keyboard, and the physical key (the DOM's code)
// that pressed it: a key let go after Shift changed its meaning is still let go.
bool held[KEY_COUNT];
char heldCode[KEY_COUNT][EM_HTML5_SHORT_STRING_LEN_BYTES];
uint8_t keys[SDL12_KEY_COUNT]; // what the frame reads
uint8_t buttons;
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

// The control key a DOM key value stands for, or -1.
int controlKey(const char *key) {
    const bool letter = key[0] != '\0' && key[1] == '\0';
    for (int i = 0; i < KEY_COUNT; ++i) {
        const char *name = KEYS[i].name;
        const bool same = letter ? name[1] == '\0' && name[0] == std::tolower(static_cast<unsigned char>(key[0]))
                                 : std::strcmp(name, key) == 0;
        if (same) return i;
    }
    return -1;
}

// With Ctrl, Alt or Meta a key keeps its browser meaning (reload, address bar);
// the demo's own keys do nothing else, so arrows do not scroll the page.
EM_BOOL ownKey(const EmscriptenKeyboardEvent *event) {
    return !(event->ctrlKey || event->altKey || event->metaKey);
}

bool fullScreen() {
    EmscriptenFullscreenChangeEvent screen;
    return emscripten_get_fullscreen_status(&screen) == EMSCRIPTEN_RESULT_SUCCESS && screen.isFullscreen;
}

EM_BOOL keyDown(int, const EmscriptenKeyboardEvent *event, void *) {
    const int i = controlKey(event->key);
    if (i < 0) return EM_FALSE;
    // A key repeating whose press the page never saw was pressed elsewhere, or
    // kept by the browser (to leave full screen): it is no press of the demo's.
    if (event->repeat && !held[i]) return ownKey(event);
    held[i] = true;
    std::memcpy(heldCode[i], event->code, sizeof heldCode[i]);
    if (KEYS[i].key == KEY_ESCAPE && fullScreen()) {
        escapeFromFullScreen = true;
    }
    return ownKey(event);
}

EM_BOOL keyUp(int, const EmscriptenKeyboardEvent *event, void *) {
    const int named = controlKey(event->key);
    for (int i = 0; i < KEY_COUNT; ++i) {
        if (i == named || (event->code[0] != '\0' && std::strcmp(heldCode[i], event->code) == 0)) {
            held[i] = false;
            heldCode[i][0] = '\0';
        }
    }
    return named >= 0 && ownKey(event);
}

// The browser sends no key-up or button-up to a page that has lost the focus:
// whatever is held then is let go, or the camera would fly on by itself.
EM_BOOL letGo(int, const EmscriptenFocusEvent *, void *) {
    std::fill(std::begin(held), std::end(held), false);
    std::fill(std::begin(touchHeld), std::end(touchHeld), false);
    buttons = 0;
    return EM_FALSE;
}

bool captured() {
    EmscriptenPointerlockChangeEvent lock;
    return emscripten_get_pointerlock_status(&lock) == EMSCRIPTEN_RESULT_SUCCESS && lock.isActive;
}

// The DOM numbers the left, middle and right buttons 0, 1 and 2; SDL 1.2's
// masks for them are 1, 2 and 4.
uint8_t buttonMask(const EmscriptenMouseEvent *event) {
    return event->button <= 2 ? static_cast<uint8_t>(1 << event->button) : 0;
}

// A button on the canvas also captures the pointer.
EM_BOOL buttonDown(int, const EmscriptenMouseEvent *event, void *) {
    if (!captured()) {
        emscripten_request_pointerlock(CANVAS, EM_TRUE);
    }
    buttons |= buttonMask(event);
    return EM_FALSE;
}

EM_BOOL buttonUp(int, const EmscriptenMouseEvent *event, void *) {
    buttons &= ~buttonMask(event);
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

} // namespace

void listenForInput() {
    const char *const document = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
    emscripten_set_keydown_callback(document, nullptr, EM_TRUE, keyDown);
    emscripten_set_keyup_callback(document, nullptr, EM_TRUE, keyUp);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, letGo);
    emscripten_set_mousedown_callback(CANVAS, nullptr, EM_TRUE, buttonDown);
    emscripten_set_mouseup_callback(document, nullptr, EM_TRUE, buttonUp);
    emscripten_set_mousemove_callback(CANVAS, nullptr, EM_TRUE, move);
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
    for (int i = 0; i < KEY_COUNT; ++i) {
        keys[KEYS[i].key] = held[i];
    }
    for (int control = FORWARD; control <= STRAFE_RIGHT; ++control) {
        keys[TOUCH_KEYS[control]] |= touchHeld[control];
    }
    if (switchesAsked > 0) {
        keys[KEY_C] = 1;
        switchesAsked -= 1;
    }
    escapeFromFullScreen = keys[KEY_ESCAPE] && (escapeFromFullScreen || fullScreen());
    if (escapeFromFullScreen) {
        keys[KEY_ESCAPE] = 0;
    }
    return keys;
}

uint8_t readButtons() {
    const uint8_t touched =
        (touchHeld[ROLL_LEFT] ? BUTTON_LEFT_MASK : 0) | (touchHeld[ROLL_RIGHT] ? BUTTON_RIGHT_MASK : 0);
    return buttons | touched;
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
