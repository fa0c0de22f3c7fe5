// Display: the window and its fixed GL state, the per-frame texture upload,
// and the drawing of one frame through a camera. The only place that opens the window.
#pragma once

#include "camera/camera.h"

// The GL texture name carrying the plasma; created by initDisplay.
extern unsigned int plasmaTexture;

// Opens the 640x480 double-buffered OpenGL window, hides the pointer, sets the
// caption "Quillon" and the fixed GL state. Returns false, with SDL shut down
// where it was started, when SDL or the video mode cannot be had, or when the
// only video driver available shows no window; it then says why on standard error.
bool initDisplay();

// Hands this frame's texels to plasmaTexture (level 0, 256x256 RGBA).
void uploadPlasmaTexture();

// Where desktop GL and WebGL differ (glDesktop.cpp, glWeb.cpp):
// Whether the window came with a current GL context.
bool glContextReady();
// Multiplies the model-view matrix by the camera's look-at transform, as GLU's
// gluLookAt defines it.
void lookThrough(const Camera &camera);

// Draws terrainList through `camera`, scaled by worldScale. The caller swaps buffers.
void renderFrame(const Camera &camera);
