// The application shell's pure half: program-wide state, the keyboard and
// mouse-button controls, and the frame-rate caption. Each build's edge feeds
// them (desktop/, web/).
#pragma once

#include <cstdint>

#include "camera/camera.h"

// SDL 1.2 key symbols the controls read (checked against SDL's own in desktop/sdlEdge.cpp).
constexpr int KEY_ESCAPE = 27;
constexpr int KEY_A = 97;
constexpr int KEY_C = 99;
constexpr int KEY_D = 100;
constexpr int KEY_S = 115;
constexpr int KEY_W = 119;
constexpr int KEY_UP = 273;
constexpr int KEY_DOWN = 274;
constexpr int KEY_RIGHT = 275;
constexpr int KEY_LEFT = 276;

// SDL 1.2 button-mask bits.
constexpr uint8_t BUTTON_LEFT_MASK = 1;
constexpr uint8_t BUTTON_RIGHT_MASK = 4;

constexpr float MOVE_SPEED = 0.5f; // world units per frame, for moving and strafing

// Program-wide shell state, alive for the whole run.
extern bool quitRequested; // set when Escape is seen; the loop ends after that frame
extern float worldScale;   // terrain scale applied when drawing; 0.3 from start-up
extern int32_t rollAngle;  // degrees, changed by the mouse buttons; 90 from start-up

// Heights are flattened against the ground: the terrain is drawn at worldScale
// across and worldScale x HEIGHT_SCALE up.
constexpr double HEIGHT_SCALE = 0.28;
inline float heightScale() { return static_cast<float>(worldScale * HEIGHT_SCALE); }

// Sets the shell's start-up values: worldScale 0.3, rollAngle 90, no quit request.
void initShellState();

// C held: switch to the other camera and reload that camera's preset.
void handleCameraSwitch(const uint8_t *keys);

// Every held movement key moves or strafes the current camera, in a fixed order.
void handleMovementKeys(const uint8_t *keys);

// Left button rolls +1 degree, right button -1; the angle wraps at 32 bits.
void handleMouseButtons(uint8_t buttons);

// Frame-rate counters, program-wide, zero at start. Times come from SDL's
// millisecond counter, which wraps at 2^32.
extern int32_t frameCount;    // frames since the last caption update
extern float lastFpsTime;     // seconds at the last caption update
extern uint32_t lastFpsTicks; // the same moment as a raw counter reading
extern float elapsed;         // seconds since the last update, recomputed every frame
extern float fps;             // the last measured rate

// Zeroes the counters, as at program start.
void resetFpsCounters();

constexpr int FPS_CAPTION_CAPACITY = 64;

// Writes "Vantrell FPS:" and the rate with at most eight significant digits.
void formatFpsCaption(float rate, char (&caption)[FPS_CAPTION_CAPACITY]);

// Counts a frame at counter reading `ticks`. When more than two seconds have
// passed since the last update, measures the rate and returns the caption to
// show; otherwise returns nullptr. The text stays valid until the next call.
const char *countFrame(uint32_t ticks);

// Records the counter reading taken after the caption was shown and restarts the count.
void fpsCaptionShown(uint32_t ticks);
