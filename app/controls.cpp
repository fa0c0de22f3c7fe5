// Keyboard and mouse-button controls: level-triggered, one action per held key per frame.
#include "app/shell.h"

void handleCameraSwitch(const uint8_t *keys) {
    if (keys[KEY_C]) {
        currentCamera = (currentCamera + 1) & 1;
        loadCameraPreset(cameras[currentCamera], currentCamera);
    }
}

void handleMovementKeys(const uint8_t *keys) {
    Camera &camera = cameras[currentCamera];
    if (keys[KEY_UP]) moveCamera(camera, +MOVE_SPEED);
    if (keys[KEY_DOWN]) moveCamera(camera, -MOVE_SPEED);
    if (keys[KEY_RIGHT]) strafeCamera(camera, +MOVE_SPEED);
    if (keys[KEY_LEFT]) strafeCamera(camera, -MOVE_SPEED);
    if (keys[KEY_W]) moveCamera(camera, +MOVE_SPEED);
    if (keys[KEY_S]) moveCamera(camera, -MOVE_SPEED);
    if (keys[KEY_A]) strafeCamera(camera, -MOVE_SPEED);
    if (keys[KEY_D]) strafeCamera(camera, +MOVE_SPEED);
}

// The roll angle is unbounded; it wraps as a 32-bit two's-complement integer
// rather than overflowing.
static int32_t wrappingAdd(int32_t angle, int32_t delta) {
    return static_cast<int32_t>(static_cast<uint32_t>(angle) + static_cast<uint32_t>(delta));
}

void handleMouseButtons(uint8_t buttons) {
    if (buttons & BUTTON_LEFT_MASK) rollAngle = wrappingAdd(rollAngle, +1);
    if (buttons & BUTTON_RIGHT_MASK) rollAngle = wrappingAdd(rollAngle, -1);
}
